// Path helpers: keys that tell files apart in hash tables, plain names, and file masks.
#include "base/uniPaths.h"

#include <cctype>

#include <gtest/gtest.h>

#include "base/uniCodePage.h"
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
