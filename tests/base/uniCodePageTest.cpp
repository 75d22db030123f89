// Shift-JIS (code page 932) to UTF-8 and back, with Windows semantics.
#include "base/uniCodePage.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "support/TestSupport.h"

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

namespace {

std::string Hex(unsigned value, int digits)
{
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%0*X", digits, value);
    return text.data();
}

// The table line of one code: "<code> U+XXXX <the code U+XXXX encodes to>", or "<code> -"
// when the code is no character; the character goes into `characters`.
std::string TableLine(const std::string& code, std::set<char16_t>& characters)
{
    std::string line;
    for (const char byte : code) {
        line += Hex(static_cast<unsigned char>(byte), 2);
    }
    const std::optional<std::string> utf8 = TrySjisToUtf8(code);
    if (!utf8) {
        return line + " -";
    }
    for (const char16_t unit : Utf8ToUtf16(*utf8)) {
        line += " U+" + Hex(unit, 4);
        characters.insert(unit);
    }
    const std::optional<std::string> back = TryUtf8ToSjis(*utf8);
    line += " ";
    if (!back) {
        return line + "-";
    }
    for (const char byte : *back) {
        line += Hex(static_cast<unsigned char>(byte), 2);
    }
    return line;
}

} // namespace

// Every one- and two-byte code, decoded and encoded back, gives on this system what
// tests/data/cp932.txt records (written by the Linux build through iconv; the Windows build
// converts through the system's own tables and must agree line by line). Every other character
// of the BMP is refused. TOLVANE_WRITE_CP932_TABLE=<file> writes the table instead.
TEST(CodePage, EveryCodeBothWaysAsTheTableSays)
{
    std::vector<std::string> lines;
    std::set<char16_t> characters;
    for (unsigned first = 0; first < 0x100; ++first) {
        lines.push_back(TableLine(std::string(1, static_cast<char>(first)), characters));
        if ((first < 0x81 || first > 0x9F) && (first < 0xE0 || first > 0xFC)) {
            continue; // no lead byte
        }
        for (unsigned second = 0x40; second <= 0xFC; ++second) {
            if (second != 0x7F) {
                lines.push_back(
                    TableLine({static_cast<char>(first), static_cast<char>(second)}, characters));
            }
        }
    }
    if (const char* out = std::getenv("TOLVANE_WRITE_CP932_TABLE")) {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\n";
        }
        tolvane::test::WriteBytes(out, text);
        GTEST_SKIP() << "table written to " << out;
    }
    const std::string expected =
        tolvane::test::ReadBytes(tolvane::test::TestDataDir() / "cp932.txt");
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), std::ssize(lines));
    std::istringstream table(expected);
    std::string want;
    int differences = 0;
    for (const std::string& line : lines) {
        std::getline(table, want);
        if (line != want && ++differences <= 20) {
            ADD_FAILURE() << "table: " << want << "\nhere:  " << line;
        }
    }
    EXPECT_EQ(differences, 0);

    // A character that no code decodes to has no code.
    int encoded = 0;
    for (unsigned c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const bool has =
            TryUtf8ToSjis(Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(c)))).has_value();
        encoded += has ? 1 : 0;
        if (has != characters.contains(static_cast<char16_t>(c))) {
            ADD_FAILURE() << "U+" << Hex(c, 4) << (has ? " has a code" : " has none");
        }
    }
    EXPECT_EQ(encoded, std::ssize(characters));
}
