// One conversion job: a data item of the catalogue, a source file, a destination and a
// coordinate system, from the first line count to the closed outputs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/AppError.h"
#include "base/JobObserver.h"
#include "driver/Catalogue.h"
#include "ksj/ConverterTable.h"
#include "shapes/uniCoordSys.h"

namespace tolvane::driver {

/// How a job ended.
struct TJobResult
{
    bool Succeeded = false;
    /// Why it failed: the error that arose while converting, with the file and line.
    std::optional<base::TAppError> Failure;
    /// What was written: objects with their rows, ledger rows, and the files put in place.
    std::int64_t Objects = 0;
    std::int64_t LedgerRows = 0;
    std::vector<std::filesystem::path> Files;
    /// What the input checks noticed without stopping the job (UTF-8, one sentence each).
    std::vector<std::string> Warnings;

    // NOLINTNEXTLINE(google-explicit-constructor): a result reads as the job's success
    operator bool() const noexcept { return Succeeded; }
};

/// Converts `srcFile` as the data item at `itemIndex` of `catalogue` to `dstFile` (the MIF; the
/// other files of ListJobFiles beside it: the MID, and the ledger CSV or the converter's CSV
/// copy; a ledger-only item writes only the CSV). `coordSys` names the datum of the source's
/// coordinates.
///
/// Succeeds when every output was written. Fails when an error arose while converting; the
/// result then holds it, with the file and line where it arose, and what was written before it
/// stays.
///
/// Raises the error itself, having closed every file it opened, when the job cannot even start:
/// the source cannot be read, the item index is outside the catalogue, an output cannot be
/// created or would overwrite the source, a parameter or column definition file is missing.
TJobResult ConvertDataItem(const TCatalogue& catalogue, std::int64_t itemIndex,
                           const std::filesystem::path& srcFile,
                           const std::filesystem::path& dstFile, shapes::TCoordSysIndex coordSys,
                           base::TJobObserver& observer,
                           std::span<const ksj::TConverterEntry> table = ksj::kConverterTable);

} // namespace tolvane::driver
