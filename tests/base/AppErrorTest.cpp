// Errors with their place, and the path helpers.
#include "base/AppError.h"

#include <gtest/gtest.h>

#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "driver/Catalogue.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

static_assert(kDefineFolder.Marker == tolvane::driver::kCatalogueFileName);

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
    EXPECT_EQ(ChangeFileExt(std::filesystem::path("/t/出力.mif"), ".csv"),
              std::filesystem::path("/t/出力.csv"));
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
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir) / "base_tests"));
}

// The Define and help folders: the command line, then the environment, then the installed
// share/tolvane, then beside the executable; a folder the user named is never passed over.
TEST(FindDataFolder, EachPlaceWinsOverTheNext)
{
    for (const TDataFolder& folder : {kDefineFolder, kHelpFolder}) {
        SCOPED_TRACE(std::string(folder.Name));
        TTempDir root;
        const auto make = [&](const std::filesystem::path& dir) {
            std::filesystem::create_directories(dir);
            if (!folder.Marker.empty()) {
                WriteBytes(dir / std::filesystem::path(folder.Marker), "");
            }
            return dir;
        };
        const auto given = make(root / "given");
        const auto env = make(root / "env");
        const auto installed = make(root / "share" / "tolvane" / folder.Name);
        const auto portable = make(root / "bin" / folder.Name);
        const auto search = [&](std::optional<std::filesystem::path> g,
                                std::optional<std::string> e) {
            return FindDataFolder(folder, {std::move(g), std::move(e), root / "bin"});
        };
        EXPECT_EQ(search(given, env.string()), given);
        EXPECT_EQ(search(std::nullopt, env.string()), env);
        EXPECT_EQ(search(std::nullopt, ""), installed); // an empty variable is no variable
        EXPECT_EQ(search(std::nullopt, std::nullopt), installed);
        std::filesystem::remove_all(installed);
        EXPECT_EQ(search(std::nullopt, std::nullopt), portable);

        // Named by the user but missing: an error naming it, not the folder beside the program.
        try {
            search(std::nullopt, (root / "nowhere").string());
            ADD_FAILURE() << "a missing folder named by the environment was passed over";
        } catch (const TFileError& e) {
            EXPECT_NE(std::string(e.what()).find((root / "nowhere").string() + " (環境変数 " +
                                                 std::string(folder.Variable) + ")"),
                      std::string::npos)
                << e.what();
            EXPECT_EQ(std::string(e.what()).find(portable.string()), std::string::npos);
        }
        EXPECT_THROW(search(root / "nowhere", env.string()), TFileError);

        // None found: every place tried is named, and how to name another.
        std::filesystem::remove_all(portable);
        try {
            search(std::nullopt, std::nullopt);
            ADD_FAILURE() << "no error without a folder";
        } catch (const TFileError& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(installed.string() + " (インストール先)"), std::string::npos)
                << text;
            EXPECT_NE(text.find(portable.string() + " (実行ファイルの隣)"), std::string::npos)
                << text;
            EXPECT_NE(text.find(std::string(folder.Variable)), std::string::npos) << text;
        }
    }
}

// A Define folder without its catalogue (an empty leftover) does not count.
TEST(FindDataFolder, ADefineFolderNeedsItsCatalogue)
{
    TTempDir root;
    std::filesystem::create_directories(root / "share" / "tolvane" / "Define");
    std::filesystem::create_directories(root / "bin" / "Define");
    WriteBytes(root / "bin" / "Define" / "データ項目.txt", "");
    EXPECT_EQ(FindDataFolder(kDefineFolder, {std::nullopt, std::nullopt, root / "bin"}),
              root / "bin" / "Define");
    EXPECT_TRUE(IsPortableLayout(root / "bin"));
    WriteBytes(root / "share" / "tolvane" / "Define" / "データ項目.txt", "");
    EXPECT_FALSE(IsPortableLayout(root / "bin"));
}
