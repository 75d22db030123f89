// GDAL's drivers, errors and coordinate reference systems.
#include "gdal/GdalSupport.h"

#include <gdal_priv.h>
#include <mutex>

#include "base/AppError.h"
#include "base/uniMessages.h"

namespace tolvane::gdal {

void RegisterDrivers()
{
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

void CPL_STDCALL TGdalErrors::Handle(CPLErr level, CPLErrorNum /*number*/, const char* message)
{
    auto* self = static_cast<TGdalErrors*>(CPLGetErrorHandlerUserData());
    if ((level == CE_Failure || level == CE_Fatal) && !self->m_failed) {
        self->m_failed = true;
        self->m_message = message != nullptr ? message : "";
    }
}

std::unique_ptr<OGRSpatialReference> MakeSrs(int epsg)
{
    const TGdalErrors errors;
    auto srs = std::make_unique<OGRSpatialReference>();
    if (srs->importFromEPSG(epsg) != OGRERR_NONE) {
        throw base::TDataError(
            base::FormatMessage(base::kMsgUnknownCrs, {std::to_string(epsg), errors.Message()}));
    }
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

} // namespace tolvane::gdal
