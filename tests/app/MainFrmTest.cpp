// The main window: layout, tree, enabling rules, input check, browsing and converting at once.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "driver/JobFiles.h"

using namespace tolvane::test;

namespace {

using TMainFrm = TWindowTest;

TEST_F(TMainFrm, ControlsSitAtTheirPlaces)
{
    OpenForm();
    struct TPlace
    {
        const char* Name;
        QRect Geometry;
    };
    const TPlace places[] = {
        {"tvwDataKind", {8, 24, 377, 265}},   {"edtSrcFile", {8, 312, 321, 20}},
        {"btnSrcBrows", {336, 312, 49, 21}},  {"edtDscFile", {8, 360, 321, 20}},
        {"btnDscBrows", {336, 360, 49, 21}},  {"cboCoordSys", {8, 408, 377, 20}},
        {"btnAdd", {112, 432, 115, 21}},      {"btnReplace", {232, 432, 57, 21}},
        {"btnConvert", {312, 432, 75, 21}},   {"lvwBatch", {400, 24, 457, 337}},
        {"chkCombine", {400, 368, 441, 17}},  {"edtConbineFile", {400, 408, 401, 20}},
        {"btnCmbBrowse", {808, 408, 49, 21}}, {"btnClear", {600, 432, 75, 21}},
        {"btnRemove", {680, 432, 75, 21}},    {"btnBatch", {760, 432, 99, 21}},
    };
    QWidget* client = Form->centralWidget();
    for (const TPlace& place : places) {
        SCOPED_TRACE(place.Name);
        auto* widget = Find<QWidget>(place.Name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(client->isAncestorOf(widget));
        EXPECT_EQ(QRect(widget->mapTo(client, QPoint(0, 0)), widget->size()), place.Geometry);
    }
    struct TLabel
    {
        const char* Name;
        QPoint Place;
        const char* Caption;
    };
    const TLabel labels[] = {
        {"Label1", {8, 8}, "変換する国土数値情報のデータ項目"},
        {"Label2", {8, 296}, "変換元のファイル名"},
        {"Label3", {8, 344}, "変換後のファイル名"},
        {"Label6", {8, 392}, "投影法"},
        {"Label4", {400, 8}, "バッチリスト"},
        {"Label5", {400, 392}, "統合後のファイル名"},
    };
    for (const TLabel& label : labels) {
        SCOPED_TRACE(label.Name);
        auto* widget = Find<QLabel>(label.Name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->mapTo(client, QPoint(0, 0)), label.Place);
        EXPECT_EQ(widget->text(), QString::fromUtf8(label.Caption));
    }

    // Client area 866 x 478 below the menu bar, the status bar at its bottom: the default size.
    const int menuHeight = Form->menuBar()->height();
    EXPECT_EQ(client->geometry(), QRect(0, menuHeight, 866, 459));
    auto* statusBar = Find<QStatusBar>("StatusBar1");
    EXPECT_EQ(statusBar->geometry(), QRect(0, menuHeight + 459, 866, 19));
    EXPECT_EQ(Form->size(), QSize(866, menuHeight + 478));
    auto* progress = Find<QProgressBar>("ProgressBar1");
    EXPECT_EQ(progress->parentWidget(), statusBar);
    EXPECT_EQ(progress->geometry(), QRect(392, 2, 474, 16));
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Tolvane Converter"));
    EXPECT_EQ(Form->font().pixelSize(), 12);
    // Without the Windows font the installed IPA Gothic stands in (install-deps.sh installs it).
    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("IPAGothic")) &&
        !families.contains(QStringLiteral("MS PGothic"))) {
        EXPECT_EQ(QFontInfo(Form->font()).family(), QStringLiteral("IPAGothic"));
    }
}

