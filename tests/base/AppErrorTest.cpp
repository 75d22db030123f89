// Errors with their place, and the path helpers.
#include "base/AppError.h"

#include <gtest/gtest.h>

#include "base/uniMessages.h"
#include "base/uniPaths.h"

using namespace tolvane::base;

TEST(TAppError, PlaceIsSetOnceByTheLayerNearestTheCause)
{
    TDataError error("'x' は整数ではありません");
    EXPECT_STREQ(error.what(), "'x' は整数ではありません");
    EXPECT_EQ(error.Describe(), "'x' は整数ではありません");
    error.SetPlace("Define/col.txt", 3);
    error.SetPlace("source.txt", 120); // too late: the definition file is the place
    EXPECT_EQ(error.FileName(), "Define/col.txt");
    EXPECT_EQ(error.LineNo(), 3);
    EXPECT_STREQ(error.what(), "Define/col.txt:3: 'x' は整数ではありません");
    EXPECT_EQ(error.Describe(), "'x' は整数ではありません\n(Define/col.txt の 3 行目)");

    TAppError noLine("msg");
    noLine.SetPlace("a.txt", 0);
    EXPECT_STREQ(noLine.what(), "a.txt: msg");
    EXPECT_EQ(noLine.Describe(), "msg\n(a.txt)");
}

TEST(FormatMessage, SubstitutesInOrder)
{
    EXPECT_EQ(FormatMessage("ファイル \"%s\". %s は開けません", {"a.txt", "理由"}),
              "ファイル \"a.txt\". 理由 は開けません");
    EXPECT_EQ(FormatMessage("%s and %s", {"one"}), "one and %s");
    EXPECT_EQ(FormatMessage("none", {"x"}), "none");
}

TEST(TMessage, ReadsInTheChosenLanguage)
{
    ASSERT_EQ(MessageLanguage(), TLanguage::Japanese);
    EXPECT_EQ(FormatMessage(kMsgInvalidInteger, {"x"}), "'x' は整数ではありません");
    SetMessageLanguage(TLanguage::English);
    EXPECT_EQ(FormatMessage(kMsgInvalidInteger, {"x"}), "'x' is not an integer");
    EXPECT_EQ(std::string(kMsgConvertSucceeded), "The conversion succeeded.");
    EXPECT_EQ(SystemReason(std::make_error_code(std::errc::no_space_on_device)),
              std::make_error_code(std::errc::no_space_on_device).message());
    SetMessageLanguage(TLanguage::Japanese);
    EXPECT_EQ(std::string_view(kMsgConvertSucceeded), "変換に成功しました。");
    EXPECT_EQ(SystemReason(std::make_error_code(std::errc::no_space_on_device)),
              "ディスクに十分な空き領域がありません");
}

TEST(ChangeFileExt, WorksOnTheLastPathComponent)
{
    EXPECT_EQ(ChangeFileExt(std::string_view("out.mif"), ".mid"), "out.mid");
    EXPECT_EQ(ChangeFileExt(std::string_view("result"), ".mid"), "result.mid");
    EXPECT_EQ(ChangeFileExt(std::string_view("/a.b/result"), ".csv"), "/a.b/result.csv");
    EXPECT_EQ(ChangeFileExt(std::string_view("/a/x.tar.gz"), ".mid"), "/a/x.tar.mid");
    EXPECT_EQ(ChangeFileExt(std::string_view("dir/.hidden"), ".mid"), "dir/.mid");
    EXPECT_EQ(ChangeFileExt(std::filesystem::path(u8"/t/出力.mif"), ".csv"),
              std::filesystem::path(u8"/t/出力.csv"));
}

TEST(ExtractBaseName, DropsFolderAndExtension)
{
    EXPECT_EQ(ExtractBaseName("/usr/bin/tolvane"), "tolvane");
    EXPECT_EQ(ExtractBaseName("/x/Tolvane.exe"), "Tolvane");
    EXPECT_EQ(ExtractBaseName("name"), "name");
    EXPECT_EQ(ExtractFileDir("/usr/bin/tolvane"), "/usr/bin/");
    EXPECT_EQ(ExtractFileDir("tolvane"), "");
}

TEST(GetExeDir, IsTheFolderOfTheRunningProgram)
{
    const std::string dir = GetExeDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), static_cast<char>(std::filesystem::path::preferred_separator));
#ifdef _WIN32
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir) / "base_tests.exe"));
#else
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir) / "base_tests"));
#endif
}
