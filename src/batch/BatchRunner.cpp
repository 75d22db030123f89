// Running a batch list and merging its outputs.
#include "batch/BatchRunner.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "base/AppError.h"
#include "base/uniBytes.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "base/uniTextFile.h"
#include "driver/ConvertDriver.h"
#include "driver/JobFiles.h"

namespace tolvane::batch {

using namespace tolvane::base;
using namespace tolvane::driver;
using ksj::TConverterEntry;

namespace {

void Finish(TBatchEntry& entry, bool ok, std::string reason)
{
    entry.Status = ok ? TEntryStatus::Converted : TEntryStatus::Failed;
    entry.FailReason = ok ? std::string() : std::move(reason);
    if (!ok && entry.FailReason.empty()) {
        entry.FailReason = std::string(kMsgConvertFailed);
    }
}

TJobResult ConvertEntry(const TCatalogue& catalogue, const TBatchEntry& entry,
                        TJobObserver& observer, std::span<const TConverterEntry> table)
{
    return ConvertDataItem(catalogue, entry.ItemIndex, entry.SrcFile, entry.DstFile,
                           entry.CoordSysIndex, observer, table);
}

// Why a job failed, as a row shows it.
std::string FailReason(const TJobResult& result)
{
    return result.Failure ? std::string(result.Failure->what()) : std::string();
}

bool IsKnownItem(const TCatalogue& catalogue, const TBatchEntry& entry)
{
    return entry.ItemIndex >= 0 && entry.ItemIndex < catalogue.Count();
}

// The outputs a job of `entry` writes; every file it might write when its item is outside the
// catalogue (the driver refuses such an entry when it runs).
TJobFiles EntryFiles(const TCatalogue& catalogue, const TBatchEntry& entry,
                     std::span<const TConverterEntry> table)
{
    if (!IsKnownItem(catalogue, entry)) {
        return ListPossibleJobFiles(entry.DstFile);
    }
    return ListJobFiles(catalogue.Item(entry.ItemIndex), entry.DstFile, table);
}

// The first output of an entry that is another entry's source, as the warning to show. Entries
// whose item is outside the catalogue are left to the driver, which refuses them when they run.
std::optional<std::string> OutputOnOtherSource(const TCatalogue& catalogue,
                                               const std::vector<TBatchEntry>& entries,
                                               std::span<const TConverterEntry> table)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!IsKnownItem(catalogue, entries[i])) {
            continue;
        }
        for (const TJobFile& file : EntryFiles(catalogue, entries[i], table)) {
            for (std::size_t j = 0; j < entries.size(); ++j) {
                if (j != i && IsSameFile(file.Path, entries[j].SrcFile)) {
                    return FormatMessage(kMsgOutputIsOtherSource, {file.Path.string()});
                }
            }
        }
    }
    return std::nullopt;
}

// Whether two entries may write one file: every file a job might write counts, whatever its
// item.
bool OutputsShared(const std::vector<TBatchEntry>& entries)
{
    std::vector<std::filesystem::path> seen;
    for (const TBatchEntry& entry : entries) {
        const TJobFiles files = ListPossibleJobFiles(entry.DstFile);
        for (const TJobFile& file : files) {
            for (const auto& other : seen) {
                if (IsSameFile(file.Path, other)) {
                    return true;
                }
            }
        }
        for (const TJobFile& file : files) {
            seen.push_back(file.Path);
        }
    }
    return false;
}

