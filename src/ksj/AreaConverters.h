// Surface and area files: records that name chains of the same file, joined into one outline.
#pragma once

#include "ksj/ConvertContext.h"

namespace tolvane::ksj {

/// Format "S": every line starting with "S" names, after its reference count at bytes 48 to 53,
/// the chains of a line; each chain is turned to continue where the outline ends. An outline of
/// two or more points is written as a polyline, with the column slices of the header as its row.
void ConvertSurface(TConvertContext& ctx);

/// Formats "A" and "AC": every line starting with "A" names, after its reference count at bytes
/// 46 to 51, the chains of its boundary, each reversed when its second key is negative. The
/// outline is written as a region (clockwise and closed; none found gives "None"). With
/// `ctx.ClosedOnly` ("AC") an outline that is empty or does not end where it starts is dropped
/// with its row.
void ConvertArea(TConvertContext& ctx);

} // namespace tolvane::ksj
