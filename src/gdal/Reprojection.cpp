// EPSG codes and PROJ's choice of transformation.
//
// GDAL 3.6 with PROJ 9.1 (Debian 12) and without GSI's grid files takes EPSG:4301 (Tokyo) to
// EPSG:4612 (JGD2000) near Tokyo by "Tokyo to JGD2000 (1)" (EPSG:15483, a Helmert
// transformation stated to 9 m); "Tokyo to JGD2000 (2)" (0.2 m) needs tky2jgd.gsb.
#include "gdal/Reprojection.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <proj.h>
#include <system_error>

#include "base/AppError.h"
#include "base/uniMessages.h"
#include "gdal/GdalSupport.h"

namespace tolvane::gdal {

namespace {

struct TProjDeleter
{
    void operator()(PJ* object) const noexcept { proj_destroy(object); }
    void operator()(PJ_CONTEXT* context) const noexcept { proj_context_destroy(context); }
    void operator()(PJ_OBJ_LIST* list) const noexcept { proj_list_destroy(list); }
    void operator()(PJ_OPERATION_FACTORY_CONTEXT* factory) const noexcept
    {
        proj_operation_factory_context_destroy(factory);
    }
};

template <class T> using TProjPtr = std::unique_ptr<T, TProjDeleter>;

TProjPtr<PJ> CreateCrs(PJ_CONTEXT* context, int epsg)
{
    const std::string code = std::to_string(epsg);
    TProjPtr<PJ> crs(
        proj_create_from_database(context, "EPSG", code.c_str(), PJ_CATEGORY_CRS, 0, nullptr));
    if (!crs) {
        throw base::TDataError(base::FormatMessage(base::kMsgUnknownCrs, {code, ""}));
    }
    return crs;
}

/// True when the first axis of `crs` points north (latitude or northing first).
bool NorthFirst(PJ_CONTEXT* context, const PJ* crs)
{
    const TProjPtr<PJ> system(proj_crs_get_coordinate_system(context, crs));
    const char* direction = nullptr;
    if (!system || proj_cs_get_axis_info(context, system.get(), 0, nullptr, nullptr, &direction,
                                         nullptr, nullptr, nullptr, nullptr) == 0) {
        return false;
    }
    return direction != nullptr && std::string_view(direction) == "north";
}

std::string FormatNumber(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace

int ParseEpsg(std::string_view text)
{
    const std::string original(text);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    constexpr std::string_view kPrefix = "epsg:";
    bool prefixed = text.size() > kPrefix.size();
    for (std::size_t i = 0; prefixed && i < kPrefix.size(); ++i) {
        const char c = text[i];
        prefixed = (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == kPrefix[i];
    }
    int code = 0;
    if (prefixed) {
        const std::string_view digits = text.substr(kPrefix.size());
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), code);
        prefixed = error == std::errc() && end == digits.data() + digits.size() && code > 0 &&
                   digits.front() != '+';
    }
    if (!prefixed) {
        throw base::TDataError(base::FormatMessage(base::kMsgBadCrs, {original}));
    }
    MakeSrs(code);
    return code;
}

TTransformation DescribeTransformation(int sourceEpsg, int targetEpsg, const shapes::TSFPoint& at)
{
    const TProjPtr<PJ_CONTEXT> context(proj_context_create());
    // Without this PROJ logs every operation whose grid is missing.
    proj_log_level(context.get(), PJ_LOG_NONE);
    const TProjPtr<PJ> source = CreateCrs(context.get(), sourceEpsg);
    const TProjPtr<PJ> target = CreateCrs(context.get(), targetEpsg);

    // As GDAL's transformation builds its list without network access: operations whose grids
    // are missing are left out.
    const TProjPtr<PJ_OPERATION_FACTORY_CONTEXT> factory(
        proj_create_operation_factory_context(context.get(), nullptr));
    proj_operation_factory_context_set_spatial_criterion(
        context.get(), factory.get(), PROJ_SPATIAL_CRITERION_PARTIAL_INTERSECTION);
    proj_operation_factory_context_set_grid_availability_use(
        context.get(), factory.get(), PROJ_GRID_AVAILABILITY_DISCARD_OPERATION_IF_MISSING_GRID);
    const TProjPtr<PJ_OBJ_LIST> operations(
        proj_create_operations(context.get(), source.get(), target.get(), factory.get()));

    // The point in the source's own axis order.
    const bool swap = NorthFirst(context.get(), source.get());
    const PJ_COORD point = proj_coord(swap ? at.Y : at.X, swap ? at.X : at.Y, 0, HUGE_VAL);
    const int index =
        operations && proj_list_get_count(operations.get()) > 0
            ? proj_get_suggested_operation(context.get(), operations.get(), PJ_FWD, point)
            : -1;
    if (index < 0) {
        throw base::TAppError(
            base::FormatMessage(base::kMsgNoTransformation,
                                {std::to_string(sourceEpsg), std::to_string(targetEpsg), ""}));
    }
    const TProjPtr<PJ> operation(proj_list_get(context.get(), operations.get(), index));

    TTransformation result;
    const char* name = proj_get_name(operation.get());
    result.Name = name != nullptr ? name : "";
    const char* authority = proj_get_id_auth_name(operation.get(), 0);
    const char* code = proj_get_id_code(operation.get(), 0);
    if (authority != nullptr && code != nullptr) {
        result.Id = std::string(authority) + ":" + code;
    }
    result.Accuracy = proj_coordoperation_get_accuracy(context.get(), operation.get());

    const TProjPtr<PJ> visual(proj_normalize_for_visualization(context.get(), operation.get()));
    if (visual) {
        const PJ_COORD moved =
            proj_trans(visual.get(), PJ_FWD, proj_coord(at.X, at.Y, 0, HUGE_VAL));
        result.Result = shapes::TSFPoint{moved.xy.x, moved.xy.y};
    }
    return result;
}

std::string TransformationText(const TTransformation& transformation, int sourceEpsg,
                               int targetEpsg)
{
    std::string name = transformation.Name;
    if (!transformation.Id.empty()) {
        name += " (" + transformation.Id + ")";
    }
    const std::string source = std::to_string(sourceEpsg);
    const std::string target = std::to_string(targetEpsg);
    if (transformation.Accuracy < 0) {
        return base::FormatMessage(base::kMsgTransformationNoAccuracy, {name, source, target});
    }
    return base::FormatMessage(base::kMsgTransformation,
                               {name, FormatNumber(transformation.Accuracy), source, target});
}

} // namespace tolvane::gdal
