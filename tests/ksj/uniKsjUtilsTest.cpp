// Coordinates and mesh codes decoded into degrees, cell rings and centre points.
#include "ksj/uniKsjUtils.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/uniNumbers.h"

using namespace tolvane::ksj;
using tolvane::base::FormatCoordString;
using tolvane::base::TDataError;
using tolvane::shapes::TSFPoint;
using tolvane::shapes::TSFPolygon;

namespace {

// A point as the MIF writer prints it.
std::string Text(const TSFPoint& p)
{
    return FormatCoordString(p.X) + " " + FormatCoordString(p.Y);
}

std::vector<std::string> Texts(const TSFPolygon& shape)
{
    std::vector<std::string> out;
    for (const TSFPoint& p : shape.Points) {
        out.push_back(Text(p));
    }
    return out;
}

void ExpectClosedRing(const TSFPolygon& shape)
{
    EXPECT_EQ(shape.NumParts, 1);
    EXPECT_EQ(shape.Parts, std::vector<std::int32_t>{0});
    EXPECT_EQ(shape.NumPoints, 5);
    ASSERT_EQ(shape.Points.size(), 5U);
    EXPECT_EQ(shape.Points[4], shape.Points[0]);
}

// The third-level cell 5339-45-27 of the examples.
constexpr double kLat = 35.68333333333333;
constexpr double kLon = 139.7125;

void Origin(double& lat, double& lon)
{
    Mesh3Origin("5339", "45", "27", lat, lon);
}

} // namespace

TEST(KsjCoordToDegree, TenthsOfArcSecondsToDegrees)
{
    EXPECT_EQ(KsjCoordToDegree(5022000), 139.5);
    EXPECT_EQ(KsjCoordToDegree(1278000), 35.5);
    EXPECT_EQ(KsjCoordToDegree(0), 0.0);
    // Divided by 10, 60 and 60 in turn, not by 36000 at once: the two differ in the last bit.
    EXPECT_EQ(KsjCoordToDegree(13), 13.0 / 10 / 60 / 60);
    EXPECT_NE(KsjCoordToDegree(13), 13.0 / 36000);
}

TEST(Mesh2ToPolygon, SecondLevelCellCounterClockwiseFromSouthWest)
{
    TSFPolygon shape;
    shape.Points.assign(9, {1, 1}); // previous contents are replaced
    Mesh2ToPolygon("5339", "45", shape);
    ExpectClosedRing(shape);
    EXPECT_EQ(Texts(shape),
              (std::vector<std::string>{"139.62500000 35.66666667", "139.75000000 35.66666667",
                                        "139.75000000 35.75000000", "139.62500000 35.75000000",
                                        "139.62500000 35.66666667"}));
    EXPECT_EQ(shape.MinX, 139.625);
    EXPECT_EQ(shape.MaxX, 139.75);
    EXPECT_EQ(FormatCoordString(shape.MinY), "35.66666667");
    EXPECT_EQ(FormatCoordString(shape.MaxY), "35.75000000");
}

TEST(Mesh3ToPolygon, ThirdLevelCellAndOrigin)
{
    TSFPolygon shape;
    Mesh3ToPolygon("5339", "45", "27", shape);
    ExpectClosedRing(shape);
    EXPECT_EQ(Texts(shape),
              (std::vector<std::string>{"139.71250000 35.68333333", "139.72500000 35.68333333",
                                        "139.72500000 35.69166667", "139.71250000 35.69166667",
                                        "139.71250000 35.68333333"}));
    EXPECT_EQ(FormatCoordString(shape.MaxX), "139.72500000");
    EXPECT_EQ(FormatCoordString(shape.MaxY), "35.69166667");

    double lat = 0;
    double lon = 0;
    Origin(lat, lon);
    EXPECT_EQ(lat, shape.Points[0].Y);
    EXPECT_EQ(lon, shape.Points[0].X);
    EXPECT_EQ(FormatCoordString(lat), "35.68333333");
    EXPECT_EQ(lon, 139.7125);
}

