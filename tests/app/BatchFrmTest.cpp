// The batch list in the window: editing, the merge controls, the batch-list file and a run.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "base/uniPaths.h"

using namespace tolvane::test;

namespace {

class TBatchFrm : public TWindowTest
{
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        OpenForm();
        List = Find<QTreeWidget>("lvwBatch");
    }

    QString Cell(int row, int column) const { return List->topLevelItem(row)->text(column); }
    qint64 Icon(int row) const { return List->topLevelItem(row)->icon(0).cacheKey(); }
    static qint64 Image(int index) { return tolvane::app::ImageList1().at(index).cacheKey(); }
    void SelectRow(int row)
    {
        List->setCurrentItem(List->topLevelItem(row));
        List->topLevelItem(row)->setSelected(true);
    }
    bool MergeControlsEnabled() const
    {
        const bool check = Find<QCheckBox>("chkCombine")->isEnabled();
        EXPECT_EQ(Find<QLineEdit>("edtConbineFile")->isEnabled(), check);
        EXPECT_EQ(Find<QPushButton>("btnCmbBrowse")->isEnabled(), check);
        return check;
    }

    QTreeWidget* List = nullptr;
};

TEST_F(TBatchFrm, AddShowsTheJobAndKeepsTheEditor)
{
    AddJob(0, Source, Dir / "a.mif", 1);
    ASSERT_EQ(List->topLevelItemCount(), 1);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("点データ"));
    EXPECT_EQ(Cell(0, 2), Q(Source));
    EXPECT_EQ(Cell(0, 3), Q(Dir / "a.mif"));
    EXPECT_EQ(Cell(0, 4), QStringLiteral("緯度/経度（WGS84）"));
    EXPECT_TRUE(List->topLevelItem(0)->icon(0).isNull());
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(Source));
    const auto& entry = Form->BatchList().Entries.at(0);
    EXPECT_EQ(entry.ItemIndex, 0);
    EXPECT_EQ(entry.CoordSysIndex, 1);
    EXPECT_TRUE(Enabled("actBatchExec"));
    EXPECT_TRUE(Enabled("actBarchClear"));
    EXPECT_FALSE(MergeControlsEnabled()); // one row

    // An invalid editor adds nothing.
    SetSource(Dir / "missing.txt");
    Form->actAddToBatchExecute();
    EXPECT_EQ(List->topLevelItemCount(), 1);
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("変換元のファイル名が不正です。")});
}

TEST_F(TBatchFrm, MergeControlsFollowTheRows)
{
    AddJob(0, Source, Dir / "a.mif", 0);
    AddJob(0, Source, Dir / "b.mif", 2);
    EXPECT_FALSE(MergeControlsEnabled()); // other coordinate system
    AddJob(0, Source, Dir / "c.mif", 0);
    EXPECT_FALSE(MergeControlsEnabled());
    SelectRow(1);
    EXPECT_TRUE(Find<QPushButton>("btnRemove")->isEnabled());
    Form->btnRemoveClick();
    EXPECT_TRUE(MergeControlsEnabled());
    Find<QCheckBox>("chkCombine")->setChecked(true);
    AddJob(2, Source, Dir / "d.mif", 0);
    EXPECT_FALSE(MergeControlsEnabled()); // another data item
    EXPECT_TRUE(Find<QCheckBox>("chkCombine")->isChecked());
    SelectRow(2);
    Form->btnRemoveClick();
    EXPECT_TRUE(MergeControlsEnabled());
    Form->actBarchClearExecute();
    EXPECT_EQ(List->topLevelItemCount(), 0);
    EXPECT_FALSE(MergeControlsEnabled());
    EXPECT_FALSE(Enabled("actBatchExec"));
}

