// Running a batch list and merging its outputs.
#include "batch/BatchRunner.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "convert/AppError.h"
#include "convert/ConvertDriver.h"
#include "convert/ExeDir.h"
#include "convert/uniFields.h"
#include "convert/uniMessages.h"
#include "convert/uniNumbers.h"
#include "convert/uniTextFile.h"

namespace tolvane::batch {

using namespace tolvane::convert;

namespace {

// Passes one job's reports on to the batch observer and keeps the reason of a failure.
class TRowObserver : public TJobObserver
{
public:
    explicit TRowObserver(TJobObserver* forward) : m_forward(forward) {}

    void SetStatusText(std::string_view text) override
    {
        if (m_forward != nullptr) {
            m_forward->SetStatusText(text);
        }
    }
    void SetProgressMax(std::int64_t max) override
    {
        if (m_forward != nullptr) {
            m_forward->SetProgressMax(max);
        }
    }
    void SetProgressPos(std::int64_t pos) override
    {
        if (m_forward != nullptr) {
            m_forward->SetProgressPos(pos);
        }
    }
    void ShowProgress(bool visible) override
    {
        if (m_forward != nullptr) {
            m_forward->ShowProgress(visible);
        }
    }
    void ProcessEvents() override
    {
        if (m_forward != nullptr) {
            m_forward->ProcessEvents();
        }
    }
    void JobFailed(const TAppError& error) override
    {
        Reason = error.what();
        if (m_forward != nullptr) {
            m_forward->JobFailed(error);
        }
    }

    std::string Reason;

private:
    TJobObserver* m_forward;
};

void Finish(TBatchEntry& entry, bool ok, std::string reason)
{
    entry.Status = ok ? TEntryStatus::Converted : TEntryStatus::Failed;
    entry.FailReason = ok ? std::string() : std::move(reason);
    if (!ok && entry.FailReason.empty()) {
        entry.FailReason = "変換に失敗しました。";
    }
}

bool ConvertEntry(const TCatalogue& catalogue, TBatchEntry& entry, TRowObserver& observer,
                  std::span<const TConverterEntry> table)
{
    return ConvertDataItem(catalogue, entry.ItemIndex, entry.SrcFile, entry.DstFile,
                           entry.CoordSysIndex, observer, table);
}

// The outputs a job of `entry` may write: every sibling, whatever the item.
std::vector<std::filesystem::path> EntryFiles(const TBatchEntry& entry)
{
    const std::filesystem::path dst(entry.DstFile);
    return {dst, ChangeFileExt(dst, ".mid"), ChangeFileExt(dst, ".csv")};
}

// The outputs a job of `entry` writes as the data item `item`.
std::vector<std::filesystem::path> EntryFiles(const TCatalogueLine& item, const TBatchEntry& entry)
{
    const std::filesystem::path dst(entry.DstFile);
    std::vector<std::filesystem::path> files;
    if (!item.IsLedgerOnly()) {
        files.push_back(dst);
        files.push_back(ChangeFileExt(dst, ".mid"));
    }
    if (item.HasLedger || item.FormatCode == "M3NS") {
        files.push_back(ChangeFileExt(dst, ".csv"));
    }
    return files;
}

// The merged files of a list of `item`: MIF and MID unless ledger-only, the CSV with a ledger.
std::vector<std::filesystem::path> MergedFiles(const TCatalogueLine& item,
                                               const std::string& combineFile)
{
    const std::filesystem::path mif(combineFile);
    std::vector<std::filesystem::path> files;
    if (!item.IsLedgerOnly()) {
        files.push_back(mif);
        files.push_back(ChangeFileExt(mif, ".mid"));
    }
    if (item.HasLedger) {
        files.push_back(ChangeFileExt(mif, ".csv"));
    }
    return files;
}

// The first output of an entry that is another entry's source, as the warning to show. Entries
// whose item is outside the catalogue are left to the driver, which refuses them when they run.
std::optional<std::string> OutputOnOtherSource(const TCatalogue& catalogue,
                                               const std::vector<TBatchEntry>& entries)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].ItemIndex < 0 || entries[i].ItemIndex >= catalogue.Count()) {
            continue;
        }
        const TCatalogueLine item = catalogue.Item(entries[i].ItemIndex);
        for (const auto& file : EntryFiles(item, entries[i])) {
            for (std::size_t j = 0; j < entries.size(); ++j) {
                if (j != i && IsSameFile(file, entries[j].SrcFile)) {
                    return FormatMessage(kMsgOutputIsOtherSource, {file.string()});
                }
            }
        }
    }
    return std::nullopt;
}

bool OutputsShared(const std::vector<TBatchEntry>& entries)
{
    std::vector<std::filesystem::path> seen;
    for (const TBatchEntry& entry : entries) {
        for (const auto& file : EntryFiles(entry)) {
            for (const auto& other : seen) {
                if (IsSameFile(file, other)) {
                    return true;
                }
            }
        }
        for (auto& file : EntryFiles(entry)) {
            seen.push_back(std::move(file));
        }
    }
    return false;
}

