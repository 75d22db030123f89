// Path helpers: keys that tell files apart in hash tables, plain names, and file masks.
#include "base/uniPaths.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace tolvane::base;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

TEST(TFileKeys, OneKeyPerFileHoweverItIsNamed)
{
    TTempDir dir;
    std::filesystem::create_directory(dir / "sub");
    WriteBytes(dir / "a.txt", "a");
    WriteBytes(dir / "b.txt", "a");
    std::filesystem::create_hard_link(dir / "a.txt", dir / "hard.txt");
    std::filesystem::create_symlink(dir / "a.txt", dir / "soft.txt");
    std::filesystem::create_symlink(dir / "sub", dir / "subLink");
    TFileKeys keys;
    const struct
    {
        std::filesystem::path A;
        std::filesystem::path B;
        bool Same;
    } cases[] = {
        {dir / "a.txt", dir / "sub" / ".." / "a.txt", true},
        {dir / "a.txt", dir / "hard.txt", true},
        {dir / "a.txt", dir / "soft.txt", true},
        {dir / "a.txt", dir / "b.txt", false}, // equal bytes, other file
        // Files that do not exist yet: their folder and their name.
        {dir / "sub" / "new.mif", dir / "subLink" / "new.mif", true},
        {dir / "sub" / "new.mif", dir / "sub" / "new.mid", false},
        {dir / "no" / "x.mif", dir / "no" / "." / "x.mif", true},
        {dir / "no" / "x.mif", dir / "no" / "y.mif", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.A.string() + " / " + c.B.string());
        EXPECT_EQ(keys.KeyOf(c.A) == keys.KeyOf(c.B), c.Same);
        EXPECT_EQ(IsSameFile(c.A, c.B), c.Same);
    }
    TFileKind kind = TFileKind::Missing;
    keys.KeyOf(dir / "sub", &kind);
    EXPECT_EQ(kind, TFileKind::Directory);
    keys.KeyOf("/dev/null", &kind);
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
