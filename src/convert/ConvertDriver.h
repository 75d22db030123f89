// One conversion job: a data item of the catalogue, a source file, a destination and a
// coordinate system, from the first line count to the closed outputs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "convert/Catalogue.h"
#include "convert/ConverterTable.h"
#include "convert/JobObserver.h"

namespace tolvane::convert {

/// Converts `srcFile` as the data item at `itemIndex` of `catalogue` to `dstFile` (the MIF; the
/// MID beside it with the extension ".mid", and the ledger CSV with ".csv"; a ledger-only item
/// writes only the CSV). `coordSysIndex` 0, 1 or 2 picks Tokyo datum, WGS84 or JGD2000.
///
/// Returns true when every output was written. Returns false when an error arose while
/// converting; the error, with the file and line where it arose, then goes to
/// `observer.JobFailed` and what was written before it stays.
///
/// Raises the error itself, having closed every file it opened, when the job cannot even start:
/// the source cannot be read, the item index is outside the catalogue, an output cannot be
/// created or would overwrite the source, a parameter or column definition file is missing.
bool ConvertDataItem(const TCatalogue& catalogue, std::int64_t itemIndex,
                     const std::filesystem::path& srcFile, const std::filesystem::path& dstFile,
                     std::int64_t coordSysIndex, TJobObserver& observer,
                     std::span<const TConverterEntry> table = kConverterTable);

} // namespace tolvane::convert
