// Field names, row splitting, dates and coordinates as GDAL reads our text outputs.
#include "gdal/uniGdalFields.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace tolvane::gdal;
using tolvane::shapes::TSFRow;
using tolvane::test::Sjis;

namespace {

std::vector<std::string> SjisNames(std::initializer_list<std::string_view> names)
{
    std::vector<std::string> result;
    for (const std::string_view name : names) {
        result.push_back(Sjis(name));
    }
    return result;
}

TEST(MakeFieldNames, MifRules)
{
    std::vector<std::string> names =
        SjisNames({"code", "CODE", "Code", "code", "code_1", "名称", "名称", "",
                   "あいうえおかきくけこさしすせそたちつてと", "abcあいうえおかきくけこさしすせそ",
                   "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"});
    for (int i = 0; i < 11; ++i) {
        names.emplace_back("x");
    }
    std::vector<std::string> expected{"code",
                                      "CODE_1",
                                      "Code_2",
                                      "code_3",
                                      "code_1_1",
                                      "名称",
                                      "名称_1",
                                      "field_8",
                                      "あいうえおかきくけこさしすせそ",
                                      "abcあいうえおかきくけこさしすせ",
                                      "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                                      "aaaaaaaaaaaaaaaaaaaaaaaaaaaaa_1",
                                      "x"};
    for (int n = 1; n <= 9; ++n) {
        expected.push_back("x_" + std::to_string(n));
    }
    expected.emplace_back("x10");
    EXPECT_EQ(MakeFieldNames(names, TNameRules::Mif), expected);
}

TEST(MakeFieldNames, TableRulesKeepNamesWhole)
{
    const std::vector<std::string> names =
        SjisNames({"あいうえおかきくけこさしすせそたちつてと", "ID", "id", "", "field_4"});
    EXPECT_EQ(MakeFieldNames(names, TNameRules::Table),
              (std::vector<std::string>{"あいうえおかきくけこさしすせそたちつてと", "ID", "id_1",
                                        "field_4", "field_4_1"}));
    EXPECT_EQ(FreeName("fid", names), "fid");
    EXPECT_EQ(FreeName("FIELD_4", names), "FIELD_4_1");
}

// The read-back tests compare the usual rows with GDAL; these are the cases GDAL cannot read back.
TEST(TRowSplitter, AnUnclosedQuoteRunsOverTheValuesAfterIt)
{
    TSFRow row;
    row.AddRaw("a\"b");
    row.Add("c,d");
    TRowSplitter splitter;
    const std::vector<std::string> expected{"ab,c", "d"};
    const auto mid = splitter.SplitMid(row);
    EXPECT_EQ(std::vector<std::string>(mid.begin(), mid.end()), expected);
    const auto csv = splitter.SplitCsv(row);
    EXPECT_EQ(std::vector<std::string>(csv.begin(), csv.end()), expected);
    row.Clear();
    const auto values = splitter.SplitMid(row);
    EXPECT_EQ(std::vector<std::string>(values.begin(), values.end()), std::vector<std::string>{""});
}

TEST(ReadMidDate, AsGdalsMapInfoReader)
{
    struct TCase
    {
        std::string_view Value;
        bool Valid;
        TMidDate After; // from {2000, 5, 7}
    };
    const TCase cases[] = {
        {"19840101", true, {1984, 1, 1}},
        {"19840231", true, {1984, 2, 31}},   // as read, not checked against the calendar
        {"1984/1/1", true, {1984, 5, 7}},    // month and day stay from the row's last date
        {"1984-1-1", false, {1984, -1, -1}}, // GDAL reads 1984/255/255
        {"00000000", false, {0, 0, 0}},      // GDAL reads 0000/00/00
        {"2001 2 3", true, {2001, 2, 3}},
        {"+2001231", true, {200, 12, 31}},
        {"1984-01-01", false, {2000, 5, 7}}, // not eight bytes: not read
        {" 1984010", false, {1984, 1, 0}},
        {"", false, {2000, 5, 7}},
        {"abcdefgh", true, {2000, 5, 7}}, // nothing read: the row's last date
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Value));
        TMidDate date{2000, 5, 7};
        EXPECT_EQ(ReadMidDate(c.Value, date), c.Valid);
        EXPECT_EQ(date.Year, c.After.Year);
        EXPECT_EQ(date.Month, c.After.Month);
        EXPECT_EQ(date.Day, c.After.Day);
    }
}

} // namespace
