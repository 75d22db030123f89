// Bounding boxes, signed ring areas and ring normalisation.
#include "shapes/UniSFMapUtil.h"

#include <limits>

#include <gtest/gtest.h>

using namespace tolvane::shapes;

namespace {

TSFPolygon Ring(std::vector<TSFPoint> points, std::int32_t numParts = 1)
{
    TSFPolygon shape;
    shape.SetSinglePart(std::move(points));
    shape.NumParts = numParts;
    return shape;
}

using TPoints = std::vector<TSFPoint>;

} // namespace

TEST(CalcBounds, FromThePoints)
{
    TSFPolygon empty;
    empty.MinX = 7;
    empty.MaxY = 9;
    CalcBounds(empty);
    EXPECT_EQ(empty.MinX, 7);
    EXPECT_EQ(empty.MaxY, 9);

    TSFPolyLine one;
    one.SetSinglePart({{139, 35}});
    CalcBounds(one);
    EXPECT_EQ(one.MinX, 139);
    EXPECT_EQ(one.MaxX, 139);
    EXPECT_EQ(one.MinY, 35);
    EXPECT_EQ(one.MaxY, 35);

    TSFPolygon many = Ring({{1, 5}, {-2, 3}, {4, -1}, {0, 8}});
    CalcBounds(many);
    EXPECT_EQ(many.MinX, -2);
    EXPECT_EQ(many.MaxX, 4);
    EXPECT_EQ(many.MinY, -1);
    EXPECT_EQ(many.MaxY, 8);
}

TEST(PolygonArea, ShoelaceWithSign)
{
    const std::vector<double> x{0, 1, 0};
    const std::vector<double> y{0, 0, 1};
    EXPECT_EQ(PolygonArea(x, y), 0.5);
    EXPECT_EQ(PolygonArea(std::vector<double>{0, 0, 1}, std::vector<double>{0, 1, 0}), -0.5);
    EXPECT_EQ(PolygonArea(std::vector<double>{0, 1}, std::vector<double>{0, 0}), 0.0);
    EXPECT_EQ(PolygonArea(std::vector<double>{0, 1, 0}, std::vector<double>{0, 0, 1, 1}), 0.0);
    EXPECT_EQ(PolygonArea(std::vector<double>{0, 1, 1, 0, 0}, std::vector<double>{0, 0, 1, 1, 0}),
              1.0);
    const double big = std::numeric_limits<double>::max();
    EXPECT_EQ(PolygonArea(std::vector<double>{big, big, -big}, std::vector<double>{big, -big, big}),
              -1.0);
}

TEST(NormalizeRing, ClockwiseAndClosed)
{
    TSFPolygon triangle = Ring({{0, 0}, {1, 0}, {0, 1}});
    NormalizeRing(triangle);
    EXPECT_EQ(triangle.Points, (TPoints{{0, 1}, {1, 0}, {0, 0}, {0, 1}}));
    EXPECT_EQ(triangle.NumPoints, 4);

    TSFPolygon square = Ring({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}});
    NormalizeRing(square);
    EXPECT_EQ(square.Points, (TPoints{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}));
    EXPECT_EQ(square.NumPoints, 5);

    TSFPolygon clockwise = Ring({{0, 1}, {1, 0}, {0, 0}});
    NormalizeRing(clockwise);
    EXPECT_EQ(clockwise.Points, (TPoints{{0, 1}, {1, 0}, {0, 0}, {0, 1}}));

    TSFPolygon collinear = Ring({{0, 0}, {1, 1}, {2, 2}});
    NormalizeRing(collinear);
    EXPECT_EQ(collinear.Points, (TPoints{{0, 0}, {1, 1}, {2, 2}, {0, 0}}));
}

TEST(NormalizeRing, LeavesMultiPartAndShortRingsAlone)
{
    TSFPolygon twoParts = Ring({{0, 0}, {1, 0}, {0, 1}}, 2);
    NormalizeRing(twoParts);
    EXPECT_EQ(twoParts.Points, (TPoints{{0, 0}, {1, 0}, {0, 1}}));
    EXPECT_EQ(twoParts.NumPoints, 3);

    TSFPolygon twoPoints = Ring({{0, 0}, {1, 0}});
    NormalizeRing(twoPoints);
    EXPECT_EQ(twoPoints.NumPoints, 2);
}