TEST(Mesh3Origin, ArithmeticInTheDocumentedOrder)
{
    // p / 3 × 2 (divide first), plus q × 1/12 and r × 1/120 with the fractions as doubles. Other
    // orders differ in the last bit for some codes; every code must match this one exactly.
    int differsFromOtherOrder = 0;
    for (int p = 0; p < 100; ++p) {
        for (int q = 0; q < 10; ++q) {
            for (int r = 0; r < 10; r += 3) {
                const std::string code1 = std::to_string(p / 10) + std::to_string(p % 10) + "39";
                const std::string code2 = std::to_string(q) + "5";
                const std::string code3 = std::to_string(r) + "7";
                double lat = 0;
                double lon = 0;
                Mesh3Origin(code1, code2, code3, lat, lon);
                const double expected = double(p) / 3 * 2 + q * (1.0 / 12) + r * (1.0 / 120);
                ASSERT_EQ(lat, expected) << code1 << code2 << code3;
                if (lat != double(p) * 2 / 3 + q / 12.0 + r / 120.0) {
                    ++differsFromOtherOrder;
                }
                ASSERT_EQ(lon, 139.0 + 5 * (1.0 / 8) + 7 * (1.0 / 80));
            }
        }
    }
    EXPECT_GT(differsFromOtherOrder, 0);
}

TEST(Mesh4ToPolygon, QuartersClockwiseFromSouthWest)
{
    double lat = 0;
    double lon = 0;
    Origin(lat, lon);
    struct TCase
    {
        std::int32_t Quarter;
        const char* SouthWest;
        const char* NorthEast;
    };
    const TCase cases[] = {
        {1, "139.71250000 35.68333333", "139.71875000 35.68750000"},
        {2, "139.71875000 35.68333333", "139.72500000 35.68750000"},
        {3, "139.71250000 35.68750000", "139.71875000 35.69166667"},
        {4, "139.71875000 35.68750000", "139.72500000 35.69166667"},
        {0, "139.71250000 35.68333333", "139.71875000 35.68750000"},
        {5, "139.71250000 35.68333333", "139.71875000 35.68750000"},
        {-1, "139.71250000 35.68333333", "139.71875000 35.68750000"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Quarter);
        TSFPolygon shape;
        Mesh4ToPolygon(c.Quarter, shape, lat, lon);
        ExpectClosedRing(shape);
        const auto texts = Texts(shape);
        EXPECT_EQ(texts[0], c.SouthWest);
        EXPECT_EQ(texts[2], c.NorthEast);
        // South-west, north-west, north-east, south-east.
        EXPECT_EQ(shape.Points[1].X, shape.Points[0].X);
        EXPECT_GT(shape.Points[1].Y, shape.Points[0].Y);
        EXPECT_EQ(shape.Points[3].Y, shape.Points[0].Y);
        EXPECT_GT(shape.Points[3].X, shape.Points[0].X);
    }
}

TEST(Mesh3Sub10, CellAndCentreFromTheSouthWest)
{
    double lat = 0;
    double lon = 0;
    Origin(lat, lon);
    TSFPolygon shape;
    Mesh3Sub10ToPolygon(7, 3, shape, lat, lon);
    ExpectClosedRing(shape);
    EXPECT_EQ(Texts(shape),
              (std::vector<std::string>{"139.72125000 35.68583333", "139.72250000 35.68583333",
                                        "139.72250000 35.68666667", "139.72125000 35.68666667",
                                        "139.72125000 35.68583333"}));
    EXPECT_EQ(shape.MinX, shape.Points[0].X);
    EXPECT_EQ(shape.MaxY, shape.Points[2].Y);

    TSFPoint centre;
    Mesh3Sub10Center(7, 3, centre, lat, lon);
    EXPECT_EQ(Text(centre), "139.72187500 35.68625000");

    // Outside the range the same formulas place the cell outside the third-level cell.
    Mesh3Sub10ToPolygon(10, -1, shape, lat, lon);
    EXPECT_EQ(Text(shape.Points[0]), "139.72500000 35.68250000");
}

