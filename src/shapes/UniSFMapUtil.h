// Shape and column records carried from the converters to the MIF writer, and the planar
// geometry the writer needs: bounding boxes, signed ring areas and ring normalisation.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tolvane::shapes {

/// Column types of the MIF column block.
enum class TColType : std::uint8_t {
    Char = 0,
    Integer = 1,
    Float = 2,
    Date = 3,
    Logical = 4,
};

/// One attribute column.
struct TSFColumn
{
    std::string Name; ///< CP932, written unchanged
    TColType ColType = TColType::Char;
    std::int32_t Width = 100; ///< length of a Char column
};

using TSFColumns = std::vector<TSFColumn>;

/// A position in decimal degrees: X the longitude, Y the latitude.
struct TSFPoint
{
    double X = 0.0;
    double Y = 0.0;

    friend bool operator==(const TSFPoint&, const TSFPoint&) = default;
};

/// Fields shared by regions and polylines. Invariants every producer keeps: NumPoints equals
/// Points.size(); with NumParts above 1, Parts has NumParts entries starting with 0.
struct TSFShape
{
    double MinX = 0.0;
    double MinY = 0.0;
    double MaxX = 0.0;
    double MaxY = 0.0;
    std::int32_t NumParts = 0;
    std::int32_t NumPoints = 0;
    std::vector<std::int32_t> Parts;
    std::vector<TSFPoint> Points;

    /// Makes the shape a single part of `points`.
    void SetSinglePart(std::vector<TSFPoint> points);
};

/// A region: rings.
struct TSFPolygon : TSFShape
{
};

/// A polyline: sections.
struct TSFPolyLine : TSFShape
{
};

/// Sets MinX, MinY, MaxX and MaxY from the first NumPoints points; with NumPoints 0 or less the
/// box stays as it was.
void CalcBounds(TSFPolygon& shape);
void CalcBounds(TSFPolyLine& shape);

/// Signed area of the ring (x[i], y[i]) by the shoelace formula: positive for a
/// counter-clockwise ring. 0 when the sequences differ in length or hold fewer than three
/// values; -1 when the arithmetic overflows. Inline: the subdivided meshes ask it for every
/// cell.
inline double PolygonArea(std::span<const double> x, std::span<const double> y)
{
    if (x.size() != y.size() || x.size() < 3) {
        return 0.0;
    }
    const std::size_t n = x.size();
    double sum = x[0] * (y[1] - y[n - 1]);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        sum += x[i] * (y[i + 1] - y[i - 1]);
    }
    sum += x[n - 1] * (y[0] - y[n - 2]);
    const double area = sum / 2;
    if (!std::isfinite(area)) {
        return -1.0;
    }
    return area;
}

/// Turns a single ring of three or more points clockwise (a positive area reverses it) and
/// closes it by repeating the first point when the ends differ. Shapes with more than one part,
/// or fewer than three points, are left alone. The box is not touched.
void NormalizeRing(TSFPolygon& shape);

} // namespace tolvane::shapes
