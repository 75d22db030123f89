// The settings INI: reading its values, and the window's placement across runs.
#include "app/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "base/uniPaths.h"

using namespace tolvane::app;
using namespace tolvane::test;

namespace {

QString Q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

TEST(WindowPlacement, ReadsValuesOrTheirDefaults)
{
    struct TCase
    {
        const char* Name;
        std::string Ini;
        TWindowPlacement Expected;
    };
    const TCase cases[] = {
        {"decimal",
         "[Window]\nLeft=100\nTop=-5\nWidth=874\nHeight=532\nState=1\n",
         {100, -5, 874, 532, 1}},
        {"hexadecimal",
         "[Window]\r\nLeft=0x64\r\nTop=$1F\r\nWidth=0X10\r\nState=2\r\n",
         {100, 31, 16, 0, 2}},
        {"other letter case",
         "[WINDOW]\nleft=7\nTOP=8\nwidth=9\nHeight=10\nstate=1\n",
         {7, 8, 9, 10, 1}},
        {"bad values",
         "[Window]\nLeft=abc\nTop=12px\nWidth=\nHeight=1,2\nState=0x\n",
         {20, 20, 0, 0, 0}},
        {"State 7", "[Window]\nLeft=1\nState=7\n", {1, 20, 0, 0, 0}},
        {"State -1", "[Window]\nState=-1\n", {20, 20, 0, 0, 0}},
        {"other section", "[Other]\nLeft=1\n", {20, 20, 0, 0, 0}},
        {"empty", "", {20, 20, 0, 0, 0}},
    };
    TTempDir dir;
    int n = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto ini = dir / ("case" + std::to_string(n++) + ".INI");
        WriteBytes(ini, c.Ini);
        const TWindowPlacement read = ReadWindowPlacement(Q(ini));
        EXPECT_EQ(read.Left, c.Expected.Left);
        EXPECT_EQ(read.Top, c.Expected.Top);
        EXPECT_EQ(read.Width, c.Expected.Width);
        EXPECT_EQ(read.Height, c.Expected.Height);
        EXPECT_EQ(read.State, c.Expected.State);
    }
    const TWindowPlacement missing = ReadWindowPlacement(Q(dir / "none.INI"));
    EXPECT_EQ(missing.Left, 20);
    EXPECT_EQ(missing.Width, 0); // the window's own size
    EXPECT_FALSE(missing.HasPosition);
}

TEST(WindowPlacement, FitOnScreenKeepsEveryControlReachable)
{
    // Screens in the window's own pixels: 1366 x 768 at 125 % and 150 % (less a 48 px task bar),
    // 1280 x 1024 at 150 %; the window's smallest size as the layouts give it.
    const QSize minimum(758, 334);
    const QMargins frame(0, 30, 0, 0); // a title bar of 30, no borders
    struct TCase
    {
        const char* Name;
        QRect Wanted;
        QRect Available;
        QRect Expected;
    };
    const TCase cases[] = {
        {"fits: unchanged", {100, 80, 866, 499}, {0, 0, 1366, 720}, {100, 80, 866, 499}},
        {"1366x768 at 125%: moved up", {20, 200, 866, 499}, {0, 0, 1093, 576}, {20, 77, 866, 499}},
        {"1366x768 at 150%: shrunk", {20, 52, 866, 499}, {0, 0, 911, 480}, {20, 30, 866, 450}},
        {"1280x1024 at 150%: narrower", {300, 52, 1200, 499}, {0, 0, 853, 683}, {0, 52, 853, 499}},
        {"off to the left and above",
         {-500, -300, 866, 499},
         {0, 0, 1920, 1080},
         {0, 30, 866, 499}},
        {"second screen", {2000, 100, 866, 499}, {1920, 0, 1280, 1024}, {2000, 100, 866, 499}},
        {"smaller than the smallest: the smallest",
         {0, 30, 900, 600},
         {0, 0, 640, 300},
         {0, 30, 758, 334}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FitOnScreen(c.Wanted, c.Available, minimum, frame), c.Expected);
    }
    // Borders count too.
    EXPECT_EQ(FitOnScreen({0, 30, 866, 499}, {0, 0, 1920, 1080}, minimum, {4, 30, 4, 4}),
              QRect(4, 30, 866, 499));
}

