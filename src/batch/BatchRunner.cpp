// Running a batch list and merging its outputs.
#include "batch/BatchRunner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "base/AppError.h"
#include "base/OutputFiles.h"
#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "base/uniPlatform.h"
#include "base/uniTextFile.h"
#include "driver/ConvertDriver.h"
#include "driver/JobFiles.h"
#ifdef TOLVANE_HAVE_GDAL
#include "gdal/GdalOutput.h"
#endif

namespace tolvane::batch {

using namespace tolvane::base;
using namespace tolvane::driver;
using ksj::TConverterEntry;

namespace {

void Finish(TBatchEntry& entry, TJobResult result)
{
    const bool ok = result.Succeeded;
    entry.Status = ok ? TEntryStatus::Converted : TEntryStatus::Failed;
    entry.FailReason.clear();
    if (!ok) {
        entry.FailReason =
            result.Failure ? std::string(result.Failure->what()) : std::string(kMsgConvertFailed);
    }
    entry.Result = std::make_shared<const TJobResult>(std::move(result));
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
        return ListPossibleJobFiles(Utf8ToPath(entry.DstFile));
    }
    return ListJobFiles(catalogue.Item(entry.ItemIndex), Utf8ToPath(entry.DstFile), table);
}

// Whether two entries may write one file: every file a job might write counts, whatever its
// item.
bool OutputsShared(const std::vector<TBatchEntry>& entries)
{
    TFileKeys keys;
    std::unordered_map<std::string, std::size_t> writers;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (const TJobFile& file : ListPossibleJobFiles(Utf8ToPath(entries[i].DstFile))) {
            const auto [it, inserted] = writers.try_emplace(keys.KeyOf(file.Path), i);
            if (!inserted && it->second != i) {
                return true;
            }
        }
    }
    return false;
}

TPendingJob ConvertEntry(const TCatalogue& catalogue, const TBatchEntry& entry,
                         TJobObserver& observer, std::span<const TConverterEntry> table)
{
    return ConvertPending(catalogue, entry.ItemIndex, Utf8ToPath(entry.SrcFile),
                          Utf8ToPath(entry.DstFile), entry.CoordSysIndex, observer, table);
}

// The run stops at `entry` because of `error`: unless it was cancelled, the entry says why it
// could not start.
void NoteStop(TBatchEntry& entry, const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const TJobCancelled&) {
        entry.FailReason.clear();
    } catch (const std::exception& e) {
        entry.FailReason = e.what();
    } catch (...) { // NOLINT(bugprone-empty-catch): the error itself is raised by the caller
    }
}

void CheckCancel(TJobObserver& observer)
{
    if (observer.CancelRequested()) {
        throw TJobCancelled();
    }
}

void RunSequential(const TCatalogue& catalogue, TBatchList& list, TBatchObserver& observer,
                   std::span<const TConverterEntry> table)
{
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        CheckCancel(observer);
        observer.RowSelected(i);
        std::optional<TPendingJob> job;
        try {
            job = ConvertEntry(catalogue, list.Entries[i], observer, table);
        } catch (...) {
            NoteStop(list.Entries[i], std::current_exception());
            throw;
        }
        Finish(list.Entries[i], job->Place());
        observer.RowFinished(i, list.Entries[i]);
    }
}

// What a worker hands on: the job of an entry with its outputs still under temporary names, or
// the error that kept it from starting (or stopped it, when cancelled).
struct TSlot
{
    bool Done = false;
    std::optional<TPendingJob> Job;
    std::exception_ptr Error;
};

// A worker's job reports nothing; it stops when the run is cancelled.
class TWorkerObserver : public TJobObserver
{
public:
    explicit TWorkerObserver(const std::atomic<bool>& cancel) : m_cancel(cancel) {}
    bool CancelRequested() override { return m_cancel.load(); }

private:
    const std::atomic<bool>& m_cancel;
};

