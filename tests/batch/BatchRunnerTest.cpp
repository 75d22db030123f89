// Running a batch and merging its outputs, with a test converter.
#include "batch/BatchRunner.h"

#include <set>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "mif/uniMifUtils.h"
#include "support/TestConverter.h"
#include "support/TestSupport.h"

using namespace tolvane::batch;
using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::test::CountOpenFds;
using tolvane::test::CrLf;
using tolvane::test::MakeSymlink;
using tolvane::test::NullDevice;
using tolvane::test::ReadBytes;
using tolvane::test::Sjis;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

constexpr tolvane::ksj::TConverterEntry kTestTable[] = {
    {"TP", &tolvane::test::ConvertTestPoints<1000>, false, false},
    {"TC", &tolvane::test::ConvertTestPoints<1000>, false, true}};

class TRecordingBatchObserver : public TBatchObserver
{
public:
    void SetStatusText(std::string_view text) override { Statuses.emplace_back(text); }
    void SetProgressMax(std::int64_t) override {}
    void SetProgressPos(std::int64_t) override {}
    void ShowProgress(bool) override {}
    void ProcessEvents() override {}
    void RowSelected(std::size_t row) override
    {
        Selected.push_back(row);
        Cancel = Cancel || row == CancelAtRow;
    }
    bool CancelRequested() override { return Cancel; }
    void RowFinished(std::size_t row, const TBatchEntry& entry) override
    {
        Finished.push_back(row);
        Outcomes.push_back(entry.Status);
    }

    std::vector<std::string> Statuses;
    std::vector<std::size_t> Selected;
    std::vector<std::size_t> Finished;
    std::vector<TEntryStatus> Outcomes;
    /// Asks to stop once this row is selected.
    std::size_t CancelAtRow = static_cast<std::size_t>(-1);
    bool Cancel = false;
};

std::set<std::string> Names(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

const std::string kHeader =
    "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
    "CoordSys Earth Projection 1, 97\r\nColumns 1\r\nCODE Char(20)\r\nData\r\n\r\n";
const std::string kPoint = "Point 139.50000000 35.50000000\r\n";

class BatchRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(Dir / "prm.txt", CrLf({"-", "1", "0", "1"}));
        WriteBytes(Dir / "col.txt", CrLf({"CODE,schar,2,3"}));
        WriteBytes(Dir / "ldg.txt", CrLf({"V,,2,3"}));
        Catalogue =
            TCatalogue(Dir.Path(),
                       {"pts,TP,*,prm.txt,col.txt,0,,0,,A",
                        "led,TP,*,prm.txt,col.txt,1,P00,1,ldg.txt,A", "tab,T,*,,,1,P00,1,ldg.txt,B",
                        "other,TP,*,prm.txt,col.txt,0,,0,,A", "copy,TC,*,prm.txt,col.txt,0,,0,,A"});
        WriteBytes(Dir / "s1.txt", CrLf({"P001", "P002"}));
        WriteBytes(Dir / "s2.txt", CrLf({"P003", "BAD"}));
        WriteBytes(Dir / "s3.txt", CrLf({"P004"}));
    }

    TBatchEntry Entry(std::int64_t item, const std::string& src, const std::string& dst)
    {
        TBatchEntry entry;
        entry.ItemIndex = item;
        entry.SrcFile = (Dir / src).string();
        entry.DstFile = (Dir / dst).string();
        return entry;
    }

    void Run(unsigned jobs = 1) { RunBatch(Catalogue, List, Observer, jobs, kTestTable); }

    TTempDir Dir;
    TCatalogue Catalogue;
    TBatchList List;
    TRecordingBatchObserver Observer;
};

} // namespace

