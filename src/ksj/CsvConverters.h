// Comma-separated point lists with coordinates in seconds of arc.
#pragma once

#include "ksj/ConvertContext.h"

namespace tolvane::ksj {

/// Format "PCSV": after a header line, every line is one Point with X in field 2 and Y in field
/// 3 (seconds of arc); the MID row is the line unchanged. A missing or unreadable coordinate
/// (a blank line too) fails the conversion.
void ConvertPointCsv(TConvertContext& ctx);

/// Format "PCSV2": as ConvertPointCsv with X in field 1 and Y in field 2.
void ConvertPointCsv2(TConvertContext& ctx);

} // namespace tolvane::ksj