TEST_F(TMainFrm, TheWindowGrowsAndShrinksWithItsLayouts)
{
    OpenForm();
    QWidget* client = Form->centralWidget();
    const auto rect = [&](const char* name) {
        auto* widget = Find<QWidget>(name);
        return QRect(widget->mapTo(client, QPoint(0, 0)), widget->size());
    };
    // Larger: the tree and the batch list take the space; the rows below them keep their
    // heights and follow the bottom edge; the status bar spans the width.
    const QSize design = Form->size();
    Form->resize(design + QSize(300, 200));
    QApplication::processEvents();
    EXPECT_EQ(rect("tvwDataKind").height(), 265 + 200);
    EXPECT_GT(rect("tvwDataKind").width(), 377);
    EXPECT_GT(rect("lvwBatch").width(), 457 + 100); // the list takes the larger share
    EXPECT_EQ(rect("lvwBatch").height(), 337 + 200);
    EXPECT_EQ(rect("btnBatch").bottom(), client->height() - 459 + 432 + 20);
    EXPECT_EQ(rect("btnBatch").right(), client->width() - 866 + 858);
    EXPECT_EQ(rect("edtSrcFile").height(), 20);
    EXPECT_EQ(Find<QStatusBar>("StatusBar1")->width(), Form->width());
    EXPECT_EQ(Find<QProgressBar>("ProgressBar1")->geometry().right(), Form->width() - 1);

    // Smaller than the design down to the minimum, where every control still shows whole and
    // nothing overlaps its neighbour in the button rows.
    Form->resize(QSize(1, 1));
    QApplication::processEvents();
    const QSize minimum = Form->size();
    EXPECT_EQ(minimum, Form->minimumSize().expandedTo(Form->minimumSizeHint()));
    EXPECT_LT(minimum.width(), 800);
    EXPECT_LT(minimum.height(), 400);
    EXPECT_GE(rect("tvwDataKind").height(), 90);
    EXPECT_GE(rect("lvwBatch").height(), 90);
    for (const auto& [leftName, rightName] :
         {std::pair{"btnAdd", "btnReplace"}, std::pair{"btnReplace", "btnConvert"},
          std::pair{"btnClear", "btnRemove"}, std::pair{"btnRemove", "btnBatch"},
          std::pair{"edtSrcFile", "btnSrcBrows"}, std::pair{"edtConbineFile", "btnCmbBrowse"}}) {
        SCOPED_TRACE(leftName);
        EXPECT_GE(rect(leftName).left(), 0);
        EXPECT_LT(rect(leftName).right(), rect(rightName).left());
    }
    for (const char* name : {"btnConvert", "btnBatch", "btnCmbBrowse", "chkCombine"}) {
        SCOPED_TRACE(name);
        auto* widget = Find<QWidget>(name);
        EXPECT_LE(widget->mapTo(Form.get(), QPoint(widget->width(), widget->height())).x(),
                  minimum.width());
    }
}