TEST_F(TBatchFrm, ReplaceKeepsThePositionAndClearsTheIcon)
{
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, BadSource, Dir / "b.mif");
    Form->actBatchExecExecute();
    ASSERT_EQ(Icon(1), Image(1));
    SelectRow(1);
    SelectItem(2);
    SetSource(Source);
    SetDestination(Q(Dir / "r.mif"));
    EXPECT_TRUE(Enabled("actReplaceToBatch"));
    Form->actReplaceToBatchExecute();
    ASSERT_EQ(List->topLevelItemCount(), 2);
    EXPECT_EQ(Cell(1, 1), QStringLiteral("別の点"));
    EXPECT_EQ(Cell(1, 3), Q(Dir / "r.mif"));
    EXPECT_TRUE(List->topLevelItem(1)->icon(0).isNull());
    EXPECT_EQ(List->topLevelItem(1)->toolTip(1), QStringLiteral("別の点")); // no reason now
    EXPECT_EQ(Icon(0), Image(0));
}

TEST_F(TBatchFrm, DoubleClickLoadsTheRowIntoTheEditor)
{
    AddJob(2, Source, Dir / "a.mif", 2);
    SelectItem(0);
    SetSource(BadSource);
    SelectRow(0);
    Form->lvwBatchDblClick();
    auto* tree = Find<QTreeWidget>("tvwDataKind");
    ASSERT_EQ(tree->selectedItems().size(), 1);
    EXPECT_EQ(tree->selectedItems().at(0)->text(0), QStringLiteral("別の点"));
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(Source));
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), Q(Dir / "a.mif"));
    EXPECT_EQ(Find<QComboBox>("cboCoordSys")->currentIndex(), 2);
    EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(), QStringLiteral("m*.txt"));
}

TEST_F(TBatchFrm, SaveAndOpenRoundTrip)
{
    Form->S1Click();
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("対象のバッチリストがありません。")});
    EXPECT_TRUE(Ui.FileDialogs.empty());

    const auto spaced = Dir / "with blank.txt";
    WriteBytes(spaced, CrLf({"P001"}));
    AddJob(0, spaced, Dir / "a b.mif", 1);
    AddJob(0, Source, Dir / "c.mif", 1);
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(Dir / "all.mif"));
    const auto file = Dir / "list.txt";
    Ui.FileAnswers = {Q(file)};
    Form->S1Click();
    EXPECT_EQ(Ui.FileDialogs.back().DefaultExt, QStringLiteral("txt"));
    EXPECT_EQ(ReadBytes(file).substr(0, 14), "tolvane\r\n200\r\n");

    Form->actBarchClearExecute();
    Find<QCheckBox>("chkCombine")->setChecked(false);
    Find<QLineEdit>("edtConbineFile")->clear();
    Ui.FileAnswers = {Q(file)};
    Form->O1Click();
    ASSERT_EQ(List->topLevelItemCount(), 2);
    EXPECT_EQ(Cell(0, 2), Q(spaced));
    EXPECT_EQ(Cell(0, 3), Q(Dir / "a b.mif"));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("点データ"));
    EXPECT_EQ(Cell(1, 4), QStringLiteral("緯度/経度（WGS84）"));
    EXPECT_TRUE(Find<QCheckBox>("chkCombine")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("edtConbineFile")->text(), Q(Dir / "all.mif"));
    EXPECT_TRUE(MergeControlsEnabled());
    EXPECT_EQ(Ui.Messages.size(), 1U);
}

