// Point and node files: every record of the right letter becomes one MIF Point.
#pragma once

#include "ksj/ConvertContext.h"

namespace tolvane::ksj {

/// Format "P": lines starting with "P", X at bytes 10 to 17 and Y at 18 to 25 (tenths of an
/// arc-second). A record with a blank X or Y writes nothing; its MID row is the column slices.
void ConvertPoint(TConvertContext& ctx);

/// Format "N": lines starting with "N", X at bytes 16 to 23 and Y at 24 to 31.
void ConvertNode(TConvertContext& ctx);

} // namespace tolvane::ksj
