// Line files: every chain becomes one MIF polyline.
#pragma once

#include "ksj/ConvertContext.h"

namespace tolvane::ksj {

/// Formats "L" and "AL": every line starting with "L" is a chain header whose point count at
/// bytes 46 to 51 announces the coordinate lines that follow. Each chain is written as a
/// single-section polyline (a chain of fewer than two points as "None"), with the column slices
/// of its header as the MID row.
void ConvertLine(TConvertContext& ctx);

} // namespace tolvane::ksj
