// Path helpers: keys that tell files apart in hash tables, plain names, file masks, and where
// the programs find their data folders.
#include "base/uniPaths.h"

#include <cctype>

#include <gtest/gtest.h>

#include "base/uniCodePage.h"
#include "driver/Catalogue.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using tolvane::test::MakeSymlink;
using tolvane::test::NullDevice;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// `path` spelt with its name in capitals and, on Windows, with "\\" and "/" swapped.
std::filesystem::path OtherSpelling(const std::filesystem::path& path)
{
    std::string text = PathToUtf8(path.parent_path()) + "/" + PathToUtf8(path.filename());
    for (std::size_t i = FileNameStart(text); i < text.size(); ++i) {
        text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    }
    if (kWindows) {
        for (char& c : text) {
            c = c == '\\' ? '/' : (c == '/' ? '\\' : c);
        }
    }
    return Utf8ToPath(text);
}

} // namespace

TEST(TFileKeys, OneKeyPerFileHoweverItIsNamed)
{
    TTempDir dir;
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_directory(dir / "資料");
    WriteBytes(dir / "a.txt", "a");
    WriteBytes(dir / "b.txt", "a");
    WriteBytes(dir / "資料" / u8"地価.txt", "a");
    std::filesystem::create_hard_link(dir / "a.txt", dir / "hard.txt");
    const bool links =
        MakeSymlink(dir / "a.txt", dir / "soft.txt") && MakeSymlink(dir / "sub", dir / "subLink");
    TFileKeys keys;
    struct TCase
    {
        std::filesystem::path A;
        std::filesystem::path B;
        bool Same;
    };
    std::vector<TCase> cases = {
        {dir / "a.txt", dir / "sub" / ".." / "a.txt", true},
        {dir / "a.txt", dir / "hard.txt", true},
        {dir / "a.txt", dir / "b.txt", false}, // equal bytes, other file
        {dir / "資料" / u8"地価.txt", dir / "資料" / "." / u8"地価.txt", true},
        // Names differing in case, separators swapped: one file where names ignore case.
        {dir / "a.txt", OtherSpelling(dir / "a.txt"), kWindows},
        {dir / "sub" / "new.mif", OtherSpelling(dir / "sub" / "new.mif"), kWindows},
        // Files that do not exist yet: their folder and their name.
        {dir / "sub" / "new.mif", dir / "sub" / "new.mid", false},
        {dir / "no" / "x.mif", dir / "no" / "." / "x.mif", true},
        {dir / "no" / "x.mif", dir / "no" / "y.mif", false},
    };
    if (links) {
        cases.push_back({dir / "a.txt", dir / "soft.txt", true});
        cases.push_back({dir / "sub" / "new.mif", dir / "subLink" / "new.mif", true});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.A.string() + " / " + c.B.string());
        EXPECT_EQ(keys.KeyOf(c.A) == keys.KeyOf(c.B), c.Same);
        EXPECT_EQ(IsSameFile(c.A, c.B), c.Same);
    }
    TFileKind kind = TFileKind::Missing;
    keys.KeyOf(dir / "sub", &kind);
    EXPECT_EQ(kind, TFileKind::Directory);
    keys.KeyOf(NullDevice(), &kind);
    EXPECT_EQ(kind, TFileKind::Device);
}

TEST(IsPlainFileName, OnlyOneComponentInsideTheFolder)
{
    for (const char* plain : {"col.txt", "prm_none.txt", "..txt", "a..b", ""}) {
        EXPECT_TRUE(IsPlainFileName(plain)) << plain;
    }
    for (const char* path :
         {"/etc/passwd", "../col.txt", "..", ".", "sub/col.txt", "..\\col.txt", "C:col.txt"}) {
        EXPECT_FALSE(IsPlainFileName(path)) << path;
    }
}

