// The About box, the help window, the version text and the dialog filters.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/AboutDlg.h"
#include "app/Help.h"
#include "app/UiServices.h"
#include "app/VersionInfo.h"

using namespace tolvane::app;
using namespace tolvane::test;

namespace {

using TAboutFrm = TWindowTest;

TEST_F(TAboutFrm, AboutBoxShowsTheVersionAndItsLinksOpen)
{
    OpenForm();
    bool checked = false;
    Ui.OnDialog = [&](QDialog& dialog) {
        checked = true;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("バージョン情報"));
        EXPECT_EQ(dialog.width(), 361);
        auto* version = dialog.findChild<QLabel*>(QStringLiteral("lblVersion"));
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->text(), QStringLiteral("Version ") + QStringLiteral(TOLVANE_VERSION));
        EXPECT_EQ(version->pos(), QPoint(104, 32));
        auto* title = dialog.findChild<QLabel*>(QStringLiteral("lblTitle"));
        EXPECT_EQ(title->text(), QStringLiteral("Tolvane Converter"));
        EXPECT_EQ(title->pos(), QPoint(104, 16));
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("imgProgramIcon"))->geometry(),
                  QRect(64, 16, 32, 32));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        EXPECT_EQ(ok->geometry(), QRect(144, 152, 75, 21));
        EXPECT_TRUE(ok->isDefault());
        dialog.findChild<QLabel*>(QStringLiteral("lblWeb"))
            ->linkActivated(QStringLiteral("https://nlftp.mlit.go.jp/ksj/"));
        dialog.findChild<QLabel*>(QStringLiteral("lblMail"))
            ->linkActivated(QStringLiteral("mailto:support@tolvane.example"));
        ok->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    };
    Action("A1")->trigger();
    EXPECT_TRUE(checked);
    ASSERT_EQ(Ui.Urls.size(), 2U);
    EXPECT_EQ(Ui.Urls[0].scheme(), QStringLiteral("https"));
    EXPECT_EQ(Ui.Urls[1].scheme(), QStringLiteral("mailto"));
}

TEST(VersionInfo, ComesFromTheBuild)
{
    EXPECT_EQ(GetFileVersionText(), QStringLiteral(TOLVANE_VERSION));
    EXPECT_FALSE(GetFileVersionText().isEmpty());
}

TEST(HelpWindow, ListsTheShippedTopicsAndSearchesThem)
{
    THelpWindow help(QString::fromStdString((SourceDir() / "data" / "help").string()));
    const QStringList titles = help.TopicTitles();
    ASSERT_EQ(titles.size(), 7);
    EXPECT_EQ(titles.at(0), QStringLiteral("変換のしかた"));
    EXPECT_TRUE(titles.contains(QStringLiteral("コマンドライン")));
    EXPECT_TRUE(titles.contains(QStringLiteral("QGIS と GDAL で開く")));
    EXPECT_EQ(help.CurrentTitle(), titles.at(0));

    const QStringList merge = help.Search(QStringLiteral("統合"));
    EXPECT_TRUE(merge.contains(QStringLiteral("ファイルの統合")));
    EXPECT_LT(merge.size(), titles.size());
    EXPECT_EQ(help.CurrentTitle(), merge.at(0));
    EXPECT_TRUE(
        help.findChild<QTextBrowser*>(QStringLiteral("txtPage"))->textCursor().hasSelection());

    EXPECT_TRUE(help.Search(QStringLiteral("MID")).contains(QStringLiteral("ファイルの統合")));
    EXPECT_TRUE(help.Search(QStringLiteral("mid")).contains(QStringLiteral("ファイルの統合")));
    EXPECT_TRUE(
        help.Search(QStringLiteral("ogr2ogr")).contains(QStringLiteral("QGIS と GDAL で開く")));
    EXPECT_TRUE(help.Search(QStringLiteral("--jobs")).contains(QStringLiteral("コマンドライン")));

    // No match: said so, no topic shown, no mark left from the search before.
    auto* page = help.findChild<QTextBrowser*>(QStringLiteral("txtPage"));
    auto* notFound = help.findChild<QLabel*>(QStringLiteral("lblNotFound"));
    help.show();
    EXPECT_TRUE(help.Search(QStringLiteral("見つからない語xyz")).isEmpty());
    EXPECT_TRUE(notFound->isVisible());
    EXPECT_EQ(notFound->text(), QStringLiteral("見つかりません"));
    EXPECT_TRUE(help.CurrentTitle().isEmpty());
    EXPECT_FALSE(page->textCursor().hasSelection());
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("見つかりません")));
    EXPECT_EQ(help.findChild<QListWidget*>(QStringLiteral("lstTopics"))->currentRow(), -1);
    EXPECT_EQ(help.Search(QString()).size(), titles.size());
    EXPECT_FALSE(notFound->isVisible());
    EXPECT_EQ(help.CurrentTitle(), titles.at(0));
    EXPECT_TRUE(page->toPlainText().startsWith(QStringLiteral("変換のしかた")));
    help.ShowTopic(2);
    EXPECT_EQ(help.CurrentTitle(), titles.at(2));

    // Esc closes it.
    help.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    QTest::keyClick(&help, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
}

TEST(HelpWindow, MissingPagesSaySo)
{
    TTempDir dir;
    THelpWindow help(QString::fromStdString(dir.Path().string()));
    EXPECT_TRUE(help.TopicTitles().isEmpty());
    EXPECT_TRUE(help.findChild<QTextBrowser*>(QStringLiteral("txtPage"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("ヘルプのページが見つかりません")));
    EXPECT_TRUE(help.Search(QStringLiteral("x")).isEmpty());
}

TEST(ToNameFilters, KeepsTheDescriptions)
{
    struct TCase
    {
        const char* Filter;
        QStringList Expected;
    };
    const TCase cases[] = {
        {"国土数値情報(L03-*.dat)|L03-*.dat|すべてのファイル(*.*)|*.*",
         {QStringLiteral("国土数値情報(L03-*.dat) (L03-*.dat)"),
          QStringLiteral("すべてのファイル(*.*) (*.*)")}},
        {"MapInfo インポート/エクスポート (*.mif)|*.mif",
         {QStringLiteral("MapInfo インポート/エクスポート (*.mif) (*.mif)")}},
        {"two|*.txt;*.csv", {QStringLiteral("two (*.txt *.csv)")}},
        {"", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Filter);
        EXPECT_EQ(ToNameFilters(QString::fromUtf8(c.Filter)), c.Expected);
    }
}

TEST(DefaultSuffixOf, TheFirstPatternsExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"GeoJSON (*.geojson;*.json)|*.geojson;*.json", "geojson"},
        {"MapInfo インポート/エクスポート (*.mif)|*.mif", "mif"},
        {"国土数値情報(L03-*.dat)|L03-*.dat", ""},
        {"すべてのファイル(*.*)|*.*", ""},
    };
    for (const auto& [filter, suffix] : cases) {
        SCOPED_TRACE(filter);
        EXPECT_EQ(DefaultSuffixOf(ToNameFilters(QString::fromUtf8(filter)).constFirst()),
                  QString::fromUtf8(suffix));
    }
}

} // namespace