TEST_F(TMainFrm, CaptionsAndStartState)
{
    OpenForm();
    const std::pair<const char*, const char*> captions[] = {
        {"actSrcBrowse", "参照..."},
        {"actDstBrowse", "参照..."},
        {"actAddToBatch", "バッチリストに追加"},
        {"actReplaceToBatch", "置換"},
        {"actConvert", "すぐに変換"},
        {"actBarchClear", "クリア"},
        {"actBatchExec", "バッチ変換開始"},
    };
    for (const auto& [name, caption] : captions) {
        SCOPED_TRACE(name);
        ASSERT_NE(Action(name), nullptr);
        EXPECT_EQ(Action(name)->text(), QString::fromUtf8(caption));
        EXPECT_FALSE(Enabled(name)); // nothing selected, empty list
    }
    EXPECT_EQ(Find<QPushButton>("btnConvert")->text(), QStringLiteral("すぐに変換"));
    EXPECT_EQ(Find<QPushButton>("btnCmbBrowse")->text(), QStringLiteral("参照"));
    EXPECT_EQ(Find<QPushButton>("btnRemove")->text(), QStringLiteral("削除"));
    for (const char* name : {"chkCombine", "edtConbineFile", "btnCmbBrowse", "btnRemove"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Find<QWidget>(name)->isEnabled());
    }
    auto* combo = Find<QComboBox>("cboCoordSys");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("緯度/経度（東京）"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("緯度/経度（WGS84）"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("緯度/経度（世界測地系）"));
    auto* list = Find<QTreeWidget>("lvwBatch");
    ASSERT_EQ(list->columnCount(), 5);
    const int widths[] = {18, 90, 110, 110, 110};
    const char* headers[] = {"", "データ項目", "元ファイル", "先ファイル", "座標系"};
    for (int column = 0; column < 5; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(list->columnWidth(column), widths[column]);
        EXPECT_EQ(list->headerItem()->text(column), QString::fromUtf8(headers[column]));
    }
}

TEST_F(TMainFrm, MenuItemsAndShortcuts)
{
    OpenForm();
    struct TItem
    {
        const char* Name;
        const char* Caption;
        QKeySequence Shortcut;
    };
    const TItem items[] = {
        {"O1", "開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"S1", "保存(&S)...", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"K1", "国土数値情報のダウンロードページへ(&K)", {}},
        {"X1", "終了(&X)", {}},
        {"H2", "トピックの検索(&H)", QKeySequence(Qt::Key_F1)},
        {"A1", "バージョン情報(&A)...", {}},
    };
    for (const TItem& item : items) {
        SCOPED_TRACE(item.Name);
        ASSERT_NE(Action(item.Name), nullptr);
        EXPECT_EQ(Action(item.Name)->text(), QString::fromUtf8(item.Caption));
        EXPECT_EQ(Action(item.Name)->shortcut(), item.Shortcut);
    }
    const QList<QAction*> menus = Form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus.at(0)->text(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(menus.at(1)->text(), QStringLiteral("ヘルプ(&H)"));
    // With the recent batch lists and two separators.
    EXPECT_EQ(menus.at(0)->menu()->actions().size(), 7);

    // The keys reach their commands.
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    QTest::keyClick(Form.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(Ui.FileDialogs.size(), 1U); // the batch-list open dialog, cancelled
    EXPECT_EQ(Ui.FileDialogs.back().Filter,
              QStringLiteral("Tolvaneバッチファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*"));
    QTest::keyClick(Form.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("対象のバッチリストがありません。")});
    QTest::keyClick(Form.get(), Qt::Key_F1);
    ASSERT_NE(Form->HelpWindow(), nullptr);
    EXPECT_TRUE(Form->HelpWindow()->isVisible());
}

TEST_F(TMainFrm, TreeShowsTheCatalogue)
{
    OpenForm();
    auto* tree = Find<QTreeWidget>("tvwDataKind");
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_TRUE(tree->selectedItems().isEmpty());
    const QList<QIcon>& images = tolvane::app::ImageList1();
    struct TCategory
    {
        const char* Caption;
        std::vector<std::pair<const char*, qlonglong>> Items;
    };
    const TCategory expected[] = {
        {"分類", {{"点データ", 0}, {"定義なし", 1}, {"別の点", 2}}},
        {"台帳", {{"台帳のみ", 3}}},
    };
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE(c);
        QTreeWidgetItem* category = tree->topLevelItem(c);
        EXPECT_EQ(category->text(0), QString::fromUtf8(expected[c].Caption));
        EXPECT_EQ(category->data(0, Qt::UserRole).toLongLong(), -1);
        EXPECT_EQ(category->icon(0).cacheKey(), images.at(3).cacheKey());
        EXPECT_TRUE(category->isExpanded());
        ASSERT_EQ(category->childCount(), static_cast<int>(expected[c].Items.size()));
        for (int i = 0; i < category->childCount(); ++i) {
            QTreeWidgetItem* item = category->child(i);
            EXPECT_EQ(item->text(0), QString::fromUtf8(expected[c].Items[i].first));
            EXPECT_EQ(item->data(0, Qt::UserRole).toLongLong(), expected[c].Items[i].second);
            EXPECT_EQ(item->icon(0).cacheKey(), images.at(2).cacheKey());
        }
    }
}

TEST_F(TMainFrm, MissingCatalogueShowsTheFileErrorAndAnEmptyTree)
{
    std::filesystem::remove(Define / "データ項目.txt");
    OpenForm();
    EXPECT_TRUE(Ui.Messages.empty()); // shown once the window is up
    QApplication::processEvents();
    ASSERT_EQ(Ui.Messages.size(), 1U);
    EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("error"));
    EXPECT_TRUE(Ui.Messages[0].Text.contains(QStringLiteral("データ項目.txt")));
    EXPECT_TRUE(Ui.Messages[0].Text.contains(QStringLiteral("は開けません")));
    EXPECT_EQ(Find<QTreeWidget>("tvwDataKind")->topLevelItemCount(), 0);
}

TEST_F(TMainFrm, EnablingRules)
{
    OpenForm();
    const auto folder = Dir / "folder.txt";
    std::filesystem::create_directory(folder);
    struct TCase
    {
        const char* Name;
        int Item; ///< -1: a category node, -2: nothing selected
        std::filesystem::path Src;
        const char* Dst;
        bool Browse, Convert, Add;
        const char* ConvertWhy; ///< the disabled button's tooltip
        const char* AddWhy;
    };
    const TCase cases[] = {
        {"nothing selected", -2, Source, "out.mif", false, false, false,
         "データ項目が選択されていません。", "データ項目が選択されていません。"},
        {"category node", -1, Source, "out.mif", false, false, false, "分類が選択されています",
         "分類が選択されています"},
        {"missing source", 0, Dir / "missing.txt", "out.mif", true, false, false,
         "変換元のファイルが見つかりません。", "変換元のファイルが見つかりません。"},
        {"folder as source", 0, folder, "out.mif", true, false, false,
         "変換元がファイルではありません。", "変換元がファイルではありません。"},
        {"empty destination", 0, Source, "", true, false, false, "変換後のファイル名がありません。",
         "変換後のファイル名がありません。"},
        {"blank destination", 0, Source, "   ", true, true, true, "", ""},
        {"complete", 0, Source, "out.mif", true, true, true, "", ""},
        {"ledger-only item", 3, Source, "out.csv", true, true, false, "",
         "台帳だけのデータ項目はバッチリストに追加できません"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* tree = Find<QTreeWidget>("tvwDataKind");
        tree->clearSelection();
        if (c.Item == -1) {
            SelectNode(tree->topLevelItem(0));
        } else if (c.Item >= 0) {
            SelectItem(c.Item);
        }
        SetSource(c.Src);
        SetDestination(QString::fromUtf8(c.Dst));
        EXPECT_EQ(Enabled("actSrcBrowse"), c.Browse);
        EXPECT_EQ(Enabled("actDstBrowse"), c.Browse);
        EXPECT_EQ(Enabled("actConvert"), c.Convert);
        EXPECT_EQ(Enabled("actAddToBatch"), c.Add);
        EXPECT_FALSE(Enabled("actReplaceToBatch")); // no batch row selected
        EXPECT_EQ(Find<QPushButton>("btnConvert")->isEnabled(), c.Convert);
        // A disabled button says why; an enabled one has nothing to explain.
        const QString convertWhy = Find<QPushButton>("btnConvert")->toolTip();
        const QString addWhy = Find<QPushButton>("btnAdd")->toolTip();
        EXPECT_EQ(convertWhy.isEmpty(), c.Convert);
        const QString expectedConvert = QString::fromUtf8(c.ConvertWhy);
        const QString expectedAdd = QString::fromUtf8(c.AddWhy);
        EXPECT_EQ(convertWhy.left(expectedConvert.size()), expectedConvert);
        EXPECT_EQ(addWhy.left(expectedAdd.size()), expectedAdd);
        EXPECT_EQ(addWhy.isEmpty(), c.Add);
    }

    // Hovering a disabled button names the missing piece in the status bar, until the pointer
    // leaves it.
    auto* panel = Find<QLabel>("StatusPanel0");
    panel->setText(QStringLiteral("before"));
    auto* clear = Find<QPushButton>("btnClear");
    ASSERT_FALSE(clear->isEnabled());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(clear, &enter);
    EXPECT_EQ(panel->text(), QStringLiteral("バッチリストが空です。"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(clear, &leave);
    EXPECT_EQ(panel->text(), QStringLiteral("before"));
    EXPECT_EQ(Find<QCheckBox>("chkCombine")->toolTip().left(6), QStringLiteral("統合できるの"));
}

TEST_F(TMainFrm, TheItemFollowsTheSource)
{
    OpenForm();
    // Masks: 0 点データ *.txt, 1 定義なし *.dat, 2 別の点 m*.txt, 3 台帳のみ W*.txt.
    struct TCase
    {
        const char* Name;
        const char* File;
        int Selected; ///< before; -1 none
        int Expected; ///< after
        const char* Status;
        const char* Destination;
    };
    const TCase cases[] = {
        {"one item", "a.dat", -1, 1, "ファイル名からデータ項目「定義なし」を選択しました。",
         "a.mif"},
        {"one item, any letter case", "B.DAT", 0, 1, "「定義なし」を選択しました", "B.mif"},
        {"the selected one", "c.dat", 1, 1, "ファイル名はデータ項目「定義なし」のものです。",
         "c.mif"},
        {"several", "m1.txt", 3, 3, "「点データ」、「別の点」に当てはまります", "m1.csv"},
        {"none", "d.csv", 2, 2, "ファイル名に当てはまるデータ項目はありません。", "d.mif"},
    };
    auto* tree = Find<QTreeWidget>("tvwDataKind");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        tree->clearSelection();
        if (c.Selected >= 0) {
            SelectItem(c.Selected);
        }
        const auto file = Dir / c.File;
        WriteBytes(file, CrLf({"P001"}));
        Form->OpenFiles({Q(file)}, false);
        ASSERT_EQ(tree->selectedItems().size(), 1);
        EXPECT_EQ(tree->selectedItems().at(0)->data(0, Qt::UserRole).toInt(), c.Expected);
        EXPECT_TRUE(Find<QLabel>("StatusPanel0")->text().contains(QString::fromUtf8(c.Status)))
            << Find<QLabel>("StatusPanel0")->text().toStdString();
        EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(file));
        EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), Q(Dir / c.Destination));
    }
    tolvane::driver::TCatalogue catalogue = Form->Catalogue();
    EXPECT_EQ(tolvane::app::ItemsForFile(catalogue, QStringLiteral("/x/W1.txt")),
              (std::vector<std::int64_t>{0, 3}));
    EXPECT_TRUE(tolvane::app::ItemsForFile(catalogue, QStringLiteral("/x/")).empty());

    // Another item keeps the paths while the source fits it, and gives the destination its
    // extension; one the source does not fit empties them.
    SelectItem(2);
    SetSource(Dir / "m1.txt");
    SetDestination(Q(Dir / "m1.csv"));
    SelectItem(0);
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(Dir / "m1.txt"));
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), Q(Dir / "m1.mif"));
    SelectItem(1);
    EXPECT_TRUE(Find<QLineEdit>("edtSrcFile")->text().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>("edtDscFile")->text().isEmpty());
}