void RunSequential(const TCatalogue& catalogue, TBatchList& list, TBatchObserver& observer,
                   std::span<const TConverterEntry> table)
{
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        TRowObserver rowObserver(&observer);
        const bool ok = ConvertEntry(catalogue, list.Entries[i], rowObserver, table);
        Finish(list.Entries[i], ok, std::move(rowObserver.Reason));
        observer.RowFinished(i, list.Entries[i]);
    }
}

// Entries are converted by `jobs` threads; outcomes are reported in list order. An error that
// keeps a job from starting stops the scheduling of further entries.
void RunParallel(const TCatalogue& catalogue, TBatchList& list, TBatchObserver& observer,
                 unsigned jobs, std::span<const TConverterEntry> table)
{
    const std::size_t count = list.Entries.size();
    std::vector<int> done(count, 0); // 0 pending, 1 finished, 2 raised
    std::vector<std::string> reasons(count);
    std::vector<bool> results(count, false);
    std::exception_ptr raised;
    std::size_t raisedRow = count;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;

    auto work = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count || stop.load()) {
                return;
            }
            TRowObserver rowObserver(nullptr);
            try {
                const bool ok = ConvertEntry(catalogue, list.Entries[i], rowObserver, table);
                const std::lock_guard lock(mutex);
                results[i] = ok;
                reasons[i] = std::move(rowObserver.Reason);
                done[i] = 1;
            } catch (...) {
                const std::lock_guard lock(mutex);
                done[i] = 2;
                if (i < raisedRow) {
                    raised = std::current_exception();
                    raisedRow = i;
                }
                stop.store(true);
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> threads;
    const unsigned threadCount = std::min<unsigned>(jobs, static_cast<unsigned>(count));
    for (unsigned t = 0; t < threadCount; ++t) {
        threads.emplace_back(work);
    }
    // Report in list order as the outcomes arrive.
    std::size_t reported = 0;
    {
        std::unique_lock lock(mutex);
        while (reported < count) {
            changed.wait(
                lock, [&] { return done[reported] != 0 || (stop.load() && next.load() >= count); });
            if (done[reported] != 1) {
                break;
            }
            lock.unlock();
            observer.RowSelected(reported);
            Finish(list.Entries[reported], results[reported], reasons[reported]);
            observer.RowFinished(reported, list.Entries[reported]);
            lock.lock();
            ++reported;
        }
    }
    for (auto& thread : threads) {
        thread.join();
    }
    // Entries that finished beyond a stop keep their outcome.
    for (std::size_t i = reported; i < count; ++i) {
        if (done[i] == 1 && i > raisedRow) {
            Finish(list.Entries[i], results[i], reasons[i]);
        }
    }
    if (raised) {
        std::rethrow_exception(raised);
    }
}

bool IsExistingFile(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

bool IsDataLine(std::string_view line)
{
    return UpperAscii(TrimBlanks(line)) == "DATA";
}

// Copies the rest of `in` line by line to `out` (each line with CR LF), runs of lines that need
// no change as they stand.
void CopyLines(TSjisLineReader& in, TSjisWriter& out)
{
    while (!in.Eof()) {
        const std::string_view clean = in.ReadCleanLines();
        if (!clean.empty()) {
            out.Write(clean);
        } else {
            out.WriteLine(in.ReadLineView());
        }
    }
}

void MergeMif(const TBatchList& list, const std::filesystem::path& target, TBatchObserver& observer)
{
    observer.SetStatusText(kStatusMergeMif);
    TSjisWriter out(target);
    bool headerWritten = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        const TBatchEntry& entry = list.Entries[i];
        if (entry.Status != TEntryStatus::Converted || !IsExistingFile(entry.DstFile)) {
            continue;
        }
        const bool takeHeader = !headerWritten;
        headerWritten = true;
        TSjisLineReader in(entry.DstFile);
        while (!in.Eof()) {
            const std::string_view line = in.ReadLineView();
            if (takeHeader) {
                out.WriteLine(line);
            }
            if (IsDataLine(line)) {
                CopyLines(in, out);
            }
        }
    }
    out.Close();
}

void MergeMid(const TBatchList& list, const std::filesystem::path& target, TBatchObserver& observer)
{
    observer.SetStatusText(kStatusMergeMid);
    TSjisWriter out(target);
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        const TBatchEntry& entry = list.Entries[i];
        const auto mid = ChangeFileExt(std::filesystem::path(entry.DstFile), ".mid");
        if (entry.Status != TEntryStatus::Converted || !IsExistingFile(mid)) {
            continue;
        }
        TSjisLineReader in(mid);
        CopyLines(in, out);
    }
    out.Close();
}