TEST_F(BatchRun, FailedRowIsLeftOutOfTheMerge)
{
    List.Entries = {Entry(0, "s1.txt", "o1.mif"), Entry(0, "s2.txt", "o2.mif"),
                    Entry(0, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = (Dir / "all.mif").string();
    ASSERT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
    Run();
    EXPECT_EQ(Observer.Outcomes,
              (std::vector<TEntryStatus>{TEntryStatus::Converted, TEntryStatus::Failed,
                                         TEntryStatus::Converted}));
    EXPECT_EQ(List.Entries[1].FailReason,
              List.Entries[1].SrcFile + ":2: 'BAD' は整数ではありません");
    // Everything after the first "Data" line of a further file is copied, its empty line too.
    EXPECT_EQ(ReadBytes(Dir / "all.mif"), kHeader + kPoint + kPoint + "\r\n" + kPoint);
    EXPECT_EQ(ReadBytes(Dir / "all.mid"), CrLf({"001", "002", "004"}));
    EXPECT_FALSE(std::filesystem::exists(Dir / "all.csv"));
    // The selection sweeps the list once for the conversions and once per merge.
    EXPECT_EQ(Observer.Selected, (std::vector<std::size_t>{0, 1, 2, 0, 1, 2, 0, 1, 2}));
    const std::vector<std::string> tail(Observer.Statuses.end() - 3, Observer.Statuses.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"MIFファイルを統合しています。",
                                              "MIDファイルを統合しています。", ""}));
}