TEST_F(TMainFrm, CancelAsksAndStopsTheJob)
{
    enum class TWay {
        EscKey,
        CancelButton,
        CloseWindow,
    };
    struct TCase
    {
        const char* Name;
        TWay Way;
        tolvane::app::TAnswer Answer;
        const char* Result;
        bool StaysOpen;
    };
    using tolvane::app::TAnswer;
    const TCase cases[] = {
        {"Esc, yes", TWay::EscKey, TAnswer::Yes, "変換を中止しました。", true},
        {"中止, yes", TWay::CancelButton, TAnswer::Yes, "変換を中止しました。", true},
        {"中止, no", TWay::CancelButton, TAnswer::No, "変換に成功しました。", true},
        {"closing, yes", TWay::CloseWindow, TAnswer::Yes, "変換を中止しました。", false},
        {"closing, no", TWay::CloseWindow, TAnswer::No, "変換に成功しました。", true},
    };
    WriteBytes(Source, CrLf({"P001", "HOOK", "P002", "P003"}));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Ui.Messages.clear();
        Ui.Questions.clear();
        OpenForm();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        SelectItem(0);
        SetSource(Source);
        SetDestination(Q(Dir / "out.mif"));
        Ui.Answers = {c.Answer};
        g_duringJob = [&] {
            auto* button = Find<QToolButton>("btnCancel");
            EXPECT_TRUE(button->isVisible());
            EXPECT_EQ(button->text(), QStringLiteral("中止"));
            switch (c.Way) {
            case TWay::EscKey:
                QTest::keyClick(Form.get(), Qt::Key_Escape);
                break;
            case TWay::CancelButton:
                button->click();
                break;
            case TWay::CloseWindow:
                EXPECT_FALSE(Form->close()); // not while the job runs
                break;
            }
        };
        Form->actConvertExecute();
        g_duringJob = nullptr;
        EXPECT_EQ(Ui.Questions, std::vector<QString>{QStringLiteral("変換を中止しますか？")});
        EXPECT_EQ(Ui.Texts(), std::vector<QString>{QString::fromUtf8(c.Result)});
        EXPECT_FALSE(Form->IsBusy());
        EXPECT_FALSE(Find<QToolButton>("btnCancel")->isVisible());
        EXPECT_EQ(Form->isVisible(), c.StaysOpen);
        // Esc does nothing while no job runs.
        if (c.StaysOpen) {
            QTest::keyClick(Form.get(), Qt::Key_Escape);
            EXPECT_EQ(Ui.Questions.size(), 1U);
        }
        Form.reset();
    }
}

