// Which files a job writes: the one rule the driver, the batch checks and the merge share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/Catalogue.h"
#include "ksj/ConvertContext.h"

namespace tolvane::driver {

/// The format of a job's outputs, which the destination's extension picks.
enum class TOutputFormat : std::uint8_t {
    Mif,        ///< .mif, any other extension or none: MIF and MID, tables as CSV (Shift-JIS)
    GeoPackage, ///< .gpkg: one file holding the layer of the objects and the tables
    GeoJson,    ///< .geojson, .json: the objects, and the tables as UTF-8 CSV beside them
};

/// The format that the extension of `dstFile` picks (its letters in any case).
TOutputFormat OutputFormatOf(const std::filesystem::path& dstFile);

/// Whether this build writes `format`: GeoPackage and GeoJSON need GDAL.
bool CanWrite(TOutputFormat format) noexcept;

/// Why this build cannot write `dstFile` in the format its extension picks (kMsgGdalMissing),
/// or nothing when it can.
std::optional<std::string> WhyCannotWrite(const std::filesystem::path& dstFile);

/// What a file, or a layer of one, holds.
enum class TFileRole : std::uint8_t {
    Features,   ///< the objects (.mif; the layer of a GeoPackage or GeoJSON file)
    Attributes, ///< their rows (.mid)
    Ledger,     ///< the ledger (.csv; the table <layer>_ledger of a GeoPackage)
    CsvCopy,    ///< the copy of the records that some converters write (.csv; <layer>_csv)
};

/// How a file is written.
enum class TFileFormat : std::uint8_t {
    Mif,
    Mid,
    Csv,     ///< Shift-JIS
    Utf8Csv, ///< beside a GeoJSON file
    GeoPackage,
    GeoJson,
};

/// A layer or table inside a file written through GDAL.
struct TJobLayer
{
    TFileRole Role = TFileRole::Features;
    std::string Name; ///< UTF-8
};

struct TJobFile
{
    TFileRole Role = TFileRole::Features; ///< what it holds (a GeoPackage: its first layer)
    std::filesystem::path Path;
    TFileFormat Format = TFileFormat::Mif;
    /// A GeoPackage or GeoJSON file: its layers, the objects' named after the destination's stem
    /// and a GeoPackage's tables after the layer with a "_ledger" or "_csv" suffix.
    std::vector<TJobLayer> Layers;

    bool Holds(TFileRole role) const;
};

using TJobFiles = std::vector<TJobFile>;

/// The files a job of `item` writes for the destination `dstFile`, in the order it creates them.
/// The table is the ledger when the item has one, else the CSV copy when its converter in
/// `table` writes one, else none.
/// - MIF: the MIF (`dstFile` itself) and the MID unless the item is ledger-only, then the table
///   as a CSV file.
/// - GeoPackage: `dstFile` alone, holding the layer (unless ledger-only) and the table; no file
///   when it would hold neither.
/// - GeoJSON: `dstFile` unless the item is ledger-only, then the table as a UTF-8 CSV file.
TJobFiles ListJobFiles(const TCatalogueLine& item, const std::filesystem::path& dstFile,
                       std::span<const ksj::TConverterEntry> table);

/// Every file a job for `dstFile` may write, whatever its item: the MIF, the MID and the CSV; a
/// GeoPackage; a GeoJSON file and the CSV.
TJobFiles ListPossibleJobFiles(const std::filesystem::path& dstFile);

/// The files that a merge of jobs of `item` writes to `combineFile`: those of ListJobFiles that
/// a merge joins (the objects with their rows and the ledger; not a converter's CSV copy).
TJobFiles ListMergedFiles(const TCatalogueLine& item, const std::filesystem::path& combineFile,
                          std::span<const ksj::TConverterEntry> table);

/// The file of `files` that holds `role`, or nullptr.
const std::filesystem::path* FindJobFile(const TJobFiles& files, TFileRole role);

/// The layer of `files` that holds `role` (files written through GDAL), or nullptr.
const TJobLayer* FindJobLayer(const TJobFiles& files, TFileRole role);

} // namespace tolvane::driver
