// The MIF/MID writer.
#include "mif/uniMifUtils.h"

#include <charconv>
#include <cstring>

#include "base/uniBytes.h"
#include "base/uniNumbers.h"

namespace tolvane::mif {

using base::FormatCoord;
using base::kCoordBufferSize;
using shapes::TColType;
using shapes::TSFColumn;
using shapes::TSFShape;

namespace {

void WriteCountLine(TSjisWriter& mif, std::string_view prefix, long long count)
{
    char* out = mif.Reserve(prefix.size() + 24);
    std::memcpy(out, prefix.data(), prefix.size());
    char* end = std::to_chars(out + prefix.size(), out + prefix.size() + 20, count).ptr;
    *end++ = '\r';
    *end++ = '\n';
    mif.Commit(static_cast<std::size_t>(end - out));
}

void WriteRing(TSjisWriter& mif, const std::vector<TSFPoint>& points, std::size_t first,
               std::size_t count)
{
    for (std::size_t i = 0; i < count && first + i < points.size(); ++i) {
        WriteCoordLine(mif, points[first + i]);
    }
}

// Point count of part k: the next start minus this one, or the rest of the points.
std::size_t PartCount(const TSFShape& shape, std::size_t k)
{
    const auto start = static_cast<std::size_t>(shape.Parts[k]);
    const std::size_t next = k + 1 < shape.Parts.size()
                                 ? static_cast<std::size_t>(shape.Parts[k + 1])
                                 : shape.Points.size();
    return next >= start ? next - start : 0;
}

} // namespace

void WriteMifHeader(TSjisWriter& mif, std::string_view clause)
{
    mif.WriteLine("Version 300");
    mif.WriteLine("Charset \"WindowsJapanese\"");
    mif.WriteLine("Delimiter \",\"");
    std::string line = "CoordSys ";
    line.append(clause);
    mif.WriteLine(line);
}

void WriteMifColumns(TSjisWriter& mif, const TSFColumns& columns)
{
    WriteCountLine(mif, "Columns ", static_cast<long long>(columns.size()));
    std::string line;
    for (const TSFColumn& column : columns) {
        line.assign(column.Name);
        switch (column.ColType) {
        case TColType::Char:
            line.append(" Char(");
            line.append(std::to_string(column.Width));
            line.push_back(')');
            break;
        case TColType::Integer:
            line.append(" Integer");
            break;
        case TColType::Float:
            line.append(" Float");
            break;
        case TColType::Date:
            line.append(" Date");
            break;
        case TColType::Logical:
            line.append(" Logical");
            break;
        }
        mif.WriteLine(line);
    }
    mif.WriteLine("Data");
    mif.WriteLine("");
}

void WriteCoordLine(TSjisWriter& mif, const TSFPoint& point)
{
    char* out = mif.Reserve(2 * kCoordBufferSize + 4);
    std::size_t len = FormatCoord(point.X, out);
    out[len++] = ' ';
    len += FormatCoord(point.Y, out + len);
    out[len++] = '\r';
    out[len++] = '\n';
    mif.Commit(len);
}

void WriteMifPoint(TSjisWriter& mif, const TSFPoint& point)
{
    char* out = mif.Reserve(2 * kCoordBufferSize + 10);
    std::memcpy(out, "Point ", 6);
    std::size_t len = 6;
    len += FormatCoord(point.X, out + len);
    out[len++] = ' ';
    len += FormatCoord(point.Y, out + len);
    out[len++] = '\r';
    out[len++] = '\n';
    mif.Commit(len);
}

void WriteMifNone(TSjisWriter& mif)
{
    mif.WriteLine("None");
}

void WriteMifRegion(TSjisWriter& mif, TSFPolygon& shape)
{
    if (shape.NumParts <= 1) {
        NormalizeRing(shape);
        if (shape.NumPoints < 2) {
            WriteMifNone(mif);
            return;
        }
        mif.WriteLine("Region 1");
        WriteCountLine(mif, "  ", shape.NumPoints);
        WriteRing(mif, shape.Points, 0, shape.Points.size());
        mif.WriteLine("");
        return;
    }
    WriteCountLine(mif, "Region ", shape.NumParts);
    for (std::size_t k = 0; k < shape.Parts.size(); ++k) {
        const std::size_t count = PartCount(shape, k);
        WriteCountLine(mif, "  ", static_cast<long long>(count));
        WriteRing(mif, shape.Points, static_cast<std::size_t>(shape.Parts[k]), count);
    }
    mif.WriteLine("");
}

void WriteMifPLine(TSjisWriter& mif, const TSFPolyLine& shape)
{
    if (shape.NumParts <= 1) {
        if (shape.NumPoints < 2) {
            WriteMifNone(mif);
            return;
        }
        WriteCountLine(mif, "PLine ", shape.NumPoints);
        WriteRing(mif, shape.Points, 0, shape.Points.size());
        mif.WriteLine("");
        return;
    }
    WriteCountLine(mif, "PLine MultiPle ", shape.NumParts);
    for (std::size_t k = 0; k < shape.Parts.size(); ++k) {
        const std::size_t count = PartCount(shape, k);
        WriteCountLine(mif, "  ", static_cast<long long>(count));
        WriteRing(mif, shape.Points, static_cast<std::size_t>(shape.Parts[k]), count);
    }
    mif.WriteLine("");
}

namespace {

bool NeedsQuotes(std::string_view value) noexcept
{
    // A plain loop: values are short, and find_first_of would search the set per byte.
    unsigned special = 0;
    for (const char c : value) {
        special |= static_cast<unsigned>(c == ',') | static_cast<unsigned>(c == '"');
    }
    return special != 0;
}

// Writes `value` at `out` as AppendMidValue would append it; returns the end.
char* PutMidValue(char* out, std::string_view value) noexcept
{
    if (!NeedsQuotes(value)) {
        std::memcpy(out, value.data(), value.size());
        return out + value.size();
    }
    *out++ = '"';
    for (const char c : value) {
        if (c == '"') {
            *out++ = '"';
        }
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

} // namespace

void AppendMidValue(std::string& row, std::string_view value)
{
    if (!NeedsQuotes(value)) {
        row.append(value);
        return;
    }
    base::AppendQuoted(row, value);
}

std::size_t QuotedRowBound(const TSFRow& row) noexcept
{
    const std::size_t count = row.Count();
    std::size_t size = 2 * row.TextSize() + 3 * count + 2;
    if (row.HasRaw()) {
        for (std::size_t i = 0; i < count; ++i) {
            if (row.IsRaw(i)) {
                size -= row.Value(i).size();
            }
        }
    }
    return size;
}

void WriteQuotedMidRow(TSjisWriter& mid, const TSFRow& row)
{
    const std::size_t count = row.Count();
    char* const start = mid.Reserve(QuotedRowBound(row));
    char* out = start;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            *out++ = ',';
        }
        const std::string_view value = row.Value(i);
        if (row.IsRaw(i)) {
            std::memcpy(out, value.data(), value.size());
            out += value.size();
        } else {
            out = PutMidValue(out, value);
        }
    }
    *out++ = '\r';
    *out++ = '\n';
    mid.Commit(static_cast<std::size_t>(out - start));
}

} // namespace tolvane::mif
