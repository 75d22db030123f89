// Nothing a user has is lost: a job never writes over its source, whichever of its outputs
// would fall on it and however the path is spelt; a failed job leaves only the outputs it
// names, and M3NS's CSV only when it is complete.
#include <sys/stat.h>

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

// Asks the job to stop as soon as it is under way (the progress bar shown).
class TCancelWhenRunning : public TRecordingObserver
{
public:
    void ShowProgress(bool visible) override
    {
        TRecordingObserver::ShowProgress(visible);
        m_running = m_running || visible;
    }
    bool CancelRequested() override { return m_running; }

private:
    bool m_running = false;
};

struct TCancelCase
{
    const char* Item;
    std::string Line; // repeated to make the source
};

class CancelledJob : public TKsjFixture, public ::testing::WithParamInterface<TCancelCase>
{
};

// Whichever pass is running (a converter that pumps events, one that does not, the ledger
// pass), a cancelled job leaves the earlier outputs whole and nothing else behind.
TEST_P(CancelledJob, LeavesTheEarlierFilesWholeAndNoTemporaryFile)
{
    const TCancelCase& c = GetParam();
    std::vector<std::string> lines{"H"};
    lines.insert(lines.end(), 12000, c.Line);
    WriteBytes(Dir / "source.txt", CrLf(lines));
    for (const char* ext : {".mif", ".mid", ".csv"}) {
        WriteBytes(Dir / (std::string("out") + ext), std::string("earlier") + ext);
    }
    const auto before = Names(Dir.Path());
    TCancelWhenRunning observer;
    const int fds = CountOpenFds();
    EXPECT_THROW(
        ConvertRecorded(Catalogue, Item(c.Item), Dir / "source.txt", Dir / "out.mif", 0, observer),
        TJobCancelled);
    EXPECT_EQ(CountOpenFds(), fds);
    EXPECT_EQ(Names(Dir.Path()), before);
    for (const char* ext : {".mif", ".mid", ".csv"}) {
        EXPECT_EQ(ReadBytes(Dir / (std::string("out") + ext)), std::string("earlier") + ext);
    }
    EXPECT_EQ(observer.Visibility.back(), false);
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfPass, CancelledJob,
                         ::testing::Values(TCancelCase{"P", PointRecord(1)},
                                           TCancelCase{"M3NS", TabMeshRecord(1)},
                                           TCancelCase{"PCSV", "a,502200,127800"},
                                           TCancelCase{"T", "T  00001abcde"}),
                         [](const auto& info) { return std::string(info.param.Item); });

// A source that is not a file is refused before anything is read or written: a pipe or a
// device would never end, and "-" is standard input.
TEST_F(NothingLost, SourcesThatAreNoFilesAreRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo((Dir / "pipe.txt").c_str(), 0600), 0);
    std::filesystem::create_directory(Dir / "folder.txt");
    const struct
    {
        std::filesystem::path Source;
        std::string Kind;
    } cases[] = {
        {Dir / "pipe.txt", "パイプ"},
        {"/dev/zero", "デバイス"},
        {Dir / "folder.txt", "フォルダー"},
        {"-", "標準入力"},
    };
    const auto before = Names(Dir.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Source);
        try {
            Convert("P", c.Source, Dir / "out.mif");
            ADD_FAILURE() << "no error";
        } catch (const TFileError& e) {
            EXPECT_EQ(e.Text(), "変換元 \"" + c.Source.string() + "\" は" + c.Kind +
                                    "で、ファイルではありません。変換元にはファイルを指定して"
                                    "ください");
        }
        EXPECT_EQ(Names(Dir.Path()), before);
    }
}

} // namespace
