// The attribute values of fixed-width records.
#include "ksj/ColumnSlices.h"

#include <gtest/gtest.h>

#include "base/AppError.h"

using namespace tolvane::base;
using namespace tolvane::ksj;
using tolvane::shapes::TSFRow;

namespace {

TDefLines Defs(std::vector<std::string> lines, std::string fileName = "col.txt")
{
    return TDefLines{std::move(fileName), std::move(lines)};
}

std::vector<std::string> Values(const TSFRow& row)
{
    std::vector<std::string> values;
    for (std::size_t i = 0; i < row.Count(); ++i) {
        values.emplace_back(row.Value(i));
    }
    return values;
}

} // namespace

TEST(TColumnSlices, RowsOfAllColumns)
{
    const TDefLines defs = Defs({"A,char,12,5", "B,char,17,3", "C,char,20,4"});
    TColumnSlices slices(defs);
    TSFRow row;
    slices.AppendRow("M    533945     XYZ1234", row);
    EXPECT_EQ(Values(row), (std::vector<std::string>{"", "XYZ", "1234"}));
    row.Clear();
    slices.AppendRow("", row);
    EXPECT_EQ(Values(row), (std::vector<std::string>{"", "", ""}));

    // A shifted record, after values already in the row.
    row.Clear();
    row.Add("code");
    slices.AppendRow("XM    533945     XYZ1234", row, 1);
    EXPECT_EQ(Values(row), (std::vector<std::string>{"code", "", "XYZ", "1234"}));

    // Values keep delimiters and quotes; the writer decides how to keep them in their column.
    const TDefLines quoted = Defs({"A,char,1,5", "B,char,6,5"});
    TColumnSlices quotedSlices(quoted);
    row.Clear();
    quotedSlices.AppendRow("a,b  \"q\"  ", row);
    EXPECT_EQ(Values(row), (std::vector<std::string>{"a,b", "\"q\""}));

    const TDefLines none = Defs({});
    TColumnSlices noSlices(none);
    row.Clear();
    noSlices.AppendRow("anything", row);
    EXPECT_EQ(row.Count(), 0U);
}

TEST(TColumnSlices, BadLineFailsAtTheFirstRowWithItsPlace)
{
    const TDefLines defs = Defs({"A,char,1,2", "", "C,char,1,2"}, "/d/col.txt");
    TColumnSlices slices(defs);
    TSFRow row;
    try {
        slices.AppendRow("record", row);
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'' は整数ではありません");
        EXPECT_STREQ(e.what(), "/d/col.txt:2: '' は整数ではありません");
    }
}