TEST_F(TMainFrm, CheckInputsReportsTheFirstProblem)
{
    OpenForm();
    EXPECT_FALSE(Form->CheckInputs());
    SelectNode(Find<QTreeWidget>("tvwDataKind")->topLevelItem(0));
    EXPECT_FALSE(Form->CheckInputs());
    SelectItem(0);
    SetSource(Dir / "missing.txt");
    SetDestination(QStringLiteral(" \t "));
    EXPECT_FALSE(Form->CheckInputs());
    SetSource(Source);
    EXPECT_FALSE(Form->CheckInputs());
    SetDestination(QStringLiteral("　")); // a full-width space is a name
    EXPECT_TRUE(Form->CheckInputs());
    const std::vector<QString> expected = {
        QStringLiteral("変換を行うデータ項目を選択してください。"),
        QStringLiteral("変換を行うデータ項目を選択してください。"),
        QStringLiteral("変換元のファイル名が不正です。"),
        QStringLiteral("変換後のファイル名が不正です。"),
    };
    EXPECT_EQ(Ui.Texts(), expected);
    for (const auto& message : Ui.Messages) {
        EXPECT_EQ(message.Kind, QStringLiteral("warning"));
    }
}

TEST_F(TMainFrm, SelectingADataItemResetsTheEditor)
{
    OpenForm();
    auto* panel = Find<QLabel>("StatusPanel0");
    SelectItem(2);
    EXPECT_EQ(panel->text(), QStringLiteral("m*.txt"));
    EXPECT_EQ(Form->OpenDialog1().Filter,
              QStringLiteral("国土数値情報(m*.txt)|m*.txt|すべてのファイル(*.*)|*.*"));
    // The save dialog offers every format this build writes, the MIF first and by default.
    const bool gdal = tolvane::driver::CanWrite(tolvane::driver::TOutputFormat::GeoPackage);
    EXPECT_EQ(Form->SaveDialog1().Filter,
              QStringLiteral("MapInfo インポート/エクスポート (*.mif)|*.mif") +
                  (gdal ? QStringLiteral("|GeoPackage (*.gpkg)|*.gpkg|GeoJSON "
                                         "(*.geojson;*.json)|*.geojson;*.json")
                        : QString()));
    EXPECT_EQ(Form->SaveDialog1().DefaultExt, QStringLiteral("mif"));
    // A source that two items fit (点データ *.txt and 別の点 m*.txt) leaves the selection.
    const auto both = Dir / "m01.txt";
    WriteBytes(both, CrLf({"P001"}));
    Ui.FileAnswers = {Q(both), Q(Dir / "x.mif")};
    Form->actSrcBrowseExecute();
    Form->actDstBrowseExecute();
    EXPECT_FALSE(Form->OpenDialog1().FileName.isEmpty());
    const QString status = panel->text();

    // A category changes nothing.
    SelectNode(Find<QTreeWidget>("tvwDataKind")->topLevelItem(1));
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(both));
    EXPECT_EQ(panel->text(), status);
    EXPECT_EQ(Form->OpenDialog1().Filter,
              QStringLiteral("国土数値情報(m*.txt)|m*.txt|すべてのファイル(*.*)|*.*"));

    // Another item that the source fits keeps a destination of a format it offers.
    SetDestination(Q(Dir / "x.gpkg"));
    SelectItem(0);
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), Q(Dir / (gdal ? "x.gpkg" : "x.mif")));

    // The ledger-only item empties both paths and the dialogs' names, and saves CSV.
    SelectItem(3);
    EXPECT_TRUE(Find<QLineEdit>("edtSrcFile")->text().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>("edtDscFile")->text().isEmpty());
    EXPECT_TRUE(Form->OpenDialog1().FileName.isEmpty());
    EXPECT_TRUE(Form->SaveDialog1().FileName.isEmpty());
    EXPECT_EQ(panel->text(), QStringLiteral("W*.txt"));
    EXPECT_EQ(Form->SaveDialog1().Filter,
              QStringLiteral("CSVファイル (*.csv)|*.csv") +
                  (gdal ? QStringLiteral("|GeoPackage (*.gpkg)|*.gpkg") : QString()));
    EXPECT_EQ(Form->SaveDialog1().DefaultExt, QStringLiteral("csv"));
}

