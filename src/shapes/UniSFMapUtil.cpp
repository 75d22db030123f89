// Shape records and planar geometry.
#include "shapes/UniSFMapUtil.h"

#include <cmath>

namespace tolvane::shapes {

void TSFShape::SetSinglePart(std::vector<TSFPoint> points)
{
    NumParts = 1;
    Parts.assign(1, 0);
    Points = std::move(points);
    NumPoints = static_cast<std::int32_t>(Points.size());
}

namespace {

void CalcShapeBounds(TSFShape& shape)
{
    const std::int32_t n = shape.NumPoints;
    if (n <= 0) {
        return;
    }
    shape.MinX = shape.MaxX = shape.Points[0].X;
    shape.MinY = shape.MaxY = shape.Points[0].Y;
    for (std::int32_t i = 1; i < n; ++i) {
        const TSFPoint& p = shape.Points[static_cast<std::size_t>(i)];
        if (p.X > shape.MaxX) {
            shape.MaxX = p.X;
        }
        if (p.X < shape.MinX) {
            shape.MinX = p.X;
        }
        if (p.Y > shape.MaxY) {
            shape.MaxY = p.Y;
        }
        if (p.Y < shape.MinY) {
            shape.MinY = p.Y;
        }
    }
}

} // namespace

void CalcBounds(TSFPolygon& shape)
{
    CalcShapeBounds(shape);
}

void CalcBounds(TSFPolyLine& shape)
{
    CalcShapeBounds(shape);
}

void NormalizeRing(TSFPolygon& shape)
{
    if (shape.NumParts > 1 || shape.NumPoints < 3) {
        return;
    }
    const auto n = static_cast<std::size_t>(shape.NumPoints);
    // Small rings (every mesh cell) stay on the stack.
    constexpr std::size_t kLocal = 16;
    double localX[kLocal];
    double localY[kLocal];
    std::vector<double> heapX;
    std::vector<double> heapY;
    double* xs = localX;
    double* ys = localY;
    if (n > kLocal) {
        heapX.resize(n);
        heapY.resize(n);
        xs = heapX.data();
        ys = heapY.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
        xs[i] = shape.Points[i].X;
        ys[i] = shape.Points[i].Y;
    }
    if (PolygonArea({xs, n}, {ys, n}) > 0) {
        for (std::size_t j = 0; j < n; ++j) {
            shape.Points[j] = TSFPoint{xs[n - 1 - j], ys[n - 1 - j]};
        }
    }
    const TSFPoint first = shape.Points.front();
    const TSFPoint last = shape.Points.back();
    if (last.X != first.X || last.Y != first.Y) {
        ++shape.NumPoints;
        shape.Points.push_back(first);
    }
}

} // namespace tolvane::shapes
