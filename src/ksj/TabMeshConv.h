// The tab-separated mesh converter: third-level cells from records that start with an 8-digit
// mesh code, and a CSV copy of the records.
#pragma once

#include "ksj/ConvertContext.h"

namespace tolvane::ksj {

/// Converts every line that does not start with "H": the third-level cell of bytes 1 to 4, 5 and
/// 6, 7 and 8 as a region, those 8 bytes as its row, and the line's tab-separated fields as a row
/// of ctx.CsvCopy after the lines of DefineDir/S04_AC.txt (as raw header lines). Events are
/// pumped every kPumpInterval lines. Raises TFileError when S04_AC.txt cannot be read (before
/// any row) and TDataError for a mesh code that is not a number.
void ConvertM3NS(TConvertContext& ctx);

} // namespace tolvane::ksj