TEST(Mesh3Sub4, CellAndCentreFromTheNorthWest)
{
    double lat = 0;
    double lon = 0;
    Origin(lat, lon);
    TSFPolygon shape;
    Mesh3Sub4ToPolygon(1, 2, shape, lat, lon);
    ExpectClosedRing(shape);
    EXPECT_EQ(Texts(shape),
              (std::vector<std::string>{"139.71562500 35.68750000", "139.71562500 35.68541667",
                                        "139.71875000 35.68541667", "139.71875000 35.68750000",
                                        "139.71562500 35.68750000"}));
    EXPECT_EQ(FormatCoordString(shape.MinY), "35.68541667");
    EXPECT_EQ(FormatCoordString(shape.MaxX), "139.71875000");

    TSFPoint centre;
    Mesh3Sub4Center(1, 2, centre, lat, lon);
    EXPECT_EQ(Text(centre), "139.71718750 35.68645833");

    // Row 0 is the northernmost: its top edge is the top of the third-level cell.
    Mesh3Sub4ToPolygon(0, 0, shape, lat, lon);
    EXPECT_EQ(Text(shape.Points[0]), "139.71250000 35.69166667");
}

TEST(MeshCodes, DigitGroupsThatAreNotNumbersFail)
{
    struct TCase
    {
        const char* Code1;
        const char* Code2;
        const char* Code3;
        const char* Message;
    };
    const TCase cases[] = {
        {"53A9", "45", "27", "'A9' は浮動小数点数ではありません"},
        {"53", "45", "27", "'' は浮動小数点数ではありません"},
        {"5339", "4", "27", "'' は浮動小数点数ではありません"},
        {"5339", "4x", "27", "'x' は浮動小数点数ではありません"},
        {"5339", "45", "  ", "' ' は浮動小数点数ではありません"},
        {"", "45", "27", "'' は浮動小数点数ではありません"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Code1) + "|" + c.Code2 + "|" + c.Code3);
        TSFPolygon shape;
        Mesh2ToPolygon("3036", "00", shape);
        const TSFPolygon before = shape;
        try {
            Mesh3ToPolygon(c.Code1, c.Code2, c.Code3, shape);
            FAIL() << "no error";
        } catch (const TDataError& e) {
            EXPECT_EQ(e.Text(), c.Message);
        }
        EXPECT_EQ(shape.Points, before.Points); // the shape keeps what it held
        double lat = -1;
        double lon = -1;
        EXPECT_THROW(Mesh3Origin(c.Code1, c.Code2, c.Code3, lat, lon), TDataError);
        EXPECT_EQ(lat, -1);
        EXPECT_EQ(lon, -1);
    }
    TSFPolygon shape;
    EXPECT_THROW(Mesh2ToPolygon("53A9", "45", shape), TDataError);
    EXPECT_EQ(shape.NumPoints, 0);
}

TEST(MeshCodes, DigitGroupsAreReadAsGeneralNumbers)
{
    // Blanks around a group, a sign or a decimal point are read as the float conversion reads
    // them; the positions of the pieces stay.
    TSFPolygon plain;
    TSFPolygon blanks;
    Mesh3ToPolygon("5339", "45", "27", plain);
    Mesh3ToPolygon("53 39", "45", "27", blanks); // "53", " 3": longitude 3 only
    EXPECT_EQ(Text(blanks.Points[0]), "103.71250000 35.68333333");
    Mesh3ToPolygon("5339", "45", "27  ", blanks); // only the first two characters count
    EXPECT_EQ(blanks.Points, plain.Points);
    Mesh3ToPolygon("-1+9", "45", "27", blanks);
    EXPECT_EQ(Text(blanks.Points[0]), "109.71250000 -0.31666667");
}