TEST(MaskCanBegin, DataCodeAgainstTheItemsFileNames)
{
    const struct
    {
        const char* Mask;
        const char* Code;
        bool Fits;
    } cases[] = {
        {"L01-*P*.txt", "L01-08P", true},
        {"L03-18M-*.dat", "L03-18M", true},
        {"A15-57A*.txt", "a15-57a", true},
        {"G06-50M*.txt", "G06-50", true},
        {"L01-*P*.txt", "G06-50M", false},
        {"C08-49T*.txt", "C08-49X", false},
        {"X?1-*.txt", "X01-1", true},
        {"X?1-*.txt", "X02-1", false},
        {"a*.txt;L01-*.txt", "L01-x", true},
        {"", "ANY", true},
        {"*.txt", "ANY", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MaskCanBegin(c.Mask, c.Code), c.Fits) << c.Mask << " " << c.Code;
    }
}

// Where a path's folder ends and its name begins: "/" everywhere; on Windows "\" too, and the
// drive of "C:name" (a name in the current folder of drive C). Elsewhere "\" is part of a name.
TEST(PathSplitting, SeparatorsAndDrives)
{
    struct TSplit
    {
        const char* Dir;   // ExtractFileDir
        const char* Base;  // ExtractBaseName
        const char* AsMid; // ChangeFileExt(".mid")
    };
    const struct
    {
        const char* Path;
        TSplit Posix;
        TSplit Windows;
    } cases[] = {
        {"/data/国土.v2/L01.txt",
         {"/data/国土.v2/", "L01", "/data/国土.v2/L01.mid"},
         {"/data/国土.v2/", "L01", "/data/国土.v2/L01.mid"}},
        {"C:\\data.v2\\file",
         {"", "C:\\data", "C:\\data.mid"},
         {"C:\\data.v2\\", "file", "C:\\data.v2\\file.mid"}},
        {"D:/mixed\\dir.x/out.y\\z",
         {"D:/mixed\\dir.x/", "out", "D:/mixed\\dir.x/out.mid"},
         {"D:/mixed\\dir.x/out.y\\", "z", "D:/mixed\\dir.x/out.y\\z.mid"}},
        {"C:out.mif", {"", "C:out", "C:out.mid"}, {"C:", "out", "C:out.mid"}},
        {"\\\\server\\share\\L03.dat",
         {"", "\\\\server\\share\\L03", "\\\\server\\share\\L03.mid"},
         {"\\\\server\\share\\", "L03", "\\\\server\\share\\L03.mid"}},
        {"name", {"", "name", "name.mid"}, {"", "name", "name.mid"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        const TSplit& expected = kWindows ? c.Windows : c.Posix;
        EXPECT_EQ(ExtractFileDir(c.Path), expected.Dir);
        EXPECT_EQ(ExtractBaseName(c.Path), expected.Base);
        EXPECT_EQ(ChangeFileExt(std::string_view(c.Path), ".mid"), expected.AsMid);
    }
}

static_assert(kDefineFolder.Marker == tolvane::driver::kCatalogueFileName);

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
                WriteBytes(dir / Utf8ToPath(folder.Marker), "");
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
    WriteBytes(root / "bin" / "Define" / u8"データ項目.txt", "");
    EXPECT_EQ(FindDataFolder(kDefineFolder, {std::nullopt, std::nullopt, root / "bin"}),
              root / "bin" / "Define");
    EXPECT_TRUE(IsPortableLayout(root / "bin"));
    WriteBytes(root / "share" / "tolvane" / "Define" / u8"データ項目.txt", "");
    EXPECT_FALSE(IsPortableLayout(root / "bin"));
}

#ifndef _WIN32 // the folders of a POSIX system
TEST(IsSystemFolder, NamesTheSystemFoldersOnly)
{
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/opt/tolvane", "/etc", "/lib"}) {
        EXPECT_TRUE(IsSystemFolder(dir)) << dir;
    }
    for (const char* dir : {"/home/user/tolvane", "/usrdata/tolvane", "/tmp/opt", "/optional"}) {
        EXPECT_FALSE(IsSystemFolder(dir)) << dir;
    }
}
#endif
