// The tab-separated mesh converter: regions, rows and the CSV that replaces an older one only
// when the whole source has been converted.
#include "ksj/TabMeshConv.h"

#include <gtest/gtest.h>

#include "MeshTestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::ksj::ConvertM3NS;
using tolvane::test::CountOf;
using tolvane::test::CrLf;
using tolvane::test::ReadBytes;
using tolvane::test::Sjis;
using tolvane::test::TMeshJob;
using tolvane::test::TMeshRun;
using tolvane::test::WriteBytes;

namespace {

class TabMeshConv : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Job.SetColumns({"MESH,schar,1,8"});
        WriteBytes(Job.Define() / "S04_AC.txt",
                   CrLf({Sjis("\"メッシュ\",\"名称\",\"値\""), "\"MESH\",\"NAME\",\"VALUE\""}));
    }

    // Names in the job folder other than the files every run has: temporary files left behind.
    std::vector<std::string> StrayFiles() const
    {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(Job.Dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (name != "Define" && name != "source.txt" && name != "out.mif" &&
                name != "out.mid" && name != "out.csv") {
                out.push_back(name);
            }
        }
        return out;
    }

    TMeshJob Job;
};

} // namespace

TEST_F(TabMeshConv, RecordsBecomeRegionsRowsAndQuotedCsvLines)
{
    const TMeshRun run = Job.Run(
        &ConvertM3NS, CrLf({Sjis("H\tヘッダ"), "53392745\tABC\t12", Sjis("53390000\t東京\t7")}));
    ASSERT_FALSE(run.Failed) << run.Error;
    // Bytes 5 and 6 are the second-level code (27), bytes 7 and 8 the third-level code (45).
    EXPECT_EQ(run.Mif.substr(0, 41), "Region 1\r\n  5\r\n139.93750000 35.53333333\r\n");
    EXPECT_EQ(CountOf(run.Mif, "Region 1"), 2U);
    EXPECT_EQ(run.Mid, CrLf({"53392745", "53390000"}));
    EXPECT_EQ(ReadBytes(Job.CsvFile()),
              CrLf({Sjis("\"メッシュ\",\"名称\",\"値\""), "\"MESH\",\"NAME\",\"VALUE\"",
                    "\"53392745\",\"ABC\",\"12\"", Sjis("\"53390000\",\"東京\",\"7\"")}));
    EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(TabMeshConv, CsvFieldsAreQuotedWithInnerQuotesDoubled)
{
    const TMeshRun run =
        Job.Run(&ConvertM3NS, CrLf({"53392745", "53392745\ta\"b\t\"\"\t", "53392745 x,y"}));
    ASSERT_FALSE(run.Failed) << run.Error;
    const std::string csv = ReadBytes(Job.CsvFile());
    EXPECT_EQ(
        csv.substr(csv.find("\"53392745\"\r\n")),
        CrLf({"\"53392745\"", "\"53392745\",\"a\"\"b\",\"\"\"\"\"\",\"\"", "\"53392745 x,y\""}));
    // The row is the first 8 bytes as they stand.
    EXPECT_EQ(run.Mid, CrLf({"53392745", "53392745", "53392745"}));
}

TEST_F(TabMeshConv, FailureKeepsAnOlderCsvAndLeavesNoTemporaryFile)
{
    const std::string older = "older CSV\r\nkept as it was";
    struct TCase
    {
        const char* Name;
        std::vector<std::string> Lines;
        const char* Error;
        std::size_t Regions;
    };
    const TCase cases[] = {
        {"empty line", {"53392745\ta", "", "53392745\tb"}, "'' は浮動小数点数ではありません", 1},
        {"letters", {"H", "53392745", "5339AB45\tx"}, "'A' は浮動小数点数ではありません", 1},
        {"short line", {"5339274"}, "'' は浮動小数点数ではありません", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBytes(Job.CsvFile(), older);
        const TMeshRun run = Job.Run(&ConvertM3NS, CrLf(c.Lines));
        EXPECT_TRUE(run.Failed);
        EXPECT_EQ(run.Error, c.Error);
        EXPECT_EQ(ReadBytes(Job.CsvFile()), older);
        EXPECT_EQ(CountOf(run.Mif, "Region 1"), c.Regions);
        EXPECT_EQ(CountOf(run.Mid, "\r\n"), c.Regions);
        EXPECT_TRUE(StrayFiles().empty());
    }

    // Without S04_AC.txt nothing is written at all.
    std::filesystem::remove(Job.Define() / "S04_AC.txt");
    const TMeshRun run = Job.Run(&ConvertM3NS, CrLf({"53392745"}));
    EXPECT_TRUE(run.Failed);
    EXPECT_NE(run.Error.find("S04_AC.txt"), std::string::npos) << run.Error;
    EXPECT_EQ(run.LineNo, 0);
    EXPECT_EQ(run.Mif, "");
    EXPECT_EQ(ReadBytes(Job.CsvFile()), older);
    EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(TabMeshConv, SuccessReplacesAnOlderCsv)
{
    WriteBytes(Job.CsvFile(), "older CSV, much longer than the new one\r\n\r\n\r\n\r\n\r\n\r\n");
    const TMeshRun run = Job.Run(&ConvertM3NS, CrLf({"53392745\t1"}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(ReadBytes(Job.CsvFile()),
              CrLf({Sjis("\"メッシュ\",\"名称\",\"値\""), "\"MESH\",\"NAME\",\"VALUE\"",
                    "\"53392745\",\"1\""}));
    EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(TabMeshConv, CsvThatCannotBeReplacedFailsWithoutLeftovers)
{
    std::filesystem::create_directory(Job.CsvFile());
    WriteBytes(Job.CsvFile() / "inside", "x");
    const TMeshRun run = Job.Run(&ConvertM3NS, CrLf({"53392745\t1"}));
    EXPECT_TRUE(run.Failed);
    EXPECT_NE(run.Error.find("out.csv"), std::string::npos) << run.Error;
    EXPECT_TRUE(std::filesystem::is_directory(Job.CsvFile()));
    EXPECT_TRUE(StrayFiles().empty());
}