TEST_F(TMainFrm, BrowsingTheSourceFillsTheDestination)
{
    OpenForm();
    SelectItem(3);
    Ui.FileAnswers = {QStringLiteral("/data/W14-52T.txt")};
    Form->actSrcBrowseExecute();
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), QStringLiteral("/data/W14-52T.txt"));
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), QStringLiteral("/data/W14-52T.csv"));
    EXPECT_EQ(Ui.FileDialogs.back().Filter,
              QStringLiteral("国土数値情報(W*.txt)|W*.txt|すべてのファイル(*.*)|*.*"));

    SelectItem(0);
    SetDestination(QStringLiteral("typed.mif"));
    Ui.FileAnswers = {QStringLiteral("/data/a.b/points")};
    Form->actSrcBrowseExecute();
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), QStringLiteral("/data/a.b/points.mif"));

    // Cancel changes nothing.
    Form->actSrcBrowseExecute();
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), QStringLiteral("/data/a.b/points"));

    Ui.FileAnswers = {QStringLiteral("/out/dst.mif"), QStringLiteral("/out/all.mif")};
    Form->actDstBrowseExecute();
    Form->btnCmbBrowseClick();
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), QStringLiteral("/out/dst.mif"));
    EXPECT_EQ(Find<QLineEdit>("edtConbineFile")->text(), QStringLiteral("/out/all.mif"));
    EXPECT_EQ(Ui.FileDialogs.back().DefaultExt, QStringLiteral("mif"));
}

