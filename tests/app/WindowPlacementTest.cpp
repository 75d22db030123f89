// The settings INI: reading its values, and the window's placement across runs.
#include "app/WindowPlacement.h"

#include <QApplication>
#include <QSettings>

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
         {100, 31, 16, 500, 2}},
        {"other letter case",
         "[WINDOW]\nleft=7\nTOP=8\nwidth=9\nHeight=10\nstate=1\n",
         {7, 8, 9, 10, 1}},
        {"bad values",
         "[Window]\nLeft=abc\nTop=12px\nWidth=\nHeight=1,2\nState=0x\n",
         {20, 20, 700, 500, 0}},
        {"State 7", "[Window]\nLeft=1\nState=7\n", {1, 20, 700, 500, 0}},
        {"State -1", "[Window]\nState=-1\n", {20, 20, 700, 500, 0}},
        {"other section", "[Other]\nLeft=1\n", {20, 20, 700, 500, 0}},
        {"empty", "", {20, 20, 700, 500, 0}},
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
    EXPECT_EQ(missing.Width, 700);
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

TEST(WindowPlacement, TheIniIsNamedAfterTheExecutable)
{
    const TSettingsLocation location = DefaultSettingsLocation();
    const std::string exe = tolvane::base::GetExePath().string();
    const QString expected =
        QString::fromStdString(tolvane::base::GetExeDir() + tolvane::base::ExtractBaseName(exe)) +
        QStringLiteral(".INI");
    EXPECT_EQ(location.Primary, expected);
    EXPECT_TRUE(location.Primary.endsWith(QStringLiteral("/app_tests.INI")));
    EXPECT_TRUE(location.Fallback.endsWith(QStringLiteral("/tolvane/app_tests.INI")));
}

using TPlacementFrm = TWindowTest;

TEST_F(TPlacementFrm, FirstStartOpensAtTheDefaultsAndCloseSaves)
{
    OpenForm();
    EXPECT_EQ(Form->pos(), QPoint(20, 20));
    EXPECT_EQ(Form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), Qt::WindowNoState);
    Form->move(120, 80);
    ASSERT_TRUE(Form->close());
    EXPECT_EQ(Form->SavedSettingsFile(), Options.Settings.Primary);
    const TWindowPlacement saved = ReadWindowPlacement(Options.Settings.Primary);
    EXPECT_EQ(saved.Left, Form->frameGeometry().left());
    EXPECT_EQ(saved.Top, Form->frameGeometry().top());
    EXPECT_EQ(saved.Width, Form->frameGeometry().width());
    EXPECT_EQ(saved.Height, Form->frameGeometry().height());
    EXPECT_EQ(saved.State, 0);

    // The next start comes back there, at the fixed size whatever was stored.
    WriteBytes(Dir / "tolvane.INI", "[Window]\nLeft=0x50\nTop=60\nWidth=300\nHeight=200\n");
    const QSize fixed = Form->size();
    Form.reset();
    OpenForm();
    EXPECT_EQ(Form->pos(), QPoint(80, 60));
    EXPECT_EQ(Form->size(), fixed);
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
    EXPECT_EQ(ReadWindowPlacement(Options.Settings.Fallback).Left, Form->frameGeometry().left());

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