TEST_F(TBatchFrm, OpeningABadFileLeavesTheListUntouched)
{
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, Source, Dir / "b.mif");
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(Dir / "all.mif"));
    Ui.FileAnswers = {Q(Dir / "kept.txt")};
    ASSERT_TRUE(Form->S1Click());
    struct TCase
    {
        const char* Name;
        std::string Bytes;
        const char* Message; ///< contained in the error box
    };
    const std::string good = "\"0\"\t\"" + Source.string() + "\"\t\"o.mif\"\t\"0\"";
    const TCase cases[] = {
        {"three lines", CrLf({"tolvane", "200", "0"}), "不正なバッチリストです。"},
        {"wrong magic", CrLf({"other", "200", "0", ""}), "不正なバッチリストです。"},
        {"no Boolean", CrLf({"tolvane", "200", "maybe", ""}), "は正しい論理型ではありません"},
        {"bad index after a good row",
         CrLf({"tolvane", "200", "0", "", good, "\"9\"\t\"a\"\t\"b\"\t\"0\""}),
         "リストのインデックスが範囲を超えています"},
        {"missing file", "", "は開けません。指定されたファイルが見つかりません。"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Ui.Messages.clear();
        const auto file = Dir / (c.Bytes.empty() ? "none.txt" : "list.txt");
        if (!c.Bytes.empty()) {
            WriteBytes(file, c.Bytes);
        }
        Ui.FileAnswers = {Q(file)};
        Form->O1Click();
        ASSERT_EQ(Ui.Messages.size(), 1U);
        EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("error"));
        EXPECT_TRUE(Ui.Messages[0].Text.contains(QString::fromUtf8(c.Message)))
            << Ui.Messages[0].Text.toStdString();
        ASSERT_EQ(List->topLevelItemCount(), 2);
        ASSERT_EQ(Form->BatchList().Entries.size(), 2U);
        EXPECT_EQ(Cell(1, 3), Q(Dir / "b.mif"));
        EXPECT_TRUE(Find<QCheckBox>("chkCombine")->isChecked());
        EXPECT_EQ(Find<QLineEdit>("edtConbineFile")->text(), Q(Dir / "all.mif"));
        EXPECT_TRUE(MergeControlsEnabled());
        EXPECT_FALSE(Form->BatchListModified());
    }
    EXPECT_TRUE(Ui.Questions.empty());
    // Only the files read whole are remembered.
    EXPECT_EQ(Form->RecentBatchLists(), QStringList{Q(Dir / "kept.txt")});
}

