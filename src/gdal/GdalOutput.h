// The outputs written through GDAL: a GeoPackage (one layer of objects and the job's tables in one
// file, the whole job in one transaction) or a GeoJSON file. They hold what GDAL reads from our
// MIF output of the same calls, plus the coordinate reference system with its EPSG code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "shapes/FeatureOutput.h"
#include "shapes/uniCoordSys.h"

namespace tolvane::gdal {

/// The formats written through GDAL.
enum class TGdalFormat : std::uint8_t {
    GeoPackage, ///< .gpkg
    GeoJson,    ///< .geojson, .json
};

/// The layer of a job's objects.
struct TLayerOptions
{
    std::string Name;                    ///< UTF-8: the destination's stem
    shapes::TCoordSysIndex CoordSys = 0; ///< the datum of the coordinates handed over; outside
                                         ///< shapes::kCoordSystems the layer has no CRS
    std::string Description;             ///< UTF-8; where the format keeps one (SourceDescription)
    int TargetEpsg = 0; ///< 0: coordinates as handed over; otherwise every coordinate is
                        ///< transformed to EPSG:TargetEpsg, which becomes the layer's CRS
};

/// The description of a job's data: its item name (CP932), its source file and this program's
/// version, UTF-8.
std::string SourceDescription(std::string_view itemName, const std::filesystem::path& srcFile);

/// A layer that TGdalDataset::AppendFrom fills from layers of other files (a merge).
struct TAppendTarget
{
    std::string Name;                    ///< UTF-8
    shapes::TCoordSysIndex CoordSys = 0; ///< the layer's CRS, as TLayerOptions::CoordSys
    std::string Description;             ///< UTF-8; where the format keeps one
    bool Table = false;                  ///< attributes only (a ledger): no geometry, no CRS
};

/// One file written through GDAL. It hands out the output of the job's objects (one) and, in a
/// GeoPackage, outputs of tables in the same file (attribute-only tables). Every output holds a
/// share of the file, so they may end in any order; Finish() ends the file.
///
/// A GeoPackage is written in one transaction, which Finish() commits after building every
/// layer's spatial index: without Finish() (a failed job) nothing of the job is committed. A
/// GeoJSON file is written as it comes; its writes are checked, so a full disk fails the call
/// that meets it, or Finish().
///
/// Failures raise base::TFileError with the path and GDAL's message (or the system's reason):
/// a file that cannot be created, a full disk, any error GDAL reports. Bad options raise
/// base::TDataError (an unknown EPSG code) or base::TAppError (no transformation).
class TGdalDataset
{
public:
    /// Creates `path`, replacing a file that is there (and a GeoPackage's journal beside it).
    TGdalDataset(TGdalFormat format, const std::filesystem::path& path);
    /// Without Finish(): rolls back and closes, without reporting errors.
    ~TGdalDataset();
    TGdalDataset(const TGdalDataset&) = delete;
    TGdalDataset& operator=(const TGdalDataset&) = delete;

    TGdalFormat Format() const noexcept;
    /// True when the file can hold tables (GeoPackage); GeoJSON's tables go beside it
    /// (TUtf8CsvOutput).
    bool HoldsTables() const noexcept { return Format() == TGdalFormat::GeoPackage; }

    /// The output of the job's objects: a layer named options.Name with the CRS of
    /// options.CoordSys (EPSG 4301, 4326 or 4612), created by its Begin(). Its Finish() ends
    /// the layer (and builds its spatial index). One per file.
    std::unique_ptr<shapes::TFeatureOutput> CreateFeatureOutput(const TLayerOptions& options);
    /// A table `name` (UTF-8) without geometry: its first header line names the columns (all
    /// text), later header lines and rows are its records. GeoPackage only.
    std::unique_ptr<shapes::TTableOutput> CreateTableOutput(const std::string& name,
                                                            const std::string& description = {});

    /// Copies every feature of the layer `layer` of `source` (a GeoPackage or GeoJSON file of
    /// ours; a GeoJSON file's only layer whatever its name) to the end of this file's layer
    /// `target.Name`, in the source's order. The first call for a target creates it with the
    /// source layer's fields and geometry type; later sources' fields are matched by name.
    /// `tick` is called every so many features and may raise to stop. Returns the features
    /// copied. Raises TFileError naming `source` when it cannot be read or has no such layer.
    std::int64_t AppendFrom(const std::filesystem::path& source, const std::string& layer,
                            const TAppendTarget& target,
                            const std::function<void()>& tick = nullptr);
    /// Creates `target` without fields when no AppendFrom has (a merge of no file).
    void EnsureLayer(const TAppendTarget& target);

    /// When a layer's coordinates were transformed (TLayerOptions::TargetEpsg): which
    /// transformation PROJ uses at the centre of their extent, as one line for the user
    /// (TransformationText). Empty when nothing was transformed.
    std::string TransformationNote() const;

    /// Ends the file: every layer written out, the transaction committed, the file closed.
    /// Raises when any of it fails.
    void Finish();

    class TState;

private:
    std::shared_ptr<TState> m_state;
};

} // namespace tolvane::gdal