TEST(WindowPlacement, WritingKeepsTheKeysSpelling)
{
    TTempDir dir;
    const auto ini = dir / "t.INI";
    WriteBytes(ini, "[window]\nleft=1\nTOP=2\n");
    TWindowPlacement placement;
    placement.Left = 30;
    placement.Top = 40;
    ASSERT_TRUE(WriteWindowPlacement(Q(ini), placement, true));
    const std::string written = ReadBytes(ini);
    EXPECT_EQ(written.find("[Window]"), std::string::npos) << written;
    EXPECT_NE(written.find("left=30"), std::string::npos) << written;
    EXPECT_NE(written.find("TOP=40"), std::string::npos) << written;
    EXPECT_NE(written.find("State=0"), std::string::npos) << written;
    const TWindowPlacement read = ReadWindowPlacement(Q(ini));
    EXPECT_EQ(read.Left, 30);
    EXPECT_EQ(read.Top, 40);
}

// The settings go beside the executable only in a writable portable layout; an installed
// program keeps them in the user's configuration folder, named after the executable.
TEST(WindowPlacement, TheIniIsBesideAPortableProgramOnlyElseInTheUsersFolder)
{
    TTempDir dir;
    const auto catalogue = [&](const std::filesystem::path& define) {
        std::filesystem::create_directories(define);
        WriteBytes(define / "データ項目.txt", "");
    };
    const auto portable = dir / "portable";
    catalogue(portable / "Define");
    const auto installed = dir / "usr-like";
    std::filesystem::create_directories(installed / "bin");
    catalogue(installed / "share" / "tolvane" / "Define");
    const auto both = dir / "both";
    catalogue(both / "bin" / "Define");
    catalogue(both / "share" / "tolvane" / "Define");
    const auto bare = dir / "bare";
    std::filesystem::create_directories(bare);

    const QString config = Q(dir / "config");
    struct TCase
    {
        const char* Name;
        std::filesystem::path Exe;
        bool Writable;
        QString Primary;
        QString Fallback;
    };
    const TCase cases[] = {
        {"portable, writable", portable / "tolvane", true, Q(portable / "tolvane.INI"),
         config + QStringLiteral("/tolvane/tolvane.INI")},
        {"portable, renamed", portable / "tolvane-test", true, Q(portable / "tolvane-test.INI"),
         config + QStringLiteral("/tolvane/tolvane-test.INI")},
        {"portable, read-only", portable / "tolvane", false,
         config + QStringLiteral("/tolvane/tolvane.INI"), QString()},
        {"installed", installed / "bin" / "tolvane", true,
         config + QStringLiteral("/tolvane/tolvane.INI"), QString()},
        {"installed, with a Define beside", both / "bin" / "tolvane", true,
         config + QStringLiteral("/tolvane/tolvane.INI"), QString()},
        {"no Define anywhere", bare / "tolvane", true,
         config + QStringLiteral("/tolvane/tolvane.INI"), QString()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TSettingsLocation location = SettingsLocationFor(c.Exe, config, c.Writable);
        EXPECT_EQ(location.Primary, c.Primary);
        EXPECT_EQ(location.Fallback, c.Fallback);
    }

    // The test program itself has no Define folder beside it.
    const TSettingsLocation own = DefaultSettingsLocation();
    EXPECT_TRUE(own.Primary.endsWith(QStringLiteral("/tolvane/app_tests.INI")))
        << own.Primary.toStdString();
    EXPECT_TRUE(own.Fallback.isEmpty());
}

using TPlacementFrm = TWindowTest;

// An installed program's first start: its folder in the user's configuration does not exist yet.
TEST_F(TPlacementFrm, InstalledFirstCloseCreatesTheUsersFolder)
{
    Options.Settings = {Q(Dir / "home" / ".config" / "tolvane" / "tolvane.INI"), QString()};
    OpenForm();
    Form->move(70, 90);
    ASSERT_TRUE(Form->close());
    EXPECT_EQ(Form->SavedSettingsFile(), Options.Settings.Primary);
    Form.reset();
    OpenForm();
    EXPECT_EQ(Form->pos(), QPoint(70, 90));
}

TEST_F(TPlacementFrm, FirstStartOpensAtTheDefaultsAndCloseSaves)
{
    OpenForm();
    EXPECT_EQ(Form->pos(), QPoint(20, 20));
    EXPECT_EQ(Form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), Qt::WindowNoState);
    const QSize design = Form->size();
    Form->move(120, 80);
    ASSERT_TRUE(Form->close());
    EXPECT_EQ(Form->SavedSettingsFile(), Options.Settings.Primary);
    const TWindowPlacement saved = ReadWindowPlacement(Options.Settings.Primary);
    EXPECT_EQ(saved.Left, Form->geometry().left());
    EXPECT_EQ(saved.Top, Form->geometry().top());
    EXPECT_EQ(saved.Width, Form->geometry().width());
    EXPECT_EQ(saved.Height, Form->geometry().height());
    EXPECT_EQ(saved.State, 0);

    // The next start takes the stored size, never below the smallest.
    WriteBytes(Dir / "tolvane.INI", "[Window]\nLeft=0x50\nTop=60\nWidth=1000\nHeight=200\n");
    Form.reset();
    OpenForm();
    EXPECT_EQ(Form->geometry().topLeft(), QPoint(80, 60));
    EXPECT_EQ(Form->size(), QSize(1000, Form->minimumSize().height()));
    EXPECT_LT(Form->minimumSize().width(), design.width());
    EXPECT_LT(Form->minimumSize().height(), design.height());
}