TEST_F(TBatchFrm, UnsavedListIsNotDiscardedWithoutAsking)
{
    using tolvane::app::TAnswer;
    const auto other = Dir / "other.txt";
    WriteBytes(other, CrLf({"tolvane", "200", "0", "", "\"2\"\t\"s\"\t\"d\"\t\"1\""}));
    enum class TCommand {
        Clear,
        Open,
        Drop,
        Close,
    };
    struct TCase
    {
        const char* Name;
        TCommand Command;
        TAnswer Answer;
        bool Discarded; ///< the rows are gone (or the window closed)
        bool Saved;
    };
    const TCase cases[] = {
        {"clear, cancel", TCommand::Clear, TAnswer::Cancel, false, false},
        {"clear, discard", TCommand::Clear, TAnswer::No, true, false},
        {"clear, save", TCommand::Clear, TAnswer::Yes, true, true},
        {"open, cancel", TCommand::Open, TAnswer::Cancel, false, false},
        {"open, discard", TCommand::Open, TAnswer::No, true, false},
        {"dropped list, save", TCommand::Drop, TAnswer::Yes, true, true},
        {"close, cancel", TCommand::Close, TAnswer::Cancel, false, false},
        {"close, discard", TCommand::Close, TAnswer::No, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Form.reset();
        OpenForm();
        List = Find<QTreeWidget>("lvwBatch");
        AddJob(0, Source, Dir / "a.mif");
        std::filesystem::remove(Dir / "saved.txt");
        Ui.Questions.clear();
        Ui.Answers = {c.Answer};
        Ui.FileAnswers = {Q(Dir / "saved.txt"), Q(other)};
        bool closed = false;
        switch (c.Command) {
        case TCommand::Clear:
            Form->actBarchClearExecute();
            break;
        case TCommand::Open:
            Ui.FileAnswers = {Q(other)};
            Form->O1Click();
            break;
        case TCommand::Drop:
            Ui.FileAnswers = {Q(Dir / "saved.txt")};
            Form->OpenFiles({Q(other)}, true);
            break;
        case TCommand::Close:
            closed = Form->close();
            break;
        }
        EXPECT_EQ(Ui.Questions, std::vector<QString>{QStringLiteral(
                                    "バッチリストの変更が保存されていません。保存しますか？")});
        const bool rowKept =
            Form->BatchList().Entries.size() == 1 && Form->BatchList().Entries[0].ItemIndex == 0;
        EXPECT_EQ(c.Command == TCommand::Close ? closed : !rowKept, c.Discarded);
        EXPECT_EQ(std::filesystem::exists(Dir / "saved.txt"), c.Saved);
        // Nothing asks about a list that is saved, or empty.
        Ui.Questions.clear();
        if (!closed) {
            Ui.FileAnswers = {Q(Dir / "saved.txt")};
            if (Form->BatchListModified()) {
                ASSERT_TRUE(Form->S1Click());
            }
            Form->actBarchClearExecute();
            EXPECT_TRUE(Form->close());
            EXPECT_TRUE(Ui.Questions.empty());
        }
    }
}

TEST_F(TBatchFrm, DroppedFilesBecomeRowsOrTheSource)
{
    const auto a = Dir / "a.txt";
    const auto b = Dir / "b.txt";
    WriteBytes(a, CrLf({"P001"}));
    WriteBytes(b, CrLf({"P002"}));
    const auto drop = [this](const std::vector<std::filesystem::path>& files, QWidget* target) {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& file : files) {
            urls.append(QUrl::fromLocalFile(Q(file)));
        }
        data.setUrls(urls);
        const QPoint at = target->mapTo(Form.get(), target->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Form.get(), &dropped);
        QApplication::processEvents(); // the drop is handled once the drag has ended
    };

    // One file on the editor: the source, its item and the destination beside it.
    drop({a}, Find<QWidget>("edtSrcFile"));
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(a));
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), Q(Dir / "a.mif"));
    EXPECT_EQ(List->topLevelItemCount(), 0);

    // Several files anywhere, or one on the batch list: one row each for the selected item,
    // in the chosen coordinate system, each destination beside its source.
    SelectItem(2);
    Find<QComboBox>("cboCoordSys")->setCurrentIndex(2);
    drop({a, b}, Find<QWidget>("tvwDataKind"));
    drop({b}, List);
    ASSERT_EQ(List->topLevelItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const auto& entry = Form->BatchList().Entries.at(static_cast<std::size_t>(row));
        EXPECT_EQ(entry.ItemIndex, 2);
        EXPECT_EQ(entry.CoordSysIndex, 2);
        EXPECT_EQ(tolvane::base::ChangeFileExt(std::string_view(entry.SrcFile), ".mif"),
                  entry.DstFile);
    }
    EXPECT_EQ(Cell(2, 2), Q(b));
    EXPECT_TRUE(Form->BatchListModified());

    // A batch-list file is recognised by its first line, whatever its name, and opened.
    const auto list = Dir / "jobs.lst";
    WriteBytes(list, CrLf({" TOLVANE ", "200", "0", "", "\"0\"\t\"s\"\t\"d\"\t\"1\""}));
    Ui.Answers = {tolvane::app::TAnswer::No};
    drop({a, list}, List);
    EXPECT_EQ(Ui.Questions.size(), 1U);
    ASSERT_EQ(List->topLevelItemCount(), 1);
    EXPECT_EQ(Cell(0, 2), QStringLiteral("s"));
    EXPECT_FALSE(Form->BatchListModified());

    // Nothing that is not a file is taken.
    drop({Dir / "missing.txt"}, List);
    EXPECT_EQ(List->topLevelItemCount(), 1);
    EXPECT_TRUE(Find<QLabel>("StatusPanel0")->text().contains(QStringLiteral("missing.txt")));
}

