// The ledger pass on its own.
#include "driver/Ledger.h"

#include <fstream>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::test::CrLf;
using tolvane::test::ReadBytes;
using tolvane::test::Sjis;
using tolvane::test::TRecordingObserver;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

class Ledger : public ::testing::Test
{
protected:
    // Runs the pass over `source` with the ledger definition `defs` and returns the CSV.
    std::string Run(const std::vector<std::string>& source, const std::vector<std::string>& defs,
                    std::string_view key, std::int32_t ledgerLines)
    {
        WriteBytes(Dir / "src.txt", CrLf(source));
        WriteBytes(Dir / "ldg.txt", CrLf(defs));
        TSjisLineReader src(Dir / "src.txt");
        src.ReadLineView(); // the pass starts again from the first line whatever was read
        TProgress progress(Observer);
        WriteLedgerCsv(src, {key, ledgerLines, "ldg.txt"}, Dir.Path(), Dir / "out.csv", progress);
        Steps = progress.Position();
        return ReadBytes(Dir / "out.csv");
    }

    TTempDir Dir;
    TRecordingObserver Observer;
    std::int64_t Steps = 0;
};

} // namespace

TEST_F(Ledger, KeyIsTheTrimmedFirstThreeBytes)
{
    const std::string csv =
        Run({"A1 rec1", "A10rec2", " A1rec3", "A1", "B1 rec4"}, {"V,,4,4"}, "A1", 1);
    EXPECT_EQ(csv, CrLf({"\"V\"", "\"rec1\"", "\"rec3\"", "\"\""}));
    EXPECT_EQ(Steps, 5);
    EXPECT_EQ(Observer.Statuses, (std::vector<std::string>{"台帳データを変換しています。"}));
}

TEST_F(Ledger, EmptyKeyMatchesEmptyAndBlankLines)
{
    EXPECT_EQ(Run({"", "   x", "Tab", "\t\t\ty"}, {"V,,4,1"}, "", 1),
              CrLf({"\"V\"", "\"\"", "\"x\"", "\"y\""}));
}

TEST_F(Ledger, MultiLineRecords)
{
    // n from bytes 14 to 16: " 3" and "003" consume two further lines; blank or text gives a
    // record of one line.
    const std::vector<std::string> source{"LT 0000000001  3first",
                                          "second",
                                          "third",
                                          "LT 0000000002003a",
                                          "b",
                                          "c",
                                          "LT 0000000003   alone",
                                          "LT 0000000004 x alone2",
                                          "after"};
    const std::string csv = Run(source, {"ID,,4,10", "REST,,17,30"}, "LT", 2);
    EXPECT_EQ(csv, CrLf({"\"ID\",\"REST\"", "\"0000000001\",\"firstsecondthird\"",
                         "\"0000000002\",\"abc\"", "\"0000000003\",\"alone\"",
                         "\"0000000004\",\"alone2\""}));
    EXPECT_EQ(Steps, 9);
    // With LedgerLines 1 the count is not read.
    EXPECT_EQ(Run({"LT 0000000001  3first", "second"}, {"REST,,17,30"}, "LT", 1),
              CrLf({"\"REST\"", "\"first\""}));
}

TEST_F(Ledger, FurtherLineColumns)
{
    const std::vector<std::string> source{"T  " + Sjis("山田　太郎") + "      ", "  raw note ",
                                          "T  x", "end"};
    const std::string csv =
        Run(source, {"NAME,char,4,20", "NOTE,char,1,*", "AFTER,char,1,3"}, "T", 1);
    EXPECT_EQ(csv, CrLf({"\"NAME\",\"NOTE\",\"AFTER\"",
                         "\"" + Sjis("山田　太郎") +
                             "\",  raw note ,\"r\"", // later columns slice the new line
                         "\"x\",end,\"end\""}));
}

TEST_F(Ledger, ReadingPastTheEndGivesEmptyLines)
{
    EXPECT_EQ(
        Run({"LT 0000000001  5first", "second"}, {"ID,,4,10", "REST,,17,30", "N,,1,*"}, "LT", 2),
        CrLf({"\"ID\",\"REST\",\"N\"", "\"0000000001\",\"firstsecond\","}));
}

TEST_F(Ledger, WideSpacesAndQuotes)
{
    EXPECT_EQ(Run({"T  " + Sjis("　　　"), "T  say \"hi\""}, {"V,,4,10", "\"Q\"\"\",,1,1"}, "T", 1),
              CrLf({"\"V\",\"Q\"\"\"", "\"\",\"T\"", "\"say \"\"hi\"\"\",\"T\""}));
}

TEST_F(Ledger, NoRecordsGivesTheHeaderOnly)
{
    EXPECT_EQ(Run({"H header", "P point"}, {"A,,1,1", "B,,2,1"}, "T", 1), CrLf({"\"A\",\"B\""}));
}

TEST_F(Ledger, BadStartFailsAtTheFirstRecordKeepingTheHeader)
{
    try {
        Run({"H", "T  1", "T  2"}, {"A,,x,2"}, "T", 1);
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'x' は整数ではありません");
        EXPECT_EQ(e.FileName(), (Dir / "ldg.txt").string());
        EXPECT_EQ(e.LineNo(), 1);
    }
    EXPECT_EQ(ReadBytes(Dir / "out.csv"), CrLf({"\"A\""}));
}

TEST_F(Ledger, MissingDefinitionCreatesNoCsv)
{
    WriteBytes(Dir / "src.txt", "T  1\r\n");
    TSjisLineReader src(Dir / "src.txt");
    TProgress progress(Observer);
    EXPECT_THROW(WriteLedgerCsv(src, {"T", 1, "none.txt"}, Dir.Path(), Dir / "out.csv", progress),
                 TFileError);
    EXPECT_FALSE(std::filesystem::exists(Dir / "out.csv"));
}

// A record of many long lines is capped like one line: 3 lines of 30 MB (sparse, mostly NUL)
// fail at the line that crosses 64 MiB, and the CSV keeps its header.
TEST_F(Ledger, MultiLineRecordIsCappedLikeOneLine)
{
    const auto path = Dir / "src.txt";
    WriteBytes(path, "LT 0000000001  3");
    std::filesystem::resize_file(path, 90'000'003);
    for (const std::uintmax_t at : {30'000'000U, 60'000'001U, 90'000'002U}) {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(at));
        file.put('\n');
    }
    WriteBytes(Dir / "ldg.txt", CrLf({"ID,,4,10"}));
    TSjisLineReader src(path);
    TProgress progress(Observer);
    try {
        WriteLedgerCsv(src, {"LT", 2, "ldg.txt"}, Dir.Path(), Dir / "out.csv", progress);
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.what(), path.string() + ":3: 1 行が " + std::to_string(kMaxLineLength) +
                                " バイトを超えています");
    }
    EXPECT_EQ(ReadBytes(Dir / "out.csv"), CrLf({"\"ID\""}));
}
