// One conversion job: a data item of the catalogue, a source file, a destination and a
// coordinate system, from the first line count to the closed outputs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/AppError.h"
#include "base/JobObserver.h"
#include "base/OutputFiles.h"
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
    /// What a user should know about the outputs beyond their content: the transformation used
    /// for TJobOptions::TargetEpsg (UTF-8, one line each).
    std::vector<std::string> Notes;

    // NOLINTNEXTLINE(google-explicit-constructor): a result reads as the job's success
    operator bool() const noexcept { return Succeeded; }
};

/// How a job writes beyond its four values.
struct TJobOptions
{
    /// GeoPackage and GeoJSON outputs only: every coordinate transformed to EPSG:TargetEpsg
    /// (through PROJ), which becomes the layer's CRS; 0 for none.
    int TargetEpsg = 0;
};

/// A converted job whose outputs still wait under their temporary names (base::TOutputFiles):
/// Place() puts them in place as the outcome asks; a job dropped without it leaves the earlier
/// files untouched and no temporary file.
class TPendingJob
{
public:
    TPendingJob(TJobResult result, std::unique_ptr<base::TOutputFiles> outputs);
    TPendingJob(TPendingJob&&) noexcept;
    TPendingJob& operator=(TPendingJob&&) noexcept;
    ~TPendingJob();

    /// The outcome so far (Files is still empty).
    const TJobResult& Result() const noexcept { return m_result; }

    /// Puts the outputs in place: all of them after a success; after a failure those that a
    /// failed job keeps (the MIF, the MID and the ledger CSV as far as they were written, never
    /// a converter's CSV copy). A file that cannot be put in place fails the job. Returns the
    /// result with the files now in place.
    TJobResult Place();

private:
    TJobResult m_result;
    std::unique_ptr<base::TOutputFiles> m_outputs;
};

/// Converts `srcFile` as the data item at `itemIndex` of `catalogue` to `dstFile`, in the
/// format that its extension picks (OutputFormatOf) and as the files of ListJobFiles: the MIF
/// with the MID, and the ledger CSV or the converter's CSV copy beside it (a ledger-only item
/// writes only the CSV); a GeoPackage holding the layer and the table; a GeoJSON file with a
/// UTF-8 CSV beside it. `coordSys` names the datum of the source's coordinates; nothing moves
/// them unless `options` asks for a transformation.
///
/// Every output is written under a temporary name in its destination's folder and put in place
/// when the job ends, so that until then the earlier files stay whole; another job writing one
/// of the same files at the same time is refused.
///
/// Succeeds when every output was written. Fails when an error arose while converting (GDAL's
/// included); the result then holds it, with the file and line where it arose, and what was
/// written before it is put in place: the MIF, the MID and the ledger CSV, as far as they were
/// written; nothing of a GeoPackage or GeoJSON job, whose earlier files stay whole. The result
/// says what was written (objects, ledger rows, files), what the input checks noticed
/// (Warnings: a KSJ header of another item or line count, a file name whose datum is not the
/// chosen one) and the transformation used (Notes).
///
/// Raises the error itself, having put nothing in place and closed every file it opened, when
/// the job cannot even start: the source is not a readable file, the item index is outside the
/// catalogue or its definition file names leave the Define folder, the destination's format
/// needs GDAL and this build has none (kMsgGdalMissing), a transformation is asked for a MIF
/// destination or cannot be made, an output cannot be created, would overwrite the source or is
/// being written by another job, a parameter or column definition file is missing.
///
/// Raises TJobCancelled when the observer asks the job to stop: nothing is put in place, the
/// temporary files are removed.
TJobResult ConvertDataItem(const TCatalogue& catalogue, std::int64_t itemIndex,
                           const std::filesystem::path& srcFile,
                           const std::filesystem::path& dstFile, shapes::TCoordSysIndex coordSys,
                           base::TJobObserver& observer,
                           std::span<const ksj::TConverterEntry> table = ksj::kConverterTable,
                           const TJobOptions& options = {});

/// ConvertDataItem up to the end of the conversion: the outputs wait for Place().
TPendingJob ConvertPending(const TCatalogue& catalogue, std::int64_t itemIndex,
                           const std::filesystem::path& srcFile,
                           const std::filesystem::path& dstFile, shapes::TCoordSysIndex coordSys,
                           base::TJobObserver& observer,
                           std::span<const ksj::TConverterEntry> table = ksj::kConverterTable,
                           const TJobOptions& options = {});

} // namespace tolvane::driver
