// Decoding of KSJ positions: coordinates in tenths of an arc-second and mesh codes.
#pragma once

namespace tolvane::ksj {

/// A KSJ coordinate in tenths of an arc-second as decimal degrees: divided by 10, by 60 and by
/// 60, in this order (the order decides the last digit written).
inline double KsjCoordToDegree(double value)
{
    return value / 10 / 60 / 60;
}

} // namespace tolvane::ksj