// Entries are converted by `jobs` threads into temporary files; this thread puts each entry's
// files in place and reports it in list order, so nothing of an entry appears before every
// earlier entry has. An entry that cannot start stops the run there: the entries after it are
// dropped (their temporary files removed) or never started. Workers run at most 2 × `jobs`
// entries ahead of the report, which bounds the temporary files waiting on disk.
void RunParallel(const TCatalogue& catalogue, TBatchList& list, TBatchObserver& observer,
                 unsigned jobs, std::span<const TConverterEntry> table)
{
    const std::size_t count = list.Entries.size();
    const std::size_t ahead = 2 * static_cast<std::size_t>(jobs);
    std::vector<TSlot> slots(count);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;     // the next entry to start
    std::size_t reported = 0; // entries put in place and reported
    bool stop = false;
    std::atomic<bool> cancel{false};

    auto work = [&] {
        TWorkerObserver quiet(cancel);
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock,
                             [&] { return stop || next >= count || next < reported + ahead; });
                if (stop || cancel.load() || next >= count) {
                    return;
                }
                i = next++;
            }
            TSlot slot;
            try {
                slot.Job = ConvertEntry(catalogue, list.Entries[i], quiet, table);
            } catch (...) {
                slot.Error = std::current_exception();
            }
            slot.Done = true;
            {
                const std::lock_guard lock(mutex);
                if (slot.Error) {
                    stop = true;
                }
                slots[i] = std::move(slot);
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> threads;
    const unsigned threadCount = std::min<unsigned>(jobs, static_cast<unsigned>(count));
    for (unsigned t = 0; t < threadCount; ++t) {
        threads.emplace_back(work);
    }
    std::exception_ptr raised;
    try {
        for (std::size_t i = 0; i < count; ++i) {
            std::unique_lock lock(mutex);
            while (!slots[i].Done) {
                changed.wait_for(lock, std::chrono::milliseconds(100));
                lock.unlock();
                if (observer.CancelRequested()) {
                    cancel.store(true);
                }
                lock.lock();
            }
            TSlot slot = std::move(slots[i]);
            lock.unlock();
            if (slot.Error) {
                NoteStop(list.Entries[i], slot.Error);
                std::rethrow_exception(slot.Error);
            }
            observer.RowSelected(i);
            CheckCancel(observer);
            Finish(list.Entries[i], slot.Job->Place());
            observer.RowFinished(i, list.Entries[i]);
            lock.lock();
            reported = i + 1;
            lock.unlock();
            changed.notify_all();
        }
    } catch (...) {
        raised = std::current_exception();
    }
    {
        const std::lock_guard lock(mutex);
        stop = true;
    }
    cancel.store(raised != nullptr);
    changed.notify_all();
    for (auto& thread : threads) {
        thread.join();
    }
    // Jobs converted beyond the stop go with their temporary files.
    slots.clear();
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

// Asks whether to stop while a merge copies: on the merging thread that reports to the observer
// the observer is asked, on the other one only what the first has heard.
class TMergeCancel
{
public:
    TMergeCancel(TJobObserver* observer, std::atomic<bool>& flag)
        : m_observer(observer), m_flag(flag)
    {
    }
    void Check()
    {
        if (m_observer != nullptr && m_observer->CancelRequested()) {
            m_flag.store(true);
        }
        if (m_flag.load()) {
            throw TJobCancelled();
        }
    }

private:
    TJobObserver* m_observer;
    std::atomic<bool>& m_flag;
};

// Copies the rest of `in` line by line to `out` (each line with CR LF), runs of lines that need
// no change as they stand.
void CopyLines(TSjisLineReader& in, TSjisWriter& out, TMergeCancel& cancel)
{
    while (!in.Eof()) {
        cancel.Check();
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
              const std::filesystem::path& target, TBatchObserver& observer, TMergeCancel& cancel)
{
    observer.SetStatusText(kStatusMergeMif);
    TSjisWriter out(target);
    bool headerWritten = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        cancel.Check();
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
                CopyLines(in, out, cancel);
            }
        }
    }
    out.Close();
}

void MergeMid(const TBatchList& list, const std::vector<std::filesystem::path>& inputs,
              const std::filesystem::path& target, TBatchObserver& observer, TMergeCancel& cancel)
{
    observer.SetStatusText(kStatusMergeMid);
    TSjisWriter out(target);
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        cancel.Check();
        if (!IsMerged(list, inputs, i)) {
            continue;
        }
        TSjisLineReader in(inputs[i]);
        CopyLines(in, out, cancel);
    }
    out.Close();
}

