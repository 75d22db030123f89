// Definition files: the column list, parameters, column values and their errors.
#include "driver/ItemDefs.h"

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::shapes::TColType;
using tolvane::test::CrLf;
using tolvane::test::Sjis;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

TDefLines Defs(std::vector<std::string> lines, std::string fileName = "col.txt")
{
    return TDefLines{std::move(fileName), std::move(lines)};
}

} // namespace

TEST(BuildColumns, TypeWordsAndWidths)
{
    const auto columns = BuildColumns(
        Defs({"NAME,SCHAR,1,10", "CODE,Integer,11,5", "V,float,1,1", "D,Date", "L,LOGICAL",
              "X,varchar,1,2", "", "\"Q\",\" float \",1,1", Sjis("名前,char,1,1"), "N"}));
    ASSERT_EQ(columns.size(), 10U);
    const std::vector<std::tuple<std::string, TColType, int>> expected{
        {"NAME", TColType::Char, 20},        {"CODE", TColType::Integer, 100},
        {"V", TColType::Float, 100},         {"D", TColType::Date, 100},
        {"L", TColType::Logical, 100},       {"X", TColType::Char, 100},
        {"", TColType::Char, 100},           {"Q", TColType::Float, 100},
        {Sjis("名前"), TColType::Char, 100}, {"N", TColType::Char, 100}};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(columns[i].Name, std::get<0>(expected[i]));
        EXPECT_EQ(columns[i].ColType, std::get<1>(expected[i]));
        EXPECT_EQ(columns[i].Width, std::get<2>(expected[i]));
    }
    EXPECT_TRUE(BuildColumns(Defs({})).empty());
}

TEST(ReadDefInteger, ParameterLinesAreStrictIntegers)
{
    const TDefLines params = Defs({"title", "5", "13", "6", "5 "}, "prm.txt");
    EXPECT_EQ(ReadDefInteger(params, 1), 5);
    EXPECT_EQ(ReadDefInteger(params, 2), 13);
    EXPECT_EQ(ReadDefInteger(params, 3), 6);
    try {
        ReadDefInteger(params, 4);
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'5 ' は整数ではありません");
        EXPECT_EQ(e.FileName(), "prm.txt");
        EXPECT_EQ(e.LineNo(), 5);
    }
    EXPECT_THROW(ReadDefInteger(params, 9), TDataError);
}

TEST(ColumnValue, TrimmedByteSlices)
{
    const TDefLines defs = Defs({"A,char,3,4", "B,char,10,5", "C,char,6,9", "D,char,x,1"});
    const std::string record = "M  ab  xyz";
    EXPECT_EQ(ColumnValue(record, defs, 0), "ab");
    EXPECT_EQ(ColumnValue(record, defs, 1), "z");
    EXPECT_EQ(ColumnValue("short", defs, 1), "");
    EXPECT_EQ(ColumnValue(record, defs, 2), "xyz");
    EXPECT_THROW(ColumnValue(record, defs, 3), TDataError);
}

TEST(LoadItemDefinitions, FilesOfTheDefineFolder)
{
    TTempDir dir;
    WriteBytes(dir / "パラメータ.txt", CrLf({"title", "6", "0", "1"}));
    WriteBytes(dir / "col.txt", "A,char,1,2\r\n\r\nB,char,3,4");
    TDefLines params;
    TDefLines columns;
    LoadItemDefinitions(dir.Path(), Sjis("パラメータ.txt"), "col.txt", params, columns);
    EXPECT_EQ(params.Lines, (std::vector<std::string>{"title", "6", "0", "1"}));
    EXPECT_EQ(params.FileName, (dir / "パラメータ.txt").string());
    EXPECT_EQ(columns.Lines, (std::vector<std::string>{"A,char,1,2", "", "B,char,3,4"}));

    // An empty name names the folder itself, which is no file.
    EXPECT_THROW(LoadItemDefinitions(dir.Path(), "", "col.txt", params, columns), TFileError);
    try {
        LoadItemDefinitions(dir.Path(), Sjis("パラメータ.txt"), "missing.txt", params, columns);
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_NE(e.Text().find("missing.txt"), std::string::npos);
        EXPECT_NE(e.Text().find("は開けません"), std::string::npos);
    }
}