void MergeCsv(const TBatchList& list, const std::filesystem::path& target, TBatchObserver& observer)
{
    observer.SetStatusText(kStatusMergeCsv);
    TSjisWriter out(target);
    bool headerWritten = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        const TBatchEntry& entry = list.Entries[i];
        const auto csv = ChangeFileExt(std::filesystem::path(entry.DstFile), ".csv");
        if (entry.Status != TEntryStatus::Converted || !IsExistingFile(csv)) {
            continue;
        }
        TSjisLineReader in(csv);
        if (headerWritten && !in.Eof()) {
            in.ReadLineView();
        }
        headerWritten = true;
        CopyLines(in, out);
    }
    out.Close();
}

// Watches nothing, for the merge that runs beside the one the observer watches.
class TQuietBatchObserver : public TBatchObserver
{
public:
    void SetStatusText(std::string_view /*text*/) override {}
    void SetProgressMax(std::int64_t /*max*/) override {}
    void SetProgressPos(std::int64_t /*pos*/) override {}
    void ShowProgress(bool /*visible*/) override {}
    void ProcessEvents() override {}
};

// The merges; with `concurrent` the MID and CSV are merged on a second thread while this one
// merges the MIF (an error of the MIF merge is raised first).
void MergeFiles(const TCatalogue& catalogue, const TBatchList& list, TBatchObserver& observer,
                bool concurrent)
{
    if (list.Entries.empty()) {
        return;
    }
    const TCatalogueLine item = catalogue.Item(list.Entries.front().ItemIndex);
    const std::filesystem::path mif(list.CombineFile);
    const bool withMif = !item.IsLedgerOnly();
    auto mergeRest = [&](TBatchObserver& restObserver) {
        if (withMif) {
            MergeMid(list, ChangeFileExt(mif, ".mid"), restObserver);
        }
        if (item.HasLedger) {
            MergeCsv(list, ChangeFileExt(mif, ".csv"), restObserver);
        }
    };
    if (!concurrent || !withMif) {
        if (withMif) {
            MergeMif(list, mif, observer);
        }
        mergeRest(observer);
        return;
    }
    std::exception_ptr restError;
    std::thread rest([&] {
        try {
            TQuietBatchObserver quiet;
            mergeRest(quiet);
        } catch (...) {
            restError = std::current_exception();
        }
    });
    std::exception_ptr mifError;
    try {
        MergeMif(list, mif, observer);
    } catch (...) {
        mifError = std::current_exception();
    }
    rest.join();
    if (mifError) {
        std::rethrow_exception(mifError);
    }
    if (restError) {
        std::rethrow_exception(restError);
    }
}

struct TClearStatus
{
    TBatchObserver& Observer;
    ~TClearStatus()
    {
        try {
            Observer.SetStatusText("");
        } catch (...) { // NOLINT(bugprone-empty-catch): cleanup must not throw
        }
    }
};

} // namespace

bool MergeRequested(const TBatchList& list)
{
    return list.Combine && IsCombinable(list.Entries);
}

std::optional<std::string> CheckBatchRun(const TCatalogue& catalogue, const TBatchList& list)
{
    if (list.Entries.empty()) {
        return std::string(kMsgNoBatchList);
    }
    if (auto clash = OutputOnOtherSource(catalogue, list.Entries)) {
        return clash;
    }
    if (!MergeRequested(list)) {
        return std::nullopt;
    }
    if (TrimBlanks(list.CombineFile).empty()) {
        return std::string(kMsgBadCombineFile);
    }
    const TCatalogueLine item = catalogue.Item(list.Entries.front().ItemIndex);
    const std::vector<std::filesystem::path> merged = MergedFiles(item, list.CombineFile);
    for (std::size_t i = 0; i < merged.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (IsSameFile(merged[i], merged[j])) {
                return std::string(kMsgBadCombineFile);
            }
        }
    }
    for (const TBatchEntry& entry : list.Entries) {
        std::vector<std::filesystem::path> inputs = EntryFiles(item, entry);
        inputs.emplace_back(entry.SrcFile);
        for (const auto& file : merged) {
            for (const auto& input : inputs) {
                if (IsSameFile(file, input)) {
                    return std::string(kMsgCombineFileIsInput);
                }
            }
        }
    }
    return std::nullopt;
}

void MergeOutputs(const TCatalogue& catalogue, const TBatchList& list, TBatchObserver& observer)
{
    MergeFiles(catalogue, list, observer, false);
}

void RunBatch(const TCatalogue& catalogue, TBatchList& list, TBatchObserver& observer,
              unsigned jobs, std::span<const TConverterEntry> table)
{
    const TClearStatus clear{observer};
    for (TBatchEntry& entry : list.Entries) {
        entry.Status = TEntryStatus::None;
        entry.FailReason.clear();
    }
    if (jobs > 1 && list.Entries.size() > 1 && !OutputsShared(list.Entries)) {
        RunParallel(catalogue, list, observer, jobs, table);
    } else {
        RunSequential(catalogue, list, observer, table);
    }
    if (MergeRequested(list)) {
        MergeFiles(catalogue, list, observer, jobs > 1);
    }
}

} // namespace tolvane::batch
