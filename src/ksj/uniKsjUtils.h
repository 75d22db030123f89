// Decoding of KSJ positions: coordinates in tenths of an arc-second and mesh codes.
#pragma once

#include <cstdint>
#include <string_view>

#include "shapes/UniSFMapUtil.h"

namespace tolvane::ksj {

/// A KSJ coordinate in tenths of an arc-second as decimal degrees: divided by 10, by 60 and by
/// 60, in this order (the order decides the last digit written).
inline double KsjCoordToDegree(double value)
{
    return value / 10 / 60 / 60;
}

// A mesh code reaches the operations below cut into its level pieces, each as it stands in the
// record: the first-level code (4 characters: latitude code p, longitude code u), the
// second-level code (2 characters: row q, column v of the 8 x 8 division) and the third-level
// code (2 characters: row r, column w of the 10 x 10 division). Rows count northward and columns
// eastward from 0. Each digit group is read with the general text-to-float conversion; one that
// is not a number raises TDataError "'…' は浮動小数点数ではありません" before anything changes.
//
// A ring is left in the shape as one closed part of five points (the four corners in the stated
// order, then the first again), with its bounding box; the arithmetic follows the stated order
// exactly, since it decides the last digit written.

/// The second-level cell: south-west, south-east, north-east, north-west, south-west.
void Mesh2ToPolygon(std::string_view code1, std::string_view code2, shapes::TSFPolygon& shape);

/// The third-level cell, in the order of Mesh2ToPolygon.
void Mesh3ToPolygon(std::string_view code1, std::string_view code2, std::string_view code3,
                    shapes::TSFPolygon& shape);

/// The south-west corner of the third-level cell: latitude p / 3 × 2 + q × 1/12 + r × 1/120,
/// longitude u + 100 + v × 1/8 + w × 1/80.
void Mesh3Origin(std::string_view code1, std::string_view code2, std::string_view code3,
                 double& lat, double& lon);

/// One quarter of the third-level cell whose south-west corner is (lon, lat): 1 south-west,
/// 2 south-east, 3 north-west, 4 north-east; any other number gives quarter 1. Ring: south-west,
/// north-west, north-east, south-east, south-west.
void Mesh4ToPolygon(std::int32_t quarter, shapes::TSFPolygon& shape, double lat, double lon);

/// Cell (column, row) of the 10 × 10 division, row 0 southernmost: south-west, south-east,
/// north-east, north-west, south-west.
void Mesh3Sub10ToPolygon(std::int32_t column, std::int32_t row, shapes::TSFPolygon& shape,
                         double lat, double lon);
/// The centre of that cell.
void Mesh3Sub10Center(std::int32_t column, std::int32_t row, shapes::TSFPoint& point, double lat,
                      double lon);

/// Cell (column, row) of the 4 × 4 division, row 0 northernmost: north-west, south-west,
/// south-east, north-east, north-west.
void Mesh3Sub4ToPolygon(std::int32_t column, std::int32_t row, shapes::TSFPolygon& shape,
                        double lat, double lon);
/// The centre of that cell.
void Mesh3Sub4Center(std::int32_t column, std::int32_t row, shapes::TSFPoint& point, double lat,
                     double lon);

} // namespace tolvane::ksj