void RunSequential(const TCatalogue& catalogue, TBatchList& list, TBatchObserver& observer,
                   std::span<const TConverterEntry> table)
{
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        const TJobResult result = ConvertEntry(catalogue, list.Entries[i], observer, table);
        Finish(list.Entries[i], result.Succeeded, FailReason(result));
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
            TJobObserver quiet;
            try {
                const TJobResult result = ConvertEntry(catalogue, list.Entries[i], quiet, table);
                const std::lock_guard lock(mutex);
                results[i] = result.Succeeded;
                reasons[i] = FailReason(result);
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

// The file of `role` of each entry's job, or an empty path where the entry has none.
std::vector<std::filesystem::path> EntryFilesOf(const TCatalogue& catalogue, const TBatchList& list,
                                                TFileRole role,
                                                std::span<const TConverterEntry> table)
{
    std::vector<std::filesystem::path> files;
    for (const TBatchEntry& entry : list.Entries) {
        const TJobFiles jobFiles = EntryFiles(catalogue, entry, table);
        const std::filesystem::path* file = FindJobFile(jobFiles, role);
        files.push_back(file != nullptr ? *file : std::filesystem::path());
    }
    return files;
}

// Whether row `i` takes part in a merge: it converted, and its file is there.
bool IsMerged(const TBatchList& list, const std::vector<std::filesystem::path>& files,
              std::size_t i)
{
    return list.Entries[i].Status == TEntryStatus::Converted && !files[i].empty() &&
           IsExistingFile(files[i]);
}

void MergeMif(const TBatchList& list, const std::vector<std::filesystem::path>& inputs,
              const std::filesystem::path& target, TBatchObserver& observer)
{
    observer.SetStatusText(kStatusMergeMif);
    TSjisWriter out(target);
    bool headerWritten = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        if (!IsMerged(list, inputs, i)) {
            continue;
        }
        const bool takeHeader = !headerWritten;
        headerWritten = true;
        TSjisLineReader in(inputs[i]);
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

void MergeMid(const TBatchList& list, const std::vector<std::filesystem::path>& inputs,
              const std::filesystem::path& target, TBatchObserver& observer)
{
    observer.SetStatusText(kStatusMergeMid);
    TSjisWriter out(target);
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        if (!IsMerged(list, inputs, i)) {
            continue;
        }
        TSjisLineReader in(inputs[i]);
        CopyLines(in, out);
    }
    out.Close();
}

void MergeCsv(const TBatchList& list, const std::vector<std::filesystem::path>& inputs,
              const std::filesystem::path& target, TBatchObserver& observer)
{
    observer.SetStatusText(kStatusMergeCsv);
    TSjisWriter out(target);
    bool headerWritten = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        if (!IsMerged(list, inputs, i)) {
            continue;
        }
        TSjisLineReader in(inputs[i]);
        if (headerWritten && !in.Eof()) {
            in.ReadLineView();
        }
        headerWritten = true;
        CopyLines(in, out);
    }
    out.Close();
}

// The merges; with `concurrent` the MID and CSV are merged on a second thread while this one
// merges the MIF (an error of the MIF merge is raised first).
void MergeFiles(const TCatalogue& catalogue, const TBatchList& list, TBatchObserver& observer,
                bool concurrent, std::span<const TConverterEntry> table)
{
    if (list.Entries.empty()) {
        return;
    }
    const TCatalogueLine item = catalogue.Item(list.Entries.front().ItemIndex);
    const TJobFiles merged = ListMergedFiles(item, list.CombineFile, table);
    const std::filesystem::path* mif = FindJobFile(merged, TFileRole::Features);
    const std::filesystem::path* mid = FindJobFile(merged, TFileRole::Attributes);
    const std::filesystem::path* csv = FindJobFile(merged, TFileRole::Ledger);
    auto mergeRest = [&](TBatchObserver& restObserver) {
        if (mid != nullptr) {
            MergeMid(list, EntryFilesOf(catalogue, list, TFileRole::Attributes, table), *mid,
                     restObserver);
        }
        if (csv != nullptr) {
            MergeCsv(list, EntryFilesOf(catalogue, list, TFileRole::Ledger, table), *csv,
                     restObserver);
        }
    };
    auto mergeMif = [&] {
        if (mif != nullptr) {
            MergeMif(list, EntryFilesOf(catalogue, list, TFileRole::Features, table), *mif,
                     observer);
        }
    };
    if (!concurrent || mif == nullptr) {
        mergeMif();
        mergeRest(observer);
        return;
    }
    std::exception_ptr restError;
    std::thread rest([&] {
        try {
            TBatchObserver quiet;
            mergeRest(quiet);
        } catch (...) {
            restError = std::current_exception();
        }
    });
    std::exception_ptr mifError;
    try {
        mergeMif();
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

std::optional<std::string> CheckBatchRun(const TCatalogue& catalogue, const TBatchList& list,
                                         std::span<const TConverterEntry> table)
{
    if (list.Entries.empty()) {
        return std::string(kMsgNoBatchList);
    }
    if (auto clash = OutputOnOtherSource(catalogue, list.Entries, table)) {
        return clash;
    }
    if (!MergeRequested(list)) {
        return std::nullopt;
    }
    if (TrimBlanks(list.CombineFile).empty()) {
        return std::string(kMsgBadCombineFile);
    }
    const TCatalogueLine item = catalogue.Item(list.Entries.front().ItemIndex);
    const TJobFiles merged = ListMergedFiles(item, list.CombineFile, table);
    for (std::size_t i = 0; i < merged.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (IsSameFile(merged[i].Path, merged[j].Path)) {
                return std::string(kMsgBadCombineFile);
            }
        }
    }
    for (const TBatchEntry& entry : list.Entries) {
        TJobFiles inputs = ListJobFiles(item, entry.DstFile, table);
        inputs.push_back({TFileRole::Features, entry.SrcFile});
        for (const TJobFile& file : merged) {
            for (const TJobFile& input : inputs) {
                if (IsSameFile(file.Path, input.Path)) {
                    return std::string(kMsgCombineFileIsInput);
                }
            }
        }
    }
    return std::nullopt;
}

void MergeOutputs(const TCatalogue& catalogue, const TBatchList& list, TBatchObserver& observer,
                  std::span<const TConverterEntry> table)
{
    MergeFiles(catalogue, list, observer, false, table);
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
        MergeFiles(catalogue, list, observer, jobs > 1, table);
    }
}

} // namespace tolvane::batch
