// Reading a layer back with GDAL's OGR API, as a GIS would: field names and types, values as
// text, geometries and the EPSG code; and a full disk for the failure tests.
#pragma once

#include <csignal>
#include <filesystem>
#include <memory>
#include <ogr_geometry.h>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace tolvane::test {

struct TLayerRead
{
    std::string Name;
    std::vector<std::string> Fields;
    std::vector<OGRFieldType> Types;
    /// Per feature, per field: "(null)" for no value, the shortest exact text of a Real.
    std::vector<std::vector<std::string>> Values;
    std::vector<std::unique_ptr<OGRGeometry>> Geometries; ///< nullptr for no geometry
    bool HasSrs = false;
    std::string SrsName;
    int Epsg = 0; ///< 0 when the CRS has no EPSG code
    OGRwkbGeometryType GeometryType = wkbUnknown;
};

/// The layer `layer` of `file` (the first when empty). Fails the test when it cannot be read.
TLayerRead ReadLayer(const std::filesystem::path& file, const std::string& layer = {});

/// The names of the layers of `file`, opened for update (GDAL opens a GeoPackage without tables
/// only so).
std::vector<std::string> LayerNames(const std::filesystem::path& file);

/// The first value of the result of `sql` on `file` (SQLite dialect), as text.
std::string QueryText(const std::filesystem::path& file, const std::string& sql);

/// Expects the same fields, features (in order), values and geometries in both; the types too
/// when `types` is set.
void ExpectSameLayer(const TLayerRead& expected, const TLayerRead& actual, bool types);

std::string Wkt(const OGRGeometry* geometry);

// A limit on the size of files stands in for a full disk: writes beyond it fail as they would.
struct TFileSizeLimit
{
    explicit TFileSizeLimit(rlim_t bytes) : Handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &Old);
        rlimit limit = Old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &Old);
        std::signal(SIGXFSZ, Handler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

    rlimit Old{};
    void (*Handler)(int);
};

} // namespace tolvane::test
