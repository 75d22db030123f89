// The tab-separated mesh converter: third-level cells from records that start with an 8-digit
// mesh code, and a CSV copy of the records.
#pragma once

#include "convert/ConvertContext.h"

namespace tolvane::ksj {

/// Converts every line that does not start with "H": the third-level cell of bytes 1 to 4, 5 and
/// 6, 7 and 8 as a region, those 8 bytes as the MID row, and the whole line as a CSV line (each
/// tab-separated field in double quotes, inner double quotes doubled) after the lines of
/// DefineDir/S04_AC.txt. Events are pumped every 10000 lines.
///
/// The CSV goes to a temporary file beside CsvFile that replaces CsvFile only when every line
/// has been converted; on any error the temporary file is removed and an earlier CsvFile stays as
/// it was. Raises TFileError when S04_AC.txt cannot be read (before any output) or a file cannot
/// be written, and TDataError for a mesh code that is not a number.
void ConvertM3NS(convert::TConvertContext& ctx);

} // namespace tolvane::ksj