void MergeCsv(const TBatchList& list, const std::vector<std::filesystem::path>& inputs,
              const std::filesystem::path& target, TBatchObserver& observer, TMergeCancel& cancel)
{
    observer.SetStatusText(kStatusMergeCsv);
    TSjisWriter out(target);
    bool headerWritten = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        observer.RowSelected(i);
        cancel.Check();
        if (!IsMerged(list, inputs, i)) {
            continue;
        }
        TSjisLineReader in(inputs[i]);
        if (headerWritten && !in.Eof()) {
            in.ReadLineView();
        }
        headerWritten = true;
        CopyLines(in, out, cancel);
    }
    out.Close();
}

// Whether the merge of `file` writes it whole or not at all: a GeoPackage commits nothing of a
// failed merge, and a GeoJSON merge is dropped with its CSV.
bool MergedWhole(const TJobFile& file)
{
    return file.Format == TFileFormat::GeoPackage || file.Format == TFileFormat::GeoJson ||
           file.Format == TFileFormat::Utf8Csv;
}

#ifdef TOLVANE_HAVE_GDAL
// The merge into a GeoPackage or GeoJSON file: every layer of `merged` (the objects, a
// GeoPackage's ledger) gets the features of the same layer of every merged row's file, in row
// order, through GDAL; a GeoJSON job's ledger CSVs are joined as text.
void MergeGdal(const TCatalogue& catalogue, const TBatchList& list, const TCatalogueLine& item,
               const TJobFiles& merged, const TOutputFiles& outputs, TBatchObserver& observer,
               TMergeCancel& cancel, std::span<const TConverterEntry> table)
{
    const TOutputFormat format = OutputFormatOf(list.CombineFile);
    std::vector<TJobFiles> rowFiles;
    for (const TBatchEntry& entry : list.Entries) {
        if (OutputFormatOf(entry.DstFile) != format) {
            throw TDataError(
                FormatMessage(kMsgMergeFormatsDiffer, {list.CombineFile, entry.DstFile}));
        }
        rowFiles.push_back(EntryFiles(catalogue, entry, table));
    }
    std::unique_ptr<gdal::TGdalDataset> dataset;
    for (std::size_t i = 0; i < merged.size(); ++i) {
        if (merged[i].Format == TFileFormat::GeoPackage ||
            merged[i].Format == TFileFormat::GeoJson) {
            dataset = std::make_unique<gdal::TGdalDataset>(
                merged[i].Format == TFileFormat::GeoPackage ? gdal::TGdalFormat::GeoPackage
                                                            : gdal::TGdalFormat::GeoJson,
                outputs.WritePath(i));
        }
    }
    for (const TJobFile& file : merged) {
        for (const TJobLayer& layer : file.Layers) {
            const std::vector<std::filesystem::path> inputs =
                EntryFilesOf(catalogue, list, layer.Role, table);
            std::size_t count = 0;
            for (std::size_t i = 0; i < list.Entries.size(); ++i) {
                count += IsMerged(list, inputs, i) ? 1U : 0U;
            }
            const bool objects = layer.Role == TFileRole::Features;
            observer.SetStatusText(!objects                              ? kStatusMergeLedger
                                   : format == TOutputFormat::GeoPackage ? kStatusMergeGpkg
                                                                         : kStatusMergeGeoJson);
            const gdal::TAppendTarget target{
                layer.Name, list.Entries.front().CoordSysIndex,
                FormatMessage(kMsgMergedDescription,
                              {SjisToUtf8(item.ItemName), std::to_string(count), TOLVANE_VERSION}),
                !objects};
            for (std::size_t i = 0; i < list.Entries.size(); ++i) {
                observer.RowSelected(i);
                cancel.Check();
                const TJobLayer* from = FindJobLayer(rowFiles[i], layer.Role);
                if (!IsMerged(list, inputs, i) || from == nullptr) {
                    continue;
                }
                dataset->AppendFrom(inputs[i], from->Name, target, [&cancel] { cancel.Check(); });
            }
            dataset->EnsureLayer(target);
        }
    }
    for (std::size_t i = 0; i < merged.size(); ++i) {
        if (merged[i].Format == TFileFormat::Utf8Csv) {
            MergeCsv(list, EntryFilesOf(catalogue, list, merged[i].Role, table),
                     outputs.WritePath(i), observer, cancel);
        }
    }
    if (dataset) {
        dataset->Finish();
    }
}
#endif

// Ends the merge as its error asks: a cancelled merge puts nothing in place, a failed one what
// it wrote. Raises the error (naming destinations, not temporary files).
[[noreturn]] void EndFailedMerge(TOutputFiles& outputs, const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const TJobCancelled&) {
        outputs.Drop();
        throw;
    } catch (TAppError& e) {
        outputs.ShowDestinations(e);
        try {
            outputs.Place(false);
        } catch (...) { // NOLINT(bugprone-empty-catch): the first error is the one to report
        }
        throw;
    }
}