TEST_F(TPlacementFrm, RestartAfterRestartTheWindowStaysWhereItWasLeft)
{
    // The test screens draw frames: a window saved by its frame and placed by its inside
    // would creep by the frame's size on every start.
    OpenForm();
    Form->setGeometry(QRect(200, 150, 1000, 600));
    const QRect left = Form->geometry();
    for (int start = 0; start < 3; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(Form->close());
        Form.reset();
        OpenForm();
        EXPECT_EQ(Form->geometry(), left);
    }
    EXPECT_NE(Form->frameGeometry(), Form->geometry()); // the frames are there
}

TEST_F(TPlacementFrm, FoldersItemAndChoicesAreRemembered)
{
    OpenForm();
    const auto src = Dir / "src";
    const auto out = Dir / "out";
    std::filesystem::create_directories(src);
    std::filesystem::create_directories(out);
    WriteBytes(src / "m1.txt", CrLf({"P001"})); // fits 点データ and 別の点: the choice stays
    SelectItem(2);
    Ui.FileAnswers = {Q(src / "m1.txt"), Q(out / "m1.mif"), Q(Dir / "list.txt")};
    Form->actSrcBrowseExecute();
    Form->actDstBrowseExecute();
    Find<QComboBox>("cboCoordSys")->setCurrentIndex(2);
    Form->actAddToBatchExecute();
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(out / "all.mif"));
    ASSERT_TRUE(Form->S1Click());
    ASSERT_TRUE(Form->close());

    Form.reset();
    OpenForm();
    auto* tree = Find<QTreeWidget>("tvwDataKind");
    ASSERT_EQ(tree->selectedItems().size(), 1);
    EXPECT_EQ(tree->selectedItems().at(0)->text(0), QStringLiteral("別の点"));
    EXPECT_EQ(Find<QComboBox>("cboCoordSys")->currentIndex(), 2);
    EXPECT_TRUE(Find<QCheckBox>("chkCombine")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("edtConbineFile")->text(), Q(out / "all.mif"));
    EXPECT_EQ(Form->OpenDialog1().Dir, Q(src));
    EXPECT_EQ(Form->SaveDialog1().Dir, Q(out));
    EXPECT_EQ(Form->OpenDialog2().Dir, Q(Dir.Path()));
    EXPECT_EQ(Form->RecentBatchLists(), QStringList{Q(Dir / "list.txt")});
    EXPECT_TRUE(Form->BatchList().Entries.empty()); // the list itself lives in its file
    EXPECT_FALSE(Form->BatchListModified());

    // The recent lists: newest first, each once, at most eight; a vanished one is forgotten.
    for (int i = 0; i < 9; ++i) {
        const auto file = Dir / ("l" + std::to_string(i) + ".txt");
        WriteBytes(file, CrLf({"tolvane", "200", "0", ""}));
        ASSERT_TRUE(Form->OpenBatchFile(Q(file)));
    }
    ASSERT_TRUE(Form->OpenBatchFile(Q(Dir / "l3.txt")));
    QStringList recent = Form->RecentBatchLists();
    ASSERT_EQ(recent.size(), 8);
    EXPECT_EQ(recent.at(0), Q(Dir / "l3.txt"));
    EXPECT_EQ(recent.at(1), Q(Dir / "l8.txt"));
    EXPECT_EQ(recent.count(Q(Dir / "l3.txt")), 1);
    auto* menu = Form->findChild<QMenu*>(QStringLiteral("mnuRecent"));
    ASSERT_EQ(menu->actions().size(), 8);
    EXPECT_TRUE(menu->actions().at(1)->text().startsWith(QStringLiteral("&2 ")));
    std::filesystem::remove(Dir / "l8.txt");
    menu->actions().at(1)->trigger();
    EXPECT_EQ(Form->RecentBatchLists().size(), 7);
    EXPECT_EQ(Ui.Messages.back().Kind, QStringLiteral("error"));
    menu->actions().at(1)->trigger(); // now l7.txt
    EXPECT_EQ(Form->RecentBatchLists().at(0), Q(Dir / "l7.txt"));

    // An item whose catalogue line has changed is not restored.
    ASSERT_TRUE(Form->close());
    WriteBytes(Define / "データ項目.txt",
               CrLf({Sjis("点データ,TP,*.txt,prm.txt,col.txt,0,,0,,分類"),
                     Sjis("定義なし,TP,*.dat,nothere.txt,col.txt,0,,0,,分類"),
                     Sjis("名前が違う,TP,m*.txt,prm.txt,col.txt,0,,0,,分類")}));
    Form.reset();
    OpenForm();
    tree = Find<QTreeWidget>("tvwDataKind");
    EXPECT_TRUE(tree->selectedItems().isEmpty());
}

