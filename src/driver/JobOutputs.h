// The outputs of one job in the format its destination picks: where the converter's objects go,
// and the tables beside them.
#pragma once

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "driver/JobFiles.h"
#include "shapes/FeatureOutput.h"
#include "shapes/uniCoordSys.h"

namespace tolvane::driver {

/// What the outputs of a job are written with.
struct TOutputSettings
{
    shapes::TCoordSysIndex CoordSys = 0;
    /// Files written through GDAL: every coordinate transformed to EPSG:TargetEpsg (0: none).
    int TargetEpsg = 0;
    /// Files written through GDAL: where the data came from, where the format keeps it.
    std::string ItemName; ///< CP932
    std::filesystem::path SourceFile;
};

/// The writers of a job's files (ListJobFiles), each writing at its path of `writePaths`.
class TJobOutputs
{
public:
    /// Creates the files that exist from the start (the MIF and MID; a GeoPackage or GeoJSON
    /// file and the layer of its objects). Raises TFileError when one cannot be created, and
    /// TAppError when the coordinates cannot be transformed as asked.
    TJobOutputs(const TJobFiles& files, std::span<const std::filesystem::path> writePaths,
                const TOutputSettings& settings);
    /// Closes what is open without reporting errors; a GeoPackage that was not finished keeps
    /// nothing of the job.
    ~TJobOutputs();
    TJobOutputs(const TJobOutputs&) = delete;
    TJobOutputs& operator=(const TJobOutputs&) = delete;

    /// Where the objects go; nullptr when the job writes none (a ledger-only item).
    shapes::TFeatureOutput* Features() const noexcept;
    /// A new output for the table of `role` (the ledger or the CSV copy), created now; nullptr
    /// when the job has no such table.
    std::unique_ptr<shapes::TTableOutput> CreateTable(TFileRole role);
    /// Ends every file after the outputs have finished: a GeoPackage's transaction is committed
    /// and its file closed. Raises when that fails.
    void Finish();

    /// What a user should know about the outputs beyond their content: the transformation
    /// used (UTF-8, one line each).
    std::vector<std::string> Notes() const;

    class TGdalParts;

private:
    const TJobFiles& m_files;
    std::span<const std::filesystem::path> m_writePaths;
    TOutputSettings m_settings;
    std::unique_ptr<TGdalParts> m_gdal;
    // Before the file it writes to goes (a GDAL layer holds a share of it).
    std::unique_ptr<shapes::TFeatureOutput> m_features;
};

} // namespace tolvane::driver
