// What the GDAL outputs share: GDAL's drivers, its error reports and coordinate reference systems
// by EPSG code.
#pragma once

#include <cpl_error.h>
#include <memory>
#include <ogr_spatialref.h>
#include <string>

namespace tolvane::gdal {

/// Registers GDAL's drivers, once per process.
void RegisterDrivers();

/// The failures GDAL reports through CPLError in this thread while an instance lives. Warnings
/// are dropped: without a handler GDAL would print them on stderr.
class TGdalErrors
{
public:
    TGdalErrors() { CPLPushErrorHandlerEx(&TGdalErrors::Handle, this); }
    ~TGdalErrors() { CPLPopErrorHandler(); }
    TGdalErrors(const TGdalErrors&) = delete;
    TGdalErrors& operator=(const TGdalErrors&) = delete;

    bool Failed() const noexcept { return m_failed; }
    /// The first failure's message.
    const std::string& Message() const noexcept { return m_message; }

private:
    static void CPL_STDCALL Handle(CPLErr level, CPLErrorNum number, const char* message);

    bool m_failed = false;
    std::string m_message;
};

/// EPSG:`epsg` with longitude (or easting) as X and latitude (or northing) as Y. Raises
/// TDataError for a code GDAL does not know.
std::unique_ptr<OGRSpatialReference> MakeSrs(int epsg);

} // namespace tolvane::gdal