// The merges, written under temporary names and put in place at the end; with `concurrent` the
// MID and CSV are merged on a second thread while this one merges the MIF (an error of the MIF
// merge is raised first).
void MergeFiles(const TCatalogue& catalogue, const TBatchList& list, TBatchObserver& observer,
                bool concurrent, std::span<const TConverterEntry> table)
{
    if (list.Entries.empty()) {
        return;
    }
    const TCatalogueLine item = catalogue.Item(list.Entries.front().ItemIndex);
    const TJobFiles merged = ListMergedFiles(item, Utf8ToPath(list.CombineFile), table);
    std::vector<TOutputSpec> specs;
    for (const TJobFile& file : merged) {
        specs.push_back({file.Path, MergedWhole(file) ? TOnFailure::Drop : TOnFailure::Keep});
    }
    TOutputFiles outputs(std::move(specs));
    std::atomic<bool> cancelled{false};
    if (OutputFormatOf(list.CombineFile) != TOutputFormat::Mif) {
        TMergeCancel cancel(&observer, cancelled);
        try {
#ifdef TOLVANE_HAVE_GDAL
            MergeGdal(catalogue, list, item, merged, outputs, observer, cancel, table);
#else
            throw TFileError(*WhyCannotWrite(list.CombineFile),
                             std::make_error_code(std::errc::not_supported));
#endif
        } catch (...) {
            EndFailedMerge(outputs, std::current_exception());
        }
        outputs.Place(true);
        return;
    }
    const auto writePath = [&](TFileRole role) -> const std::filesystem::path* {
        for (std::size_t i = 0; i < merged.size(); ++i) {
            if (merged[i].Role == role) {
                return &outputs.WritePath(i);
            }
        }
        return nullptr;
    };
    const std::filesystem::path* mif = writePath(TFileRole::Features);
    const std::filesystem::path* mid = writePath(TFileRole::Attributes);
    const std::filesystem::path* csv = writePath(TFileRole::Ledger);
    auto mergeRest = [&](TBatchObserver& restObserver, TMergeCancel& cancel) {
        if (mid != nullptr) {
            MergeMid(list, EntryFilesOf(catalogue, list, TFileRole::Attributes, table), *mid,
                     restObserver, cancel);
        }
        if (csv != nullptr) {
            MergeCsv(list, EntryFilesOf(catalogue, list, TFileRole::Ledger, table), *csv,
                     restObserver, cancel);
        }
    };
    auto mergeMif = [&](TMergeCancel& cancel) {
        if (mif != nullptr) {
            MergeMif(list, EntryFilesOf(catalogue, list, TFileRole::Features, table), *mif,
                     observer, cancel);
        }
    };
    TMergeCancel cancel(&observer, cancelled);
    if (!concurrent || mif == nullptr) {
        try {
            mergeMif(cancel);
            mergeRest(observer, cancel);
        } catch (...) {
            EndFailedMerge(outputs, std::current_exception());
        }
        outputs.Place(true);
        return;
    }
    std::exception_ptr restError;
    std::thread rest([&] {
        try {
            TBatchObserver quiet;
            TMergeCancel restCancel(nullptr, cancelled);
            mergeRest(quiet, restCancel);
        } catch (...) {
            restError = std::current_exception();
        }
    });
    std::exception_ptr mifError;
    try {
        mergeMif(cancel);
    } catch (...) {
        mifError = std::current_exception();
        try {
            std::rethrow_exception(mifError);
        } catch (const TJobCancelled&) {
            cancelled.store(true);
        } catch (...) { // NOLINT(bugprone-empty-catch): raised below, once both have ended
        }
    }
    rest.join();
    if (mifError || restError) {
        EndFailedMerge(outputs, mifError ? mifError : restError);
    }
    outputs.Place(true);
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

std::optional<std::string> MergeSkipReason(const TBatchList& list)
{
    if (!list.Combine) {
        return std::nullopt;
    }
    if (const auto reason = WhyNotCombinable(list.Entries)) {
        return FormatMessage(kMsgMergeSkipped, {*reason});
    }
    return std::nullopt;
}

std::optional<std::string> CheckBatchRun(const TCatalogue& catalogue, const TBatchList& list,
                                         std::span<const TConverterEntry> table)
{
    if (list.Entries.empty()) {
        return std::string(kMsgNoBatchList);
    }
    constexpr std::size_t kSeveral = static_cast<std::size_t>(-1);
    TFileKeys keys;
    // Every source, with the entry that reads it (kSeveral when more than one does).
    std::unordered_map<std::string, std::size_t> sources;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        const std::string& src = list.Entries[i].SrcFile;
        TFileKind kind = TFileKind::Missing;
        const std::string key = keys.KeyOf(Utf8ToPath(src), &kind);
        if (src == "-") {
            return FormatMessage(kMsgSourceNotAFile, {src, kKindStdin});
        }
        if (kind != TFileKind::Missing && kind != TFileKind::Regular) {
            return FormatMessage(kMsgSourceNotAFile, {src, FileKindName(kind)});
        }
        const auto [it, inserted] = sources.try_emplace(key, i);
        if (!inserted && it->second != i) {
            it->second = kSeveral;
        }
    }
    const bool merge = MergeRequested(list);
    const std::string listKey = list.FileName.empty() ? std::string() : keys.KeyOf(list.FileName);
    // Every output, when a merge must be kept from them.
    std::unordered_set<std::string> outputs;
    std::unordered_map<std::int64_t, TCatalogueLine> items;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        if (auto why = WhyCannotWrite(list.Entries[i].DstFile)) {
            return why;
        }
        // An entry whose item is outside the catalogue never starts: the driver refuses it.
        if (!IsKnownItem(catalogue, list.Entries[i])) {
            continue;
        }
        const TBatchEntry& entry = list.Entries[i];
        auto item = items.find(entry.ItemIndex);
        if (item == items.end()) {
            item = items.emplace(entry.ItemIndex, catalogue.Item(entry.ItemIndex)).first;
        }
        for (const TJobFile& file : ListJobFiles(item->second, Utf8ToPath(entry.DstFile), table)) {
            const std::string key = keys.KeyOf(file.Path);
            const auto source = sources.find(key);
            if (source != sources.end() && source->second != i) {
                return FormatMessage(kMsgOutputIsOtherSource, {PathToUtf8(file.Path)});
            }
            if (key == listKey) {
                return FormatMessage(kMsgListFileIsOutput, {PathToUtf8(list.FileName)});
            }
            if (merge) {
                outputs.insert(key);
            }
        }
    }
    if (!merge) {
        return std::nullopt;
    }
    if (TrimBlanks(list.CombineFile).empty()) {
        return std::string(kMsgBadCombineFile);
    }
    if (auto why = WhyCannotWrite(list.CombineFile)) {
        return why;
    }
    // A merge joins files of one format.
    for (const TBatchEntry& entry : list.Entries) {
        if (OutputFormatOf(entry.DstFile) != OutputFormatOf(list.CombineFile)) {
            return FormatMessage(kMsgMergeFormatsDiffer, {list.CombineFile, entry.DstFile});
        }
    }
    const TCatalogueLine item = catalogue.Item(list.Entries.front().ItemIndex);
    const TJobFiles merged = ListMergedFiles(item, Utf8ToPath(list.CombineFile), table);
    std::vector<std::string> mergedKeys;
    for (const TJobFile& file : merged) {
        mergedKeys.push_back(keys.KeyOf(file.Path));
        for (std::size_t j = 0; j + 1 < mergedKeys.size(); ++j) {
            if (mergedKeys[j] == mergedKeys.back()) {
                return std::string(kMsgBadCombineFile);
            }
        }
    }
    for (const std::string& key : mergedKeys) {
        if (key == listKey) {
            return FormatMessage(kMsgListFileIsOutput, {PathToUtf8(list.FileName)});
        }
        if (sources.contains(key) || outputs.contains(key)) {
            return std::string(kMsgCombineFileIsInput);
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
        entry.Result.reset();
    }
    if (jobs > 1 && list.Entries.size() > 1 && !OutputsShared(list.Entries)) {
        RunParallel(catalogue, list, observer, jobs, table);
    } else {
        RunSequential(catalogue, list, observer, table);
    }
    if (MergeRequested(list)) {
        CheckCancel(observer);
        MergeFiles(catalogue, list, observer, jobs > 1, table);
    }
}

} // namespace tolvane::batch
