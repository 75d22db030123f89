// Reading layers back with GDAL.
#include "GdalReadBack.h"

#include <charconv>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <gtest/gtest.h>

namespace tolvane::test {

namespace {

struct TCloser
{
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

std::unique_ptr<GDALDataset, TCloser> OpenVector(const std::filesystem::path& file,
                                                 bool update = false)
{
    GDALAllRegister();
    return std::unique_ptr<GDALDataset, TCloser>(GDALDataset::Open(
        file.c_str(), GDAL_OF_VECTOR | (update ? GDAL_OF_UPDATE : GDAL_OF_READONLY), nullptr,
        nullptr, nullptr));
}

std::string ValueText(OGRFeature& feature, int i)
{
    if (!feature.IsFieldSetAndNotNull(i)) {
        return "(null)";
    }
    if (feature.GetFieldDefnRef(i)->GetType() == OFTReal) {
        char buffer[64];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, feature.GetFieldAsDouble(i));
        return std::string(buffer, result.ptr);
    }
    return feature.GetFieldAsString(i);
}

} // namespace

std::string Wkt(const OGRGeometry* geometry)
{
    if (geometry == nullptr) {
        return "(none)";
    }
    OGRWktOptions options;
    options.precision = 17;
    return geometry->exportToWkt(options);
}

TLayerRead ReadLayer(const std::filesystem::path& file, const std::string& layerName)
{
    // The MapInfo reader warns about every value it reads in its own way.
    CPLPushErrorHandler(CPLQuietErrorHandler);
    struct TPop
    {
        ~TPop() { CPLPopErrorHandler(); }
    } pop;
    TLayerRead read;
    const auto dataset = OpenVector(file);
    if (!dataset) {
        ADD_FAILURE() << "GDAL cannot open " << file << ": " << CPLGetLastErrorMsg();
        return read;
    }
    OGRLayer* layer =
        layerName.empty() ? dataset->GetLayer(0) : dataset->GetLayerByName(layerName.c_str());
    if (layer == nullptr) {
        ADD_FAILURE() << "no layer '" << layerName << "' in " << file;
        return read;
    }
    read.Name = layer->GetName();
    read.GeometryType = layer->GetGeomType();
    OGRFeatureDefn* definition = layer->GetLayerDefn();
    for (int i = 0; i < definition->GetFieldCount(); ++i) {
        read.Fields.emplace_back(definition->GetFieldDefn(i)->GetNameRef());
        read.Types.push_back(definition->GetFieldDefn(i)->GetType());
    }
    if (const OGRSpatialReference* srs = layer->GetSpatialRef()) {
        read.HasSrs = true;
        read.SrsName = srs->GetName() != nullptr ? srs->GetName() : "";
        const char* code = srs->GetAuthorityCode(nullptr);
        const char* authority = srs->GetAuthorityName(nullptr);
        if (code != nullptr && authority != nullptr && std::string_view(authority) == "EPSG") {
            read.Epsg = std::atoi(code);
        }
    }
    layer->ResetReading();
    while (OGRFeature* raw = layer->GetNextFeature()) {
        const std::unique_ptr<OGRFeature> feature(raw);
        std::vector<std::string> values;
        for (int i = 0; i < feature->GetFieldCount(); ++i) {
            values.push_back(ValueText(*feature, i));
        }
        read.Values.push_back(std::move(values));
        read.Geometries.emplace_back(feature->StealGeometry());
    }
    return read;
}

std::vector<std::string> LayerNames(const std::filesystem::path& file)
{
    std::vector<std::string> names;
    const auto dataset = OpenVector(file, true);
    if (!dataset) {
        ADD_FAILURE() << "GDAL cannot open " << file;
        return names;
    }
    for (int i = 0; i < dataset->GetLayerCount(); ++i) {
        names.emplace_back(dataset->GetLayer(i)->GetName());
    }
    return names;
}

std::string QueryText(const std::filesystem::path& file, const std::string& sql)
{
    const auto dataset = OpenVector(file);
    if (!dataset) {
        ADD_FAILURE() << "GDAL cannot open " << file;
        return {};
    }
    OGRLayer* result = dataset->ExecuteSQL(sql.c_str(), nullptr, "SQLITE");
    if (result == nullptr) {
        ADD_FAILURE() << "query failed: " << sql;
        return {};
    }
    std::string text = "(no row)";
    if (OGRFeature* feature = result->GetNextFeature()) {
        text = feature->IsFieldSetAndNotNull(0) ? feature->GetFieldAsString(0) : "(null)";
        OGRFeature::DestroyFeature(feature);
    }
    dataset->ReleaseResultSet(result);
    return text;
}

void ExpectSameLayer(const TLayerRead& expected, const TLayerRead& actual, bool types)
{
    EXPECT_EQ(actual.Fields, expected.Fields);
    if (types) {
        EXPECT_EQ(actual.Types, expected.Types);
    }
    ASSERT_EQ(actual.Values.size(), expected.Values.size()) << "feature count";
    for (std::size_t i = 0; i < expected.Values.size(); ++i) {
        SCOPED_TRACE("feature " + std::to_string(i + 1));
        EXPECT_EQ(actual.Values[i], expected.Values[i]);
        const OGRGeometry* want = expected.Geometries[i].get();
        const OGRGeometry* got = actual.Geometries[i].get();
        const bool same =
            want == nullptr ? got == nullptr : got != nullptr && want->Equals(got) != FALSE;
        EXPECT_TRUE(same) << "expected " << Wkt(want) << "\n  actual " << Wkt(got);
    }
}

} // namespace tolvane::test
