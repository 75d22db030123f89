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

namespace {

// GDAL's messages may quote a whole SQL statement (a spatial index's nodes run to megabytes): a
// message for people keeps its start and its end, where the reason stands.
constexpr std::size_t kMessageEnds = 160;

std::string Shortened(std::string message)
{
    if (message.size() <= 3 * kMessageEnds) {
        return message;
    }
    const auto isContinuation = [&message](std::size_t at) {
        return (static_cast<unsigned char>(message[at]) & 0xC0U) == 0x80U;
    };
    std::size_t head = kMessageEnds;
    while (head > 0 && isContinuation(head)) {
        --head;
    }
    std::size_t tail = message.size() - kMessageEnds;
    while (tail < message.size() && isContinuation(tail)) {
        ++tail;
    }
    return message.substr(0, head) + " … " + message.substr(tail);
}

} // namespace

void CPL_STDCALL TGdalErrors::Handle(CPLErr level, CPLErrorNum /*number*/, const char* message)
{
    auto* self = static_cast<TGdalErrors*>(CPLGetErrorHandlerUserData());
    if ((level == CE_Failure || level == CE_Fatal) && !self->m_failed) {
        self->m_failed = true;
        self->m_message = Shortened(message != nullptr ? message : "");
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
