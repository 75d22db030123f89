// The MIF/MID writer: MapInfo Interchange Format version 300, Shift-JIS, CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/uniTextFile.h"
#include "shapes/FeatureOutput.h"
#include "shapes/UniSFMapUtil.h"

namespace tolvane::mif {

using base::TSjisWriter;
using shapes::TSFColumns;
using shapes::TSFPoint;
using shapes::TSFPolygon;
using shapes::TSFPolyLine;
using shapes::TSFRow;

/// "Version 300", "Charset "WindowsJapanese"", "Delimiter ","", "CoordSys " + clause.
void WriteMifHeader(TSjisWriter& mif, std::string_view clause);
/// "Columns n", one line per column, "Data" and an empty line.
void WriteMifColumns(TSjisWriter& mif, const TSFColumns& columns);
/// "Point x y".
void WriteMifPoint(TSjisWriter& mif, const TSFPoint& point);
/// One region. A single ring is first normalised in the caller's record (clockwise, closed);
/// rings of a multi-ring region are written as stored. A single ring of fewer than two points
/// has no geometry any reader accepts and is written as "None".
void WriteMifRegion(TSjisWriter& mif, TSFPolygon& shape);
/// One polyline; a single section of fewer than two points is written as "None".
void WriteMifPLine(TSjisWriter& mif, const TSFPolyLine& shape);
/// The empty object.
void WriteMifNone(TSjisWriter& mif);

/// Appends one coordinate line "x y" + CR LF.
void WriteCoordLine(TSjisWriter& mif, const TSFPoint& point);

/// Appends one value of a .mid row. A value holding a comma or a double quote is quoted, with
/// inner double quotes doubled, so that it stays in its column; every other value is written
/// as it stands.
void AppendMidValue(std::string& row, std::string_view value);

/// The most bytes `row` can take as one line with every value quoted (each inner quote doubled)
/// and raw text as it stands, with the commas and CR LF.
std::size_t QuotedRowBound(const TSFRow& row) noexcept;

/// WriteMidRow for a row that is not plain.
void WriteQuotedMidRow(TSjisWriter& mid, const TSFRow& row);

/// Writes `row` as one .mid line: its values separated by commas, each as AppendMidValue
/// writes it, raw text as it stands.
inline void WriteMidRow(TSjisWriter& mid, const TSFRow& row)
{
    if (row.IsPlain()) {
        mid.WriteLine(row.Joined());
    } else {
        WriteQuotedMidRow(mid, row);
    }
}

} // namespace tolvane::mif
