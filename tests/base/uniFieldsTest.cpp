// The field splitter, byte slices, the integer test and the wide trim.
#include "base/uniFields.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace tolvane::base;
using tolvane::test::Sjis;

namespace {

std::vector<std::string> Split(std::string_view line, char delimiter = ',')
{
    std::vector<std::string> fields;
    SplitFields(line, delimiter, fields);
    return fields;
}

using TFields = std::vector<std::string>;

} // namespace

TEST(GetField, SplittingRules)
{
    struct TCase
    {
        std::string line;
        char delimiter;
        TFields fields;
    };
    const TCase cases[] = {
        {"1,2,3", ',', {"1", "2", "3"}},
        {"", ',', {}},
        {"   \t ", ',', {}},
        {" x , y ", ',', {"x", "y"}},
        {"name with space,z", ',', {"name", "with", "space", "z"}},
        {"\"x, y\",z", ',', {"x, y", "z"}},
        {"\"say \"\"hi\"\"\"", ',', {"say \"hi\""}},
        {"1,2,", ',', {"1", "2", ""}},
        {"1,2, ", ',', {"1", "2"}},
        {",1", ',', {"", "1"}},
        {"1,,3", ',', {"1", "", "3"}},
        {"1, ,3", ',', {"1", "", "3"}},
        {"1 2,3", ',', {"1", "2", "3"}},
        {"\"ab\"cd,e", ',', {"ab", "cd", "e"}},
        {"\"abc", ',', {"abc"}},
        {"\"\",x", ',', {"", "x"}},
        {"a\"b,c", ',', {"a\"b", "c"}},
        {"1\t\t2", '\t', {"1", "2"}},
        {"\"a b\"\t\"c\"\t", '\t', {"a b", "c"}},
        {"\"\"\t\"x\"", '\t', {"", "x"}},
        {std::string("ab\0cd,e", 7), ',', {"ab"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Split(c.line, c.delimiter), c.fields);
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(GetField(c.line, static_cast<std::int64_t>(i + 1), c.delimiter), c.fields[i]);
        }
        EXPECT_EQ(GetField(c.line, static_cast<std::int64_t>(c.fields.size() + 1), c.delimiter),
                  "");
        EXPECT_EQ(GetField(c.line, 0, c.delimiter), "");
        EXPECT_EQ(GetField(c.line, -3, c.delimiter), "");
    }
}

TEST(GetField, DoubleByteCharactersAreKeptWhole)
{
    // "表" is 0x95 0x5C: its trail byte is a backslash, and full-width text needs no quotes.
    const std::string line = Sjis("表示　名,ソ,ー");
    EXPECT_EQ(GetField(line, 1, ','), Sjis("表示　名"));
    EXPECT_EQ(GetField(line, 2, ','), Sjis("ソ"));
    EXPECT_EQ(GetField(line, 3, ','), Sjis("ー"));
}

TEST(SubStr, ClippingAndTrimming)
{
    EXPECT_EQ(SubStr("abcdef", 0, 3, false), "abc");
    EXPECT_EQ(SubStr("abcdef", -5, 3, false), "abc");
    EXPECT_EQ(SubStr("abcdef", 5, 10, false), "ef");
    EXPECT_EQ(SubStr("abcdef", 7, 1, false), "");
    EXPECT_EQ(SubStr("abcdef", 6, 1, false), "f");
    EXPECT_EQ(SubStr("abcdef", 2, -1, false), "");
    EXPECT_EQ(SubStr("abcdef", 2, 0, false), "");
    EXPECT_EQ(SubStr("", 1, 3, false), "");
    EXPECT_EQ(SubStr("  12  ", 1, 6, true), "12");
    EXPECT_EQ(SubStr("\t\x01 x\x1f ", 1, 10, true), "x");
    EXPECT_EQ(SubStr("      ", 1, 6, true), "");
    // A full-width space is no blank here.
    EXPECT_EQ(SubStr(Sjis("　a　"), 1, 10, true), Sjis("　a　"));
}

TEST(IsInteger, SignedDigitRunsOnly)
{
    EXPECT_TRUE(IsInteger("0"));
    EXPECT_TRUE(IsInteger("+007"));
    EXPECT_TRUE(IsInteger("-12"));
    EXPECT_FALSE(IsInteger(""));
    EXPECT_FALSE(IsInteger("-"));
    EXPECT_FALSE(IsInteger("+"));
    EXPECT_FALSE(IsInteger("1.0"));
    EXPECT_FALSE(IsInteger(" 1"));
    EXPECT_FALSE(IsInteger("1 "));
    EXPECT_FALSE(IsInteger("1e3"));
    EXPECT_FALSE(IsInteger("*"));
    EXPECT_FALSE(IsInteger("$1F"));
}

TEST(TrimWide, TrimsHalfAndFullWidthSpaces)
{
    EXPECT_EQ(TrimWide(Sjis("　abc　")), "abc");
    EXPECT_EQ(TrimWide(Sjis(" 　 　 ")), "");
    EXPECT_EQ(TrimWide(Sjis("　")), "");
    EXPECT_EQ(TrimWide(""), "");
    EXPECT_EQ(TrimWide(Sjis("\t 東京　都 \t")), Sjis("東京　都"));
    // A tab that comes to an end only after a full-width space is removed stays.
    EXPECT_EQ(TrimWide(Sjis("　\tabc")), "\tabc");
    // 0x82 0x40 is no space, and 0x81 as the trail byte of a character is not the lead of one.
    EXPECT_EQ(TrimWide("\x82\x40"), "\x82\x40");
    EXPECT_EQ(TrimWide("\x88\x81\x40"), "\x88\x81\x40");
    EXPECT_EQ(TrimWide("\x88\x81\x81\x40"), "\x88\x81");
    // A lone lead byte at the end is kept as it is.
    EXPECT_EQ(TrimWide("ab\x81"), "ab\x81");
    // A lead byte before a byte that cannot trail it stands alone: the blank after it goes.
    EXPECT_EQ(TrimWide("ab\x9e \x81\x40"), "ab\x9e");
    EXPECT_EQ(TrimWide("\x81\x40 \x9e\x09x"), "\x9e\x09x");
}
