// Shift-JIS (code page 932) to UTF-8 and back, with Windows semantics.
#include "base/uniCodePage.h"

#include <gtest/gtest.h>

#include "base/AppError.h"

using namespace tolvane::base;

TEST(CodePage, MatchesWindowsCodePage932)
{
    EXPECT_EQ(SjisToUtf8("\\"), "\\");                 // no yen sign
    EXPECT_EQ(SjisToUtf8("\x81\x60"), "\xEF\xBD\x9E"); // U+FF5E fullwidth tilde
    EXPECT_EQ(SjisToUtf8("\x87\x40"), "①");            // NEC row 13
    EXPECT_EQ(SjisToUtf8("\xFA\x40"), "ⅰ");            // IBM extension
    EXPECT_EQ(SjisToUtf8("\x95\x5C\x8E\xA6"), "表示");
    EXPECT_EQ(SjisToUtf8("\xB1\xB2"), "ｱｲ"); // half-width katakana
    EXPECT_EQ(SjisToUtf8("\x1A\x1C\x7F"), "\x1A\x1C\x7F");
    EXPECT_EQ(Utf8ToSjis("表示"), "\x95\x5C\x8E\xA6");
    EXPECT_EQ(Utf8ToSjis("～"), "\x81\x60");
    EXPECT_EQ(Utf8ToSjis("データ項目.txt"), "\x83\x66\x81\x5B\x83\x5E\x8D\x80\x96\xDA.txt");
}

TEST(CodePage, InvalidInputIsReplacedOrRefused)
{
    EXPECT_EQ(SjisToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(SjisToUtf8("\x81\x20x"), "\xEF\xBF\xBD x");
    EXPECT_FALSE(TrySjisToUtf8("a\x81").has_value());
    EXPECT_EQ(TrySjisToUtf8("abc").value(), "abc");
    EXPECT_EQ(Utf8ToSjis("a😀b"), "a?b");
    EXPECT_FALSE(TryUtf8ToSjis("😀").has_value());
}

TEST(CodePage, PathsConvertAtTheFileSystemBoundary)
{
    EXPECT_EQ(SjisToPath("\x83\x66\x81\x5B\x83\x5E.txt").string(), "データ.txt");
    EXPECT_EQ(PathToSjis(std::filesystem::path(u8"/tmp/東京/a b.mif")),
              "/tmp/\x93\x8C\x8B\x9E/a b.mif");
    EXPECT_THROW(SjisToPath("bad\x81"), TDataError);
}