TEST_F(TPlacementFrm, MaximizedKeepsTheBoundsAndReopensMaximized)
{
    WriteBytes(Dir / "tolvane.INI", "[Window]\nLeft=11\nTop=12\nWidth=13\nHeight=14\nState=0\n");
    OpenForm();
    Form->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(Form->close());
    const TWindowPlacement saved = ReadWindowPlacement(Options.Settings.Primary);
    EXPECT_EQ(saved.Left, 11);
    EXPECT_EQ(saved.Top, 12);
    EXPECT_EQ(saved.Width, 13);
    EXPECT_EQ(saved.Height, 14);
    EXPECT_EQ(saved.State, 1);
    Form.reset();
    OpenForm();
    EXPECT_TRUE(Form->windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(TPlacementFrm, UnknownStateOpensNormal)
{
    WriteBytes(Dir / "tolvane.INI", "[Window]\nState=7\n");
    OpenForm();
    EXPECT_FALSE(Form->windowState().testFlag(Qt::WindowMaximized));
    EXPECT_FALSE(Form->windowState().testFlag(Qt::WindowMinimized));
}

TEST_F(TPlacementFrm, UnwritableFolderFallsBackAndCloseStillWorks)
{
    // A "folder" that is a file cannot take the INI, whoever runs the test.
    WriteBytes(Dir / "bin", "not a folder");
    Options.Settings.Primary = Q(Dir / "bin" / "tolvane.INI");
    OpenForm();
    Form->move(33, 44);
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Form->SavedSettingsFile(), Options.Settings.Fallback);
    EXPECT_EQ(ReadWindowPlacement(Options.Settings.Fallback).Left, Form->geometry().left());

    // The next start reads where the last one wrote.
    Form.reset();
    OpenForm();
    EXPECT_EQ(Form->pos(), QPoint(33, 44));

    // Nowhere to write at all: the window closes all the same.
    WriteBytes(Dir / "cfg", "not a folder either");
    Options.Settings.Fallback = Q(Dir / "cfg" / "tolvane.INI");
    Form.reset();
    OpenForm();
    EXPECT_TRUE(Form->close());
    EXPECT_TRUE(Form->SavedSettingsFile().isEmpty());
}

} // namespace
