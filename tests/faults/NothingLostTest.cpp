// Nothing a user has is lost: a job never writes over its source, whichever of its outputs
// would fall on it and however the path is spelt; a failed job leaves only the outputs it
// names, and M3NS's CSV only when it is complete.
#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/uniPaths.h"
#include "base/uniTextFile.h"
#include "faults/FaultsTestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using namespace tolvane::test;

namespace {

struct TOverCase
{
    const char* Item;
    const char* Output; // the extension of the output that falls on the source
};

enum class TSpelling {
    SamePath,
    DotDot,
    SymbolicLink,
    HardLink,
};

class NeverOverSource : public TKsjFixture,
                        public ::testing::WithParamInterface<std::tuple<TOverCase, TSpelling>>
{
};

TEST_P(NeverOverSource, TheJobIsRefusedAndTouchesNothing)
{
    const auto& [c, spelling] = GetParam();
    const auto src = Dir / (std::string("data") + c.Output);
    const std::string original =
        CrLf({MeshRecord(1, 1), PointRecord(1), TabMeshRecord(1), "T  00001abcde", "note"});
    WriteBytes(src, original);
    std::filesystem::create_directory(Dir / "sub");
    // The output path as the job would derive it, pointing at the source.
    std::filesystem::path output;
    switch (spelling) {
    case TSpelling::SamePath:
        output = src;
        break;
    case TSpelling::DotDot:
        output = Dir / "sub" / ".." / src.filename();
        break;
    case TSpelling::SymbolicLink:
        output = Dir / (std::string("link") + c.Output);
        std::filesystem::create_symlink(src, output);
        break;
    case TSpelling::HardLink:
        output = Dir / (std::string("hard") + c.Output);
        std::filesystem::create_hard_link(src, output);
        break;
    }
    const auto before = Names(Dir.Path());
    const auto dst = ChangeFileExt(output, ".mif");
    const int fds = CountOpenFds();
    try {
        Convert(c.Item, src, dst);
        ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
        EXPECT_NE(e.Text().find("変換元のファイルと同じです"), std::string::npos) << e.Text();
    }
    EXPECT_EQ(CountOpenFds(), fds);
    EXPECT_EQ(ReadBytes(src), original);
    EXPECT_EQ(Names(Dir.Path()), before) << "nothing created";
}

INSTANTIATE_TEST_SUITE_P(
    EveryOutput, NeverOverSource,
    ::testing::Combine(::testing::Values(TOverCase{"P", ".mif"}, TOverCase{"P", ".mid"},
                                         TOverCase{"M3", ".mid"}, TOverCase{"M3NS", ".mif"},
                                         TOverCase{"M3NS", ".mid"}, TOverCase{"M3NS", ".csv"},
                                         TOverCase{"M3台帳", ".csv"}, TOverCase{"T", ".csv"},
                                         TOverCase{"L", ".mid"}, TOverCase{"A", ".mif"},
                                         TOverCase{"PCSV", ".mid"}),
                       ::testing::Values(TSpelling::SamePath, TSpelling::DotDot,
                                         TSpelling::SymbolicLink, TSpelling::HardLink)));

using NothingLost = TKsjFixture;

// A ledger-only job never opens its destination: one that names the source leaves it alone.
TEST_F(NothingLost, LedgerOnlyJobLeavesADestinationNamedLikeTheSource)
{
    const auto src = Dir / "data.txt";
    const std::string original = CrLf({"T  00001abcde", "note"});
    WriteBytes(src, original);
    EXPECT_TRUE(Convert("T", src, src));
    EXPECT_EQ(ReadBytes(src), original);
    EXPECT_EQ(CountLines(Dir / "data.csv"), 2);
}

// M3NS fails at a bad record: the MIF and MID keep the records before it, an earlier CSV stays
// as it was, and no temporary file is left.
TEST_F(NothingLost, FailedTabMeshJobKeepsTheEarlierCsvAndLeavesNoTemporaryFile)
{
    const auto src = Dir / "source.txt";
    WriteBytes(src, CrLf({TabMeshRecord(1), TabMeshRecord(2), "5339xx11\tbad", TabMeshRecord(3)}));
    WriteBytes(Dir / "out.csv", "earlier\r\n");
    const int fds = CountOpenFds();
    EXPECT_FALSE(Convert("M3NS", src, Dir / "out.mif"));
    EXPECT_EQ(CountOpenFds(), fds);
    ASSERT_EQ(Observer.Failures.size(), 1U);
    EXPECT_TRUE(Observer.Failures[0].starts_with(src.string() + ":3: ")) << Observer.Failures[0];
    EXPECT_EQ(CountLines(Dir / "out.mid"), 2);
    EXPECT_EQ(ReadBytes(Dir / "out.csv"), "earlier\r\n");
    EXPECT_EQ(Names(Dir.Path()),
              (std::set<std::string>{"Define", "source.txt", "out.mif", "out.mid", "out.csv"}));

    // Run again without the bad record: the CSV is replaced whole.
    WriteBytes(src, CrLf({TabMeshRecord(1), TabMeshRecord(2)}));
    EXPECT_TRUE(Convert("M3NS", src, Dir / "out.mif"));
    EXPECT_EQ(CountLines(Dir / "out.csv"), 3); // the header of S04_AC.txt and two records
    EXPECT_EQ(Names(Dir.Path()),
              (std::set<std::string>{"Define", "source.txt", "out.mif", "out.mid", "out.csv"}));
}

// A failed job of every family leaves its named outputs and nothing else.
TEST_F(NothingLost, FailedJobsLeaveOnlyTheirOutputs)
{
    const struct
    {
        const char* Item;
        std::vector<std::string> Lines;
        std::set<std::string> Outputs;
    } cases[] = {
        {"P", {PointRecord(1), "P  533923       x 1280196"}, {"out.mif", "out.mid"}},
        {"M3台帳", {MeshRecord(1, 1), "M    5339xx"}, {"out.mif", "out.mid"}},
        {"M3_10", {"M   " + std::string(200, 'x')}, {"out.mif", "out.mid"}},
        {"L", {ChainHeader(1, 1, "x")}, {"out.mif", "out.mid"}},
        {"PCSV", {"h", "a,1"}, {"out.mif", "out.mid"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Item);
        const auto work = Dir / c.Item;
        std::filesystem::create_directory(work);
        WriteBytes(work / "source.txt", CrLf(c.Lines));
        Observer.Failures.clear();
        EXPECT_FALSE(Convert(c.Item, work / "source.txt", work / "out.mif"));
        EXPECT_EQ(Observer.Failures.size(), 1U);
        auto expected = c.Outputs;
        expected.insert("source.txt");
        EXPECT_EQ(Names(work), expected);
    }
}

} // namespace
