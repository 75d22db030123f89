// Running a batch list: every entry converted in list order, then, when asked, the outputs of
// the converted entries merged into one MIF, one MID and one ledger CSV.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "base/JobObserver.h"
#include "batch/BatchList.h"
#include "ksj/ConverterTable.h"

namespace tolvane::batch {

/// What a batch run reports beyond one job's status and progress.
class TBatchObserver : public base::TJobObserver
{
public:
    /// Row `row` is about to be converted or looked at by a merge: the window processes its
    /// events, selects the row and scrolls it into view.
    virtual void RowSelected(std::size_t /*row*/) {}
    /// Row `row` has its outcome (`entry.Status`, `entry.FailReason`).
    virtual void RowFinished(std::size_t /*row*/, const TBatchEntry& /*entry*/) {}
};

/// Merging is asked for and allowed: the merge flag is set and the entries are combinable.
bool MergeRequested(const TBatchList& list);

/// Why a merge that the list asks for will not be made (kMsgMergeSkipped with the reason of
/// WhyNotCombinable); nothing when the list asks for none or it will be made.
std::optional<std::string> MergeSkipReason(const TBatchList& list);

/// Why `list` cannot run, as the warning to show, or nothing when it can: an empty list; a
/// source that is not a file (a folder, a pipe, a device, "-"); an output of an entry that is
/// the source of another entry (the run would destroy that source before or after converting
/// it); an output or merged file that is the batch-list file itself (`list.FileName`); a merge
/// asked for with a blank merged-file path or one whose merged files would be one file; a merged
/// file that is one of the entries' sources or outputs. Takes time in proportion to the number
/// of entries (file identities in hash tables). Raises TDataError when a merge is asked for and
/// the first entry's item is outside `catalogue`. (An entry whose output is its own source is
/// refused by the driver when that entry runs.)
std::optional<std::string>
CheckBatchRun(const driver::TCatalogue& catalogue, const TBatchList& list,
              std::span<const ksj::TConverterEntry> table = ksj::kConverterTable);

/// Runs `list`: resets every status, converts every entry in order (a failed entry does not
/// stop the run) and merges when MergeRequested. Every job and the merge write under temporary
/// names and put their files in place when they end (driver::ConvertDataItem).
///
/// An error that keeps a job from starting stops the run at that entry: its status stays None
/// and its FailReason says why, later entries are not converted and nothing is merged; the
/// error is raised, as is an error while merging (what the merge wrote is put in place). When
/// `observer` asks to stop (CancelRequested), the running job stops at its next pump point and
/// leaves no file, no further entry is converted, nothing is merged, and TJobCancelled is
/// raised. Every file is closed by then, and the status text is cleared at the end in every
/// case.
///
/// With `jobs` above 1 the entries are converted concurrently (each job has its own files and
/// definitions; entries that share an output run one at a time), and their files are put in
/// place and reported in list order: the outcome is that of `jobs` 1 in every case, an entry
/// that cannot start included. The MIF is then merged beside the MID and CSV (only the MIF merge
/// reports to `observer`; an error of either is raised once both have ended).
/// Call CheckBatchRun first.
void RunBatch(const driver::TCatalogue& catalogue, TBatchList& list, TBatchObserver& observer,
              unsigned jobs = 1,
              std::span<const ksj::TConverterEntry> table = ksj::kConverterTable);

/// The merges on their own, over the entries of `list` with their current statuses. The header
/// of the merged MIF (and the header line of the merged CSV) comes from the first entry that is
/// actually merged. Ledger-only items have no MIF or MID: only their CSVs are merged.
void MergeOutputs(const driver::TCatalogue& catalogue, const TBatchList& list,
                  TBatchObserver& observer,
                  std::span<const ksj::TConverterEntry> table = ksj::kConverterTable);

} // namespace tolvane::batch
