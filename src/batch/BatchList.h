// The batch list: conversion jobs to run one after another, with the merge settings, and its
// file (Shift-JIS, CR LF: "tolvane", "200", the merge flag, the merged-file path, one
// TAB-separated line of four quoted fields per entry).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppError.h"
#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "shapes/uniCoordSys.h"

namespace tolvane::batch {

enum class TEntryStatus {
    None,
    Converted,
    Failed,
};

/// One conversion job of the list. Paths are held as the user typed or picked them (UTF-8).
struct TBatchEntry
{
    std::int64_t ItemIndex = -1;
    std::string ItemName; ///< display only (CP932), derived from the catalogue
    std::string SrcFile;
    std::string DstFile;
    shapes::TCoordSysIndex CoordSysIndex = 0;
    TEntryStatus Status = TEntryStatus::None;
    /// Why the last run failed this entry, or why it could not start it (its status then stays
    /// None) (UTF-8).
    std::string FailReason;
    /// What the last run's job of this entry wrote and noticed (objects, ledger rows, files put
    /// in place, warnings); null until the entry has its outcome.
    std::shared_ptr<const driver::TJobResult> Result;
};

/// The list and the two merge settings that travel with it.
struct TBatchList
{
    std::vector<TBatchEntry> Entries;
    bool Combine = false;    ///< the merge flag ("ファイルを統合する。")
    std::string CombineFile; ///< the merged-file path as typed (UTF-8), may be empty
    /// The batch-list file the list was last loaded from or saved to (empty when none): an input
    /// of the run, which no output may replace.
    std::filesystem::path FileName;
};

/// Merging is allowed: at least two entries, all of the same data item and the same coordinate
/// system.
bool IsCombinable(const std::vector<TBatchEntry>& entries);

/// Why merging is not allowed (fewer than two entries, different data items, different
/// coordinate systems), as a sentence; nothing when it is.
std::optional<std::string> WhyNotCombinable(const std::vector<TBatchEntry>& entries);

/// A batch-list file whose first lines are not a batch list.
class TBatchFileInvalid : public base::TDataError
{
public:
    TBatchFileInvalid();
};

/// Reads a batch-list file into `list`. The entries are cleared first. Raises TFileError when
/// the file cannot be read, TBatchFileInvalid when it has fewer than four lines or the wrong
/// magic or version (the merge settings are then unchanged), TDataError when the merge flag is
/// no Boolean (nothing changed) and, with the file and line, when an entry line holds no integer
/// item or coordinate-system index or its item is outside `catalogue`: the entries read before
/// that line stay, the bad line is dropped. Once the first lines are read, `list.FileName` is
/// `path`.
void LoadBatchFile(const std::filesystem::path& path, const driver::TCatalogue& catalogue,
                   TBatchList& list);

/// Whether `path` is a regular file whose first line is a batch list's ("tolvane", trimmed, any
/// letter case). Reads no more than the first line's few bytes; never raises.
bool IsBatchListFile(const std::filesystem::path& path);

/// Writes `list` to `path`, replacing it whole (an earlier file stays until the new one is
/// complete), and makes `path` the list's FileName. Raises TDataError when a path holds a
/// character that Shift-JIS cannot write, TFileError when the file cannot be written (nothing is
/// changed then).
void SaveBatchFile(const std::filesystem::path& path, TBatchList& list);

} // namespace tolvane::batch
