// EPSG codes, PROJ's choice of transformation, and outputs that transform their coordinates.
#include "gdal/Reprojection.h"

#include <cmath>

#include <gtest/gtest.h>

#include "GdalReadBack.h"
#include "base/AppError.h"
#include "base/uniMessages.h"
#include "gdal/GdalOutput.h"
#include "support/TestSupport.h"

using namespace tolvane::gdal;
using namespace tolvane::shapes;
using tolvane::base::TAppError;
using tolvane::base::TDataError;
using tolvane::test::ReadLayer;
using tolvane::test::TTempDir;

namespace {

TEST(ParseEpsg, AcceptsEpsgCodesGdalKnows)
{
    EXPECT_EQ(ParseEpsg("EPSG:4612"), 4612);
    EXPECT_EQ(ParseEpsg(" epsg:6668 "), 6668);
    for (const char* text : {"4612", "EPSG:", "EPSG:x", "EPSG:-4612", "EPSG:+4612", "EPSG:4612a",
                             "WGS84", "EPSG:999999"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ParseEpsg(text), TDataError);
    }
}

// Writes one point in Tokyo datum coordinates to a GeoPackage transformed to EPSG:target, and
// reads it back.
tolvane::test::TLayerRead WriteTransformed(const TTempDir& dir, int target, TSFPoint point)
{
    const auto path = dir / "x.gpkg";
    TGdalDataset dataset(TGdalFormat::GeoPackage, path);
    const auto out = dataset.CreateFeatureOutput({"x", 0, "", target});
    out->Begin({});
    TSFRow row;
    out->WritePoint(point, row);
    out->Finish();
    dataset.Finish();
    return ReadLayer(path);
}

TEST(DescribeTransformation, NamesTheOperationTheOutputsUse)
{
    const TSFPoint tokyo{139.7, 35.6};
    const TTransformation transformation = DescribeTransformation(4301, 4612, tokyo);
    // Without GSI's grid files: the Helmert transformation.
    EXPECT_EQ(transformation.Name, "Tokyo to JGD2000 (1)");
    EXPECT_EQ(transformation.Id, "EPSG:15483");
    EXPECT_EQ(transformation.Accuracy, 9.0);

    const TTempDir dir;
    const auto read = WriteTransformed(dir, 4612, tokyo);
    EXPECT_EQ(read.Epsg, 4612);
    ASSERT_EQ(read.Geometries.size(), 1U);
    const auto* point = dynamic_cast<const OGRPoint*>(read.Geometries[0].get());
    ASSERT_NE(point, nullptr);
    EXPECT_NEAR(point->getX(), transformation.Result.X, 1e-12);
    EXPECT_NEAR(point->getY(), transformation.Result.Y, 1e-12);
    // The datum shift in Tokyo: some 300 m west and 360 m north.
    const double east = (point->getX() - tokyo.X) * 111320.0 * std::cos(35.6 / 180 * M_PI);
    const double north = (point->getY() - tokyo.Y) * 110940.0;
    EXPECT_LT(east, -250.0);
    EXPECT_GT(north, 300.0);
    EXPECT_LT(std::hypot(east, north), 600.0);

    tolvane::base::SetMessageLanguage(tolvane::base::TLanguage::English);
    EXPECT_EQ(TransformationText(transformation, 4301, 4612),
              "Transformation: Tokyo to JGD2000 (1) (EPSG:15483), accuracy 9 m (EPSG:4301 to "
              "EPSG:4612)");
    tolvane::base::SetMessageLanguage(tolvane::base::TLanguage::Japanese);
    EXPECT_EQ(TransformationText({"op", "", -1.0, {}}, 4301, 4612),
              "座標変換: op、精度不明 (EPSG:4301 → EPSG:4612)");
}

TEST(DescribeTransformation, Failures)
{
    EXPECT_THROW(DescribeTransformation(4301, 999999, {139.7, 35.6}), TDataError);
    const TTempDir dir;
    TGdalDataset dataset(TGdalFormat::GeoPackage, dir / "x.gpkg");
    // Coordinates of no known datum cannot be transformed.
    EXPECT_THROW(dataset.CreateFeatureOutput({"x", 7, "", 4612}), TAppError);
    EXPECT_THROW(dataset.CreateFeatureOutput({"x", 0, "", 999999}), TDataError);
}

} // namespace