TEST_F(TBatchFrm, RunMarksEveryRowAndMerges)
{
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, BadSource, Dir / "b.mif");
    AddJob(0, Source, Dir / "c.mif");
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(Dir / "all.mif"));
    Form->UpdateActions();
    Action("actBatchExec")->trigger();
    EXPECT_EQ(Icon(0), Image(0));
    EXPECT_EQ(Icon(1), Image(1));
    EXPECT_EQ(Icon(2), Image(0));
    EXPECT_TRUE(
        List->topLevelItem(1)->toolTip(2).contains(QStringLiteral("'BAD' は整数ではありません")));
    EXPECT_TRUE(List->topLevelItem(1)->toolTip(2).startsWith(Q(BadSource)));
    EXPECT_EQ(List->topLevelItem(0)->toolTip(2), Q(Source)); // the whole path, nothing more
    EXPECT_EQ(List->topLevelItem(0)->toolTip(1), QStringLiteral("点データ"));
    EXPECT_TRUE(List->topLevelItem(2)->isSelected());
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("変換が終了しました。")});
    EXPECT_EQ(Ui.Messages[0].Detail,
              QStringLiteral("変換 2 件、失敗 1 件。\n統合後のファイル: ") + Q(Dir / "all.mif"));
    EXPECT_EQ(ReadBytes(Dir / "all.mid"), CrLf({"001", "002", "001", "002"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Find<QLabel>("StatusPanel0")->text().isEmpty());
}

TEST_F(TBatchFrm, WhatTheInputChecksNoticedShowsInTheRowAndTheStatusBar)
{
    const auto jgd = Dir / "points-jgd.txt";
    std::filesystem::copy_file(Source, jgd);
    AddJob(0, Source, Dir / "a.mif", 0);
    AddJob(0, jgd, Dir / "b.mif", 0);
    Form->UpdateActions();
    Action("actBatchExec")->trigger();
    EXPECT_EQ(Icon(1), Image(0));
    const QString warning = QStringLiteral("ファイル名の \"-jgd\" は座標が JGD2000");
    EXPECT_TRUE(List->topLevelItem(1)->toolTip(2).contains(warning));
    EXPECT_EQ(List->topLevelItem(0)->toolTip(2), Q(Source));
    EXPECT_TRUE(
        Find<QLabel>("StatusPanel0")->text().startsWith(QStringLiteral("2 行目: ") + warning))
        << Find<QLabel>("StatusPanel0")->text().toStdString();
}

TEST_F(TBatchFrm, RunRefusesABlankMergedFile)
{
    Form->actBatchExecExecute();
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, Source, Dir / "b.mif");
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(QStringLiteral("  "));
    Form->actBatchExecExecute();
    const std::vector<QString> expected = {QStringLiteral("対象のバッチリストがありません。"),
                                           QStringLiteral("統合後のファイル名が不正です。")};
    EXPECT_EQ(Ui.Texts(), expected);
    EXPECT_FALSE(std::filesystem::exists(Dir / "a.mif"));
}

TEST_F(TBatchFrm, RunStopsAtARowThatCannotStart)
{
    const auto doomed = Dir / "doomed.txt";
    WriteBytes(doomed, CrLf({"P001"}));
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, doomed, Dir / "b.mif");
    AddJob(0, Source, Dir / "c.mif");
    std::filesystem::remove(doomed);
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(Dir / "all.mif"));
    Form->actBatchExecExecute();
    EXPECT_EQ(Icon(0), Image(0));
    EXPECT_TRUE(List->topLevelItem(1)->icon(0).isNull());
    EXPECT_TRUE(List->topLevelItem(2)->icon(0).isNull());
    // One error box naming the row and its reason; no "finished".
    ASSERT_EQ(Ui.Messages.size(), 1U);
    EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("error"));
    const QStringList lines = Ui.Messages[0].Text.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0],
              QStringLiteral("2 行目（点データ）を変換できないため、バッチ変換を中止しました。"));
    EXPECT_EQ(lines[1],
              QStringLiteral("ファイル \"") + Q(doomed) +
                  QStringLiteral("\" は開けません。指定されたファイルが見つかりません。"));
    EXPECT_EQ(lines.back(), QStringLiteral("変換 1 件、失敗 0 件、未変換 2 件。"));
    EXPECT_TRUE(List->topLevelItem(1)->isSelected());
    EXPECT_FALSE(std::filesystem::exists(Dir / "c.mif"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "all.mif"));
}

TEST_F(TBatchFrm, TheListStaysPutWhileABatchRuns)
{
    WriteBytes(BadSource, CrLf({"P001", "HOOK"}));
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, BadSource, Dir / "b.mif");
    int hooks = 0;
    g_duringJob = [&] {
        ++hooks;
        // Which row of how many, and the time so far.
        EXPECT_TRUE(Find<QLabel>("StatusPanel1")->text().startsWith(QStringLiteral("2 / 2  0:0")))
            << Find<QLabel>("StatusPanel1")->text().toStdString();
        EXPECT_TRUE(List->topLevelItem(1)->isSelected());
        EXPECT_EQ(Icon(0), Image(0)); // the first row's outcome shows already
        EXPECT_FALSE(List->isEnabled());
        for (const char* name : {"actBatchExec", "actBarchClear", "actAddToBatch", "O1"}) {
            SCOPED_TRACE(name);
            EXPECT_FALSE(Action(name)->isEnabled());
        }
        Form->actBarchClearExecute();
        Form->btnRemoveClick();
        Form->actBatchExecExecute();
        EXPECT_FALSE(Form->close());
        EXPECT_EQ(List->topLevelItemCount(), 2);
    };
    Form->actBatchExecExecute();
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("変換が終了しました。")});
    EXPECT_TRUE(List->isEnabled());
    EXPECT_TRUE(Find<QLabel>("StatusPanel1")->text().isEmpty());
}