TEST_F(TMainFrm, ConvertNowReportsSuccess)
{
    OpenForm();
    SelectItem(0);
    SetSource(Source);
    SetDestination(Q(Dir / "out.mif"));
    Find<QComboBox>("cboCoordSys")->setCurrentIndex(1);
    Form->UpdateActions(); // as when the application goes idle
    Action("actConvert")->trigger();
    ASSERT_EQ(Ui.Messages.size(), 1U);
    EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("information"));
    EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("変換に成功しました。"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Form->IsBusy());
    EXPECT_TRUE(Form->centralWidget()->isEnabled());
    EXPECT_FALSE(Find<QProgressBar>("ProgressBar1")->isVisible());
    const std::string mif = ReadBytes(Dir / "out.mif");
    EXPECT_NE(mif.find("CoordSys Earth Projection 1, 104"), std::string::npos);
    EXPECT_EQ(ReadBytes(Dir / "out.mid"), CrLf({"001", "002"}));
}

TEST_F(TMainFrm, ConvertNowFailureSaysWhy)
{
    OpenForm();
    SelectItem(0);
    SetSource(BadSource);
    SetDestination(Q(Dir / "bad.mif"));
    Form->actConvertExecute();
    ASSERT_EQ(Ui.Messages.size(), 1U);
    EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("warning"));
    EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("変換に失敗しました。"));
    EXPECT_TRUE(Ui.Messages[0].Detail.contains(QStringLiteral("'BAD' は整数ではありません")))
        << Ui.Messages[0].Detail.toStdString();
    EXPECT_TRUE(Ui.Messages[0].Detail.contains(QStringLiteral("bad.txt")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TMainFrm, PreparationErrorShowsOnlyTheErrorBox)
{
    OpenForm();
    SelectItem(1);
    SetSource(Source);
    SetDestination(Q(Dir / "never.mif"));
    Form->actConvertExecute();
    ASSERT_EQ(Ui.Messages.size(), 1U);
    EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("error"));
    EXPECT_TRUE(Ui.Messages[0].Text.contains(QStringLiteral("nothere.txt")));
    EXPECT_TRUE(Ui.Messages[0].Text.contains(QStringLiteral("は開けません")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Form->IsBusy());
}

TEST_F(TMainFrm, NothingElseStartsWhileAJobRuns)
{
    OpenForm();
    WriteBytes(Source, CrLf({"P001", "HOOK", "P002"}));
    SelectItem(0);
    SetSource(Source);
    SetDestination(Q(Dir / "out.mif"));
    bool ran = false;
    g_duringJob = [&] {
        ran = true;
        EXPECT_TRUE(Form->IsBusy());
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        for (const char* name : {"actConvert", "actAddToBatch", "actSrcBrowse", "actBatchExec",
                                 "O1", "S1", "X1", "A1"}) {
            SCOPED_TRACE(name);
            EXPECT_FALSE(Action(name)->isEnabled());
        }
        EXPECT_TRUE(Action("H2")->isEnabled());
        EXPECT_FALSE(Find<QLineEdit>("edtSrcFile")->isEnabled());
        EXPECT_FALSE(Find<QTreeWidget>("tvwDataKind")->isEnabled());
        EXPECT_TRUE(Find<QProgressBar>("ProgressBar1")->isVisible());
        EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(),
                  QStringLiteral("点データを変換しています。"));
        EXPECT_FALSE(Form->close());
        Form->actConvertExecute(); // no second job
        Form->actAddToBatchExecute();
        EXPECT_TRUE(Form->BatchList().Entries.empty());
    };
    Form->actConvertExecute();
    EXPECT_TRUE(ran);
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("変換に成功しました。")});
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Find<QLineEdit>("edtSrcFile")->isEnabled());
    EXPECT_TRUE(Enabled("actConvert"));
    EXPECT_TRUE(Find<QLabel>("StatusPanel0")->text().isEmpty());
}

TEST_F(TMainFrm, DownloadPageAndExit)
{
    OpenForm();
    Action("K1")->trigger();
    ASSERT_EQ(Ui.Urls.size(), 1U);
    EXPECT_EQ(Ui.Urls[0], QUrl(QStringLiteral("https://nlftp.mlit.go.jp/ksj/")));
    Action("X1")->trigger();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(std::filesystem::exists(Dir / "tolvane.INI"));
}

} // namespace