TEST_F(BatchRun, HeaderComesFromTheFirstMergedRow)
{
    List.Entries = {Entry(0, "s2.txt", "o2.mif"), Entry(0, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = (Dir / "all.mif").string();
    Run();
    EXPECT_EQ(ReadBytes(Dir / "all.mif"), kHeader + kPoint);
}

TEST_F(BatchRun, DataLineInOtherCasesEndsTheHeader)
{
    WriteBytes(Dir / "a.mif", "head a\r\n  data \t\r\nobj a\r\n");
    WriteBytes(Dir / "b.mif", "head b\r\nDaTa\r\nobj b\r\nDATA\r\n");
    List.Entries = {Entry(0, "s1.txt", "a.mif"), Entry(0, "s1.txt", "b.mif")};
    for (auto& entry : List.Entries) {
        entry.Status = TEntryStatus::Converted;
    }
    List.CombineFile = (Dir / "m.mif").string();
    MergeOutputs(Catalogue, List, Observer);
    EXPECT_EQ(ReadBytes(Dir / "m.mif"), "head a\r\n  data \t\r\nobj a\r\nobj b\r\nDATA\r\n");
}

TEST_F(BatchRun, MergeWritesEveryLineWithCrLfWhateverTheFilesHold)
{
    // Runs of CR LF lines are copied whole; any other line end, a lone CR, a Ctrl-Z or a missing
    // last line end is read as the line reader reads it and written with CR LF.
    const std::string clean = "0123456789abcdefghij\r\n";
    WriteBytes(Dir / "a.mif", "head\r\nData\r\n" + clean + clean + "lf only\nlone\rcr\r\n" + clean +
                                  "cr cr\r\r\n" + clean + "no end");
    WriteBytes(Dir / "a.mid", clean + clean + clean + "x\n\n" + clean + "tail\x1A" + clean);
    WriteBytes(Dir / "b.mif", "head\nDATA\n" + clean + clean + clean + "\x1A\r\nafter");
    WriteBytes(Dir / "b.mid", "y\r" + clean + clean);
    List.Entries = {Entry(0, "s1.txt", "a.mif"), Entry(0, "s1.txt", "b.mif")};
    for (auto& entry : List.Entries) {
        entry.Status = TEntryStatus::Converted;
    }
    List.CombineFile = (Dir / "m.mif").string();
    MergeOutputs(Catalogue, List, Observer);
    EXPECT_EQ(ReadBytes(Dir / "m.mif"), "head\r\nData\r\n" + clean + clean +
                                            "lf only\r\nlonecr\r\n" + clean + "cr cr\r\n" + clean +
                                            "no end\r\n" + clean + clean + clean);
    EXPECT_EQ(ReadBytes(Dir / "m.mid"),
              clean + clean + clean + "x\r\n\r\n" + clean + "tail\r\n" + "y" + clean + clean);
}

TEST_F(BatchRun, ParallelRunMergesTheLedgerAsOneJobAtATime)
{
    std::vector<TBatchEntry> entries;
    for (int i = 0; i < 6; ++i) {
        const std::string src = "l" + std::to_string(i) + ".txt";
        WriteBytes(Dir / src, CrLf({"P" + std::to_string(100 + i), "P2" + std::to_string(i)}));
        entries.push_back(Entry(1, src, "l" + std::to_string(i) + ".mif"));
    }
    List.Entries = entries;
    List.Combine = true;
    List.CombineFile = (Dir / "seq.mif").string();
    Run(1);
    List.Entries = entries;
    List.CombineFile = (Dir / "par.mif").string();
    Run(2);
    for (const char* ext : {".mif", ".mid", ".csv"}) {
        SCOPED_TRACE(ext);
        const std::string merged = ReadBytes(Dir / ("par" + std::string(ext)));
        EXPECT_FALSE(merged.empty());
        EXPECT_EQ(merged, ReadBytes(Dir / ("seq" + std::string(ext))));
    }
    EXPECT_EQ(Observer.Statuses.back(), "");
}

TEST_F(BatchRun, ParallelMergeIntoMissingFolderRaisesWithFilesClosed)
{
    List.Entries = {Entry(1, "s1.txt", "o1.mif"), Entry(1, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = (Dir / "no" / "all.mif").string();
    const int fds = CountOpenFds();
    EXPECT_THROW(Run(2), TFileError);
    EXPECT_EQ(CountOpenFds(), fds);
    EXPECT_EQ(Observer.Statuses.back(), "");
}

TEST_F(BatchRun, LedgerCsvIsMergedWithOneHeader)
{
    WriteBytes(Dir / "s1.txt", CrLf({"P001", "P002"}));
    List.Entries = {Entry(1, "s1.txt", "o1.mif"), Entry(1, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = (Dir / "all.mif").string();
    Run();
    EXPECT_EQ(ReadBytes(Dir / "all.csv"), CrLf({"\"V\"", "\"001\"", "\"002\"", "\"004\""}));
}

TEST_F(BatchRun, LedgerOnlyRowsMergeOnlyTheirCsv)
{
    List.Entries = {Entry(2, "s1.txt", "t1.csv"), Entry(2, "s3.txt", "t3.csv")};
    List.Combine = true;
    List.CombineFile = (Dir / "all.csv").string();
    ASSERT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
    Run();
    EXPECT_EQ(ReadBytes(Dir / "all.csv"), CrLf({"\"V\"", "\"001\"", "\"002\"", "\"004\""}));
    EXPECT_FALSE(std::filesystem::exists(Dir / "all.mid"));
}

TEST_F(BatchRun, EveryRowFailingGivesEmptyMergedFiles)
{
    List.Entries = {Entry(0, "s2.txt", "o1.mif"), Entry(0, "s2.txt", "o2.mif")};
    List.Combine = true;
    List.CombineFile = (Dir / "all.mif").string();
    Run();
    EXPECT_EQ(ReadBytes(Dir / "all.mif"), "");
    EXPECT_EQ(ReadBytes(Dir / "all.mid"), "");
}

TEST_F(BatchRun, MergeOnlyWhenCombinable)
{
    // Different data items: no merge and no check of the merged-file name, whatever the flag.
    List.Entries = {Entry(0, "s1.txt", "o1.mif"), Entry(3, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = "   ";
    EXPECT_FALSE(MergeRequested(List));
    EXPECT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
    Run();
    EXPECT_EQ(Observer.Selected.size(), 2U);
    // A merge asked for and skipped says why.
    EXPECT_EQ(MergeSkipReason(List), "統合しませんでした。行のデータ項目が同じではありません。");
    List.Entries[1].ItemIndex = 0;
    List.Entries[1].CoordSysIndex = 2;
    EXPECT_EQ(MergeSkipReason(List), "統合しませんでした。行の座標系が同じではありません。");
    List.Entries.pop_back();
    EXPECT_EQ(MergeSkipReason(List), "統合しませんでした。統合するには 2 行以上が必要です。");
    List.Combine = false;
    EXPECT_EQ(MergeSkipReason(List), std::nullopt);
}

TEST_F(BatchRun, ChecksBeforeRunning)
{
    EXPECT_EQ(CheckBatchRun(Catalogue, List), "対象のバッチリストがありません。");
    List.Entries = {Entry(0, "s1.txt", "o1.mif"), Entry(0, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = " \t";
    EXPECT_EQ(CheckBatchRun(Catalogue, List), "統合後のファイル名が不正です。");
    List.CombineFile = (Dir / "all.mid").string(); // its own MID would be the same file
    EXPECT_EQ(CheckBatchRun(Catalogue, List), "統合後のファイル名が不正です。");
    // A source, an output, or a merged MIF whose MID would be a row's MID.
    for (const char* input : {"s1.txt", "o1.mif", "o3.txt", "./s3.txt"}) {
        SCOPED_TRACE(input);
        List.CombineFile = (Dir / input).string();
        EXPECT_EQ(CheckBatchRun(Catalogue, List), "統合後のファイル名が変換元または変換後のファイル"
                                                  "と同じです。別のファイル名を指定してください。");
    }
    List.CombineFile = (Dir / "fresh.mif").string();
    EXPECT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
    List.Combine = false;
    EXPECT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
}

TEST_F(BatchRun, OutputOnAnotherRowsSourceIsRefused)
{
    WriteBytes(Dir / "x.mid", CrLf({"P005"}));
    WriteBytes(Dir / "y.csv", CrLf({"P006"}));
    std::filesystem::create_hard_link(Dir / "s3.txt", Dir / "hard.mif");
    const bool link = MakeSymlink(Dir / "s3.txt", Dir / "soft.mif");
    const std::string before = ReadBytes(Dir / "s3.txt");
    struct TCase
    {
        TBatchEntry Writer;
        std::string Source; // of the other row
    };
    std::vector<TCase> cases = {
        {Entry(0, "s1.txt", "s3.txt"), "s3.txt"},   // the MIF
        {Entry(0, "s1.txt", "x.mif"), "x.mid"},     // the MID
        {Entry(1, "s1.txt", "y.mif"), "y.csv"},     // the ledger CSV
        {Entry(2, "s1.txt", "y.txt"), "y.csv"},     // a ledger-only row's CSV
        {Entry(4, "s1.txt", "y.mif"), "y.csv"},     // a converter's CSV copy
        {Entry(0, "s1.txt", "hard.mif"), "s3.txt"}, // a hard link to the source
        {Entry(0, "s1.txt", "./sub/../s3.txt"), "s3.txt"},
    };
    if (link) {
        cases.push_back({Entry(0, "s1.txt", "soft.mif"), "s3.txt"}); // a symbolic link to it
    }
    std::filesystem::create_directory(Dir / "sub");
    for (const TCase& c : cases) {
        for (const bool writerFirst : {true, false}) {
            SCOPED_TRACE(c.Writer.DstFile + (writerFirst ? " first" : " second"));
            const TBatchEntry other = Entry(c.Writer.ItemIndex, c.Source, "o.mif");
            List.Entries =
                writerFirst ? std::vector{c.Writer, other} : std::vector{other, c.Writer};
            const auto warning = CheckBatchRun(Catalogue, List, kTestTable);
            ASSERT_TRUE(warning.has_value());
            EXPECT_NE(warning->find("は他の行の変換元のファイルと同じです"), std::string::npos);
        }
    }
    // A ledger-only row never opens its destination: that may name another row's source.
    List.Entries = {Entry(2, "s1.txt", "s3.txt"), Entry(2, "s3.txt", "t.csv")};
    EXPECT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
    // Rows that read one source and write elsewhere are fine.
    List.Entries = {Entry(0, "s1.txt", "a.mif"), Entry(0, "s1.txt", "b.mif")};
    EXPECT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
    EXPECT_EQ(ReadBytes(Dir / "s3.txt"), before);
}

TEST_F(BatchRun, DeletedSourceStopsTheRunAtItsRow)
{
    List.Entries = {Entry(0, "s1.txt", "o1.mif"), Entry(0, "gone.txt", "o2.mif"),
                    Entry(0, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = (Dir / "all.mif").string();
    const int fds = CountOpenFds();
    EXPECT_THROW(Run(), TFileError);
    EXPECT_EQ(CountOpenFds(), fds);
    EXPECT_EQ(List.Entries[0].Status, TEntryStatus::Converted);
    EXPECT_EQ(List.Entries[1].Status, TEntryStatus::None);
    EXPECT_EQ(List.Entries[2].Status, TEntryStatus::None);
    EXPECT_FALSE(std::filesystem::exists(Dir / "o3.mif"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "all.mif"));
    EXPECT_EQ(Observer.Statuses.back(), "");
}

TEST_F(BatchRun, MergeIntoMissingFolderRaisesWithFilesClosed)
{
    List.Entries = {Entry(0, "s1.txt", "o1.mif"), Entry(0, "s3.txt", "o3.mif")};
    List.Combine = true;
    List.CombineFile = (Dir / "no" / "all.mif").string();
    const int fds = CountOpenFds();
    EXPECT_THROW(Run(), TFileError);
    EXPECT_EQ(CountOpenFds(), fds);
    EXPECT_EQ(Observer.Statuses.back(), "");
}

TEST_F(BatchRun, ParallelRunGivesTheSameOutputs)
{
    std::vector<TBatchEntry> entries;
    for (int i = 0; i < 12; ++i) {
        const std::string src = "p" + std::to_string(i) + ".txt";
        WriteBytes(Dir / src, i % 5 == 3 ? CrLf({"P" + std::to_string(100 + i), "BAD"})
                                         : CrLf({"P" + std::to_string(100 + i), "P999"}));
        entries.push_back(Entry(0, src, "o" + std::to_string(i) + ".mif"));
    }
    List.Entries = entries;
    List.Combine = true;
    List.CombineFile = (Dir / "seq.mif").string();
    Run(1);
    const std::string seqMif = ReadBytes(Dir / "seq.mif");
    const std::string seqMid = ReadBytes(Dir / "seq.mid");
    const std::vector<TEntryStatus> seqOutcomes = Observer.Outcomes;

    Observer = TRecordingBatchObserver();
    List.Entries = entries;
    List.CombineFile = (Dir / "par.mif").string();
    Run(4);
    EXPECT_EQ(ReadBytes(Dir / "par.mif"), seqMif);
    EXPECT_EQ(ReadBytes(Dir / "par.mid"), seqMid);
    EXPECT_EQ(Observer.Outcomes, seqOutcomes);
    std::vector<std::size_t> inOrder(12);
    for (std::size_t i = 0; i < 12; ++i) {
        inOrder[i] = i;
    }
    EXPECT_EQ(Observer.Finished, inOrder);
    EXPECT_NE(List.Entries[3].FailReason.find("'BAD'"), std::string::npos);
}

// A row that cannot start stops the run there, with its reason; no later row is converted or
// written, however many jobs run at once and however far they got.
TEST_F(BatchRun, RowThatCannotStartStopsTheRunWhateverTheJobs)
{
    std::vector<TBatchEntry> entries = {Entry(0, "s1.txt", "o0.mif"),
                                        Entry(0, "s3.txt", "no/o1.mif")};
    for (int i = 2; i < 8; ++i) {
        entries.push_back(Entry(0, "s1.txt", "r" + std::to_string(i) + ".mif"));
    }
    WriteBytes(Dir / "r2.mif", "earlier");
    for (const unsigned jobs : {1U, 2U, 4U}) {
        SCOPED_TRACE(jobs);
        std::filesystem::remove(Dir / "o0.mif");
        std::filesystem::remove(Dir / "o0.mid");
        const auto before = Names(Dir.Path());
        Observer = TRecordingBatchObserver();
        List.Entries = entries;
        List.Combine = true;
        List.CombineFile = (Dir / "all.mif").string();
        EXPECT_THROW(Run(jobs), TFileError);
        EXPECT_EQ(Observer.Finished, std::vector<std::size_t>{0});
        EXPECT_EQ(List.Entries[0].Status, TEntryStatus::Converted);
        EXPECT_EQ(List.Entries[1].FailReason,
                  "ファイル \"" + (Dir / "no/o1.mif").string() +
                      "\" は開けません。指定されたファイルが見つかりません。");
        for (std::size_t i = 1; i < List.Entries.size(); ++i) {
            EXPECT_EQ(List.Entries[i].Status, TEntryStatus::None) << i;
            EXPECT_EQ(List.Entries[i].FailReason.empty(), i != 1) << i;
        }
        auto expected = before;
        expected.insert({"o0.mif", "o0.mid"});
        EXPECT_EQ(Names(Dir.Path()), expected);
        EXPECT_EQ(ReadBytes(Dir / "r2.mif"), "earlier");
    }
}

// A cancelled run stops in the row that runs: the rows before keep their files, that row and
// the later ones leave the earlier files as they were, and nothing is merged.
TEST_F(BatchRun, CancelStopsTheRunWithoutAFurtherRowOrTheMerge)
{
    for (const unsigned jobs : {1U, 2U}) {
        SCOPED_TRACE(jobs);
        for (const char* name : {"o1.mif", "o1.mid", "o2.mif", "o2.mid", "o3.mif", "all.mif"}) {
            WriteBytes(Dir / name, "earlier");
        }
        const auto before = Names(Dir.Path());
        Observer = TRecordingBatchObserver();
        Observer.CancelAtRow = 1;
        List.Entries = {Entry(0, "s1.txt", "o1.mif"), Entry(0, "s3.txt", "o2.mif"),
                        Entry(0, "s3.txt", "o3.mif")};
        List.Combine = true;
        List.CombineFile = (Dir / "all.mif").string();
        EXPECT_THROW(Run(jobs), TJobCancelled);
        EXPECT_EQ(List.Entries[0].Status, TEntryStatus::Converted);
        EXPECT_EQ(List.Entries[1].Status, TEntryStatus::None);
        EXPECT_EQ(List.Entries[2].Status, TEntryStatus::None);
        EXPECT_TRUE(List.Entries[1].FailReason.empty());
        EXPECT_EQ(ReadBytes(Dir / "o1.mid"), CrLf({"001", "002"}));
        for (const char* name : {"o2.mif", "o2.mid", "o3.mif", "all.mif"}) {
            EXPECT_EQ(ReadBytes(Dir / name), "earlier") << name;
        }
        EXPECT_EQ(Names(Dir.Path()), before);
        EXPECT_EQ(Observer.Statuses.back(), "");
    }
}

// The batch-list file is an input: no row's output and no merged file may replace it.
TEST_F(BatchRun, BatchListFileIsNeverAnOutput)
{
    struct TCase
    {
        const char* ListFile;
        std::vector<TBatchEntry> Entries;
        const char* CombineFile;
    };
    const TCase cases[] = {
        {"list.txt", {Entry(0, "s1.txt", "list.txt")}, ""}, // a row's MIF
        {"list.mid", {Entry(0, "s1.txt", "list.mif")}, ""}, // its MID
        {"list.csv", {Entry(1, "s1.txt", "list.mif")}, ""}, // its ledger CSV
        {"list.txt", {Entry(0, "s1.txt", "a.mif"), Entry(0, "s3.txt", "b.mif")}, "list.txt"},
        {"list.mid", {Entry(0, "s1.txt", "a.mif"), Entry(0, "s3.txt", "b.mif")}, "list.mif"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.ListFile);
        WriteBytes(Dir / c.ListFile, "tolvane");
        List.FileName = Dir / "sub" / ".." / c.ListFile;
        List.Entries = c.Entries;
        List.Combine = *c.CombineFile != 0;
        List.CombineFile = (Dir / c.CombineFile).string();
        std::filesystem::create_directories(Dir / "sub");
        EXPECT_EQ(CheckBatchRun(Catalogue, List),
                  "バッチリストファイル \"" + List.FileName.string() +
                      "\" が変換後のファイルまたは統合後のファイルと同じです。バッチリストを上書き"
                      "しないよう、別のファイル名を指定してください");
        std::filesystem::remove(Dir / c.ListFile);
    }
    List.FileName = Dir / "list.txt";
    List.Entries = {Entry(0, "list.txt", "a.mif")}; // read as a source: fine
    List.Combine = false;
    EXPECT_EQ(CheckBatchRun(Catalogue, List), std::nullopt);
}

// A source that is not a file is refused before any row runs.
TEST_F(BatchRun, SourcesThatAreNoFilesAreRefusedBeforeAnyRow)
{
    std::filesystem::create_directory(Dir / "folder.txt");
    std::vector<std::pair<std::string, std::string>> cases = {
        {NullDevice().string(), "デバイス"},
        {(Dir / "folder.txt").string(), "フォルダー"},
        {"-", "標準入力"}};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((Dir / "pipe.txt").c_str(), 0600), 0);
    cases.emplace_back((Dir / "pipe.txt").string(), "パイプ");
#endif
    for (const auto& [source, kind] : cases) {
        SCOPED_TRACE(source);
        TBatchEntry entry = Entry(0, "s3.txt", "o2.mif");
        entry.SrcFile = source;
        List.Entries = {Entry(0, "s1.txt", "o1.mif"), entry};
        EXPECT_EQ(CheckBatchRun(Catalogue, List),
                  "変換元 \"" + source + "\" は" + kind +
                      "で、ファイルではありません。変換元にはファイルを指定してください");
    }
}