TEST_F(TBatchFrm, CancelledBatchConvertsNoFurtherRowAndMergesNothing)
{
    WriteBytes(BadSource, CrLf({"P001", "HOOK", "P002"}));
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, BadSource, Dir / "b.mif");
    AddJob(0, Source, Dir / "c.mif");
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(Dir / "all.mif"));
    Ui.Answers = {tolvane::app::TAnswer::Yes};
    g_duringJob = [&] { Form->actCancelExecute(); };
    Form->actBatchExecExecute();
    EXPECT_EQ(Ui.Questions, std::vector<QString>{QStringLiteral("変換を中止しますか？")});
    ASSERT_EQ(Ui.Messages.size(), 1U);
    EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("information"));
    EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("変換を中止しました。"));
    EXPECT_EQ(Ui.Messages[0].Detail, QStringLiteral("変換 1 件、失敗 0 件、未変換 2 件。"));
    EXPECT_EQ(Icon(0), Image(0));
    EXPECT_TRUE(List->topLevelItem(2)->icon(0).isNull());
    EXPECT_FALSE(std::filesystem::exists(Dir / "c.mif"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "all.mif"));
    EXPECT_FALSE(Form->IsBusy());
}

TEST_F(TBatchFrm, PathsAreCutInTheMiddleAndColumnsFitTheirContent)
{
    const std::string folder(60, 'f');
    std::filesystem::create_directory(Dir / folder);
    const auto src1 = Dir / folder / "L03-18M-13-jgd.txt";
    const auto src2 = Dir / folder / "L03-18M-14-jgd.txt";
    WriteBytes(src1, CrLf({"P001"}));
    WriteBytes(src2, CrLf({"P001"}));
    AddJob(0, src1, Dir / folder / "L03-18M-13-jgd.mif");
    AddJob(0, src2, Dir / folder / "L03-18M-14-jgd.mif");
    EXPECT_EQ(List->textElideMode(), Qt::ElideMiddle);
    // The long paths share the room left by the other columns, without a horizontal scroll bar.
    int total = 0;
    for (int column = 0; column < 5; ++column) {
        total += List->columnWidth(column);
    }
    EXPECT_LE(total, List->viewport()->width());
    EXPECT_GE(List->columnWidth(2), 100);
    EXPECT_LE(std::abs(List->columnWidth(2) - List->columnWidth(3)), 1); // an even share
    const QFontMetrics metrics = List->fontMetrics();
    EXPECT_GE(List->columnWidth(1), 90);
    EXPECT_GE(List->columnWidth(4), metrics.horizontalAdvance(QStringLiteral("緯度/経度（東京）")));
    // Cut, a path keeps its file name: the two rows stay apart.
    for (const int width : {List->columnWidth(2), 150, 60}) {
        SCOPED_TRACE(width);
        const QString shown = tolvane::app::ElidePath(Q(src1), metrics, width);
        EXPECT_LE(metrics.horizontalAdvance(shown), width);
        EXPECT_TRUE(shown.contains(QChar(0x2026)));
        if (width >= 150) {
            EXPECT_TRUE(shown.endsWith(QStringLiteral("/L03-18M-13-jgd.txt")))
                << shown.toStdString();
            EXPECT_TRUE(shown.startsWith(QLatin1Char('/')));
        }
    }
    EXPECT_EQ(tolvane::app::ElidePath(QStringLiteral("/a/b.txt"), metrics, 500),
              QStringLiteral("/a/b.txt"));

    // Wider, the paths get more room.
    const int before = List->columnWidth(2);
    Form->resize(Form->size() + QSize(400, 0));
    QApplication::processEvents();
    EXPECT_GT(List->columnWidth(2), before);
}

} // namespace
