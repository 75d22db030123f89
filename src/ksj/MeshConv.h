// The mesh converters: one fixed-width record per grid cell, turned into MIF regions or points
// with one MID row per object.
#pragma once

#include "ksj/ConvertContext.h"

namespace tolvane::ksj {

// Every converter reads the source to its end, one progress step per line read, and converts
// only the lines whose first byte is "M". It raises the first error it meets (TDataError for an
// unreadable mesh code, quarter number, parameter or column definition; TFileError for I/O);
// what it wrote before stays.
//
// The one-object formats read the first-level code at bytes 6 to 9, the second-level code at 10
// and 11 and the third-level code at 12 and 13; their row is one trimmed slice per line of
// ColumnDefLines. Events are pumped every kPumpInterval lines, or every kPumpIntervalShort lines
// for M4 and the subdivided formats.

/// Second-level cells.
void ConvertM2(TConvertContext& ctx);
/// Second-level cells of the records whose byte 12 is "1".
void ConvertM21(TConvertContext& ctx);
/// ... byte 12 is "2".
void ConvertM22(TConvertContext& ctx);
/// ... byte 12 is "3".
void ConvertM23(TConvertContext& ctx);
/// ... byte 12 is "4".
void ConvertM24(TConvertContext& ctx);
/// Third-level cells.
void ConvertM3(TConvertContext& ctx);
/// Quarters of third-level cells; the quarter number (1 to 4) is the digit at byte 14.
void ConvertM4(TConvertContext& ctx);

// The subdivided formats read S, B and K from lines 2 to 4 of ParamLines before the first line
// (fewer lines: list-index error; a line that is no integer: integer error). The mesh code stands
// at S (4 bytes), S + 4 (2) and S + 6 (2). Each record gives one object per sub-cell k; its row
// starts with the three trimmed code pieces (and, for 10 × 10, the cell number "rc"), followed
// by the slices of the remaining column lines shifted by k × K + B.

/// 100 regions per record, k = row × 10 + column from the south-west cell.
void ConvertM3_10(TConvertContext& ctx);
/// 100 centre points per record, in the order of ConvertM3_10.
void ConvertM3_10P(TConvertContext& ctx);
/// 16 regions per record, k = row × 4 + column from the north-west cell.
void ConvertM3_4(TConvertContext& ctx);
/// 16 centre points per record, in the order of ConvertM3_4.
void ConvertM3_4P(TConvertContext& ctx);

} // namespace tolvane::ksj
