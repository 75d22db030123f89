// MIF/MID and CSV outputs.
#include "mif/MifOutput.h"

#include <array>
#include <cstring>

#include "base/uniBytes.h"
#include "base/uniNumbers.h"
#include "mif/uniMifUtils.h"

namespace tolvane::mif {

using base::FormatCoord;
using base::kCoordBufferSize;
using shapes::TSFGrid;

// ---------------------------------------------------------------------------------------------
// Grid cells
//
// Within the division of one third-level cell a corner's longitude depends only on the column
// and its latitude only on the row. A record's coordinates therefore come from one ring (or
// centre) per column and one per row, and each is formatted once per record instead of once per
// object. The text assembled from them is byte for byte what WriteMifRegion or WriteMifPoint
// writes for the cell's own shape.

/// Formatted coordinates of one record, kept in one buffer that is reused from record to record.
/// A piece is copied as one block of kBlock bytes when it fits (every coordinate of a real mesh
/// code does), so the buffer ends with kBlock spare bytes and a writer must reserve kBlock bytes
/// beyond what it commits.
class TMifOutput::TGridTexts
{
public:
    static constexpr std::size_t kBlock = 16;
    static constexpr std::size_t kRingPoints = TSFGrid::kRingPoints;

    struct TPiece
    {
        std::size_t Offset = 0;
        std::size_t Length = 0;
    };
    using TRingTexts = std::array<TPiece, kRingPoints>;

    void Prepare(const TSFGrid& grid)
    {
        m_grid = &grid;
        m_text.clear();
        for (std::size_t i = 0; i < static_cast<std::size_t>(grid.N); ++i) {
            if (grid.Centres) {
                m_xCenter[i] = Add(grid.CenterX[i]);
                m_yCenter[i] = Add(grid.CenterY[i]);
            } else {
                FormatRing(grid.X[i], m_xText[i]);
                FormatRing(grid.Y[i], m_yText[i]);
            }
        }
        m_text.append(kBlock, '\0');
    }

    /// Writes the region of cell (column, row) as WriteMifRegion writes its ring: a closed ring
    /// gets no further point, and a positive area (the same computation on the same doubles)
    /// reverses it.
    void WriteRegion(TSjisWriter& mif, std::size_t row, std::size_t column) const
    {
        const auto& xs = m_grid->X[column];
        const auto& ys = m_grid->Y[row];
        const TRingTexts& xText = m_xText[column];
        const TRingTexts& yText = m_yText[row];
        const bool reverse = shapes::PolygonArea(xs, ys) > 0;

        constexpr std::string_view kHead = "Region 1\r\n  5\r\n";
        std::size_t size = kHead.size() + 2;
        for (std::size_t v = 0; v < kRingPoints; ++v) {
            size += xText[v].Length + yText[v].Length + 3;
        }
        char* const start = mif.Reserve(size + kBlock);
        char* out = start;
        std::memcpy(out, kHead.data(), kHead.size());
        out += kHead.size();
        for (std::size_t j = 0; j < kRingPoints; ++j) {
            const std::size_t v = reverse ? kRingPoints - 1 - j : j;
            out = Put(out, xText[v]);
            *out++ = ' ';
            out = Put(out, yText[v]);
            *out++ = '\r';
            *out++ = '\n';
        }
        *out++ = '\r';
        *out++ = '\n';
        mif.Commit(static_cast<std::size_t>(out - start));
    }

    /// Writes the centre of cell (column, row) as WriteMifPoint writes it.
    void WritePoint(TSjisWriter& mif, std::size_t row, std::size_t column) const
    {
        const TPiece x = m_xCenter[column];
        const TPiece y = m_yCenter[row];
        constexpr std::string_view kHead = "Point ";
        const std::size_t size = kHead.size() + x.Length + y.Length + 3;
        char* out = mif.Reserve(size + kBlock);
        std::memcpy(out, kHead.data(), kHead.size());
        out = Put(out + kHead.size(), x);
        *out++ = ' ';
        out = Put(out, y);
        *out++ = '\r';
        *out = '\n';
        mif.Commit(size);
    }

    bool Centres() const noexcept { return m_grid->Centres; }

private:
    TPiece Add(double value)
    {
        char buffer[kCoordBufferSize];
        const std::size_t length = FormatCoord(value, buffer);
        const TPiece piece{m_text.size(), length};
        m_text.append(buffer, length);
        return piece;
    }

    // A value equal to an earlier one of the same ring shares its text.
    void FormatRing(const TSFGrid::TRing& values, TRingTexts& texts)
    {
        for (std::size_t v = 0; v < kRingPoints; ++v) {
            std::size_t same = v;
            for (std::size_t u = 0; u < v; ++u) {
                if (values[u] == values[v]) {
                    same = u;
                    break;
                }
            }
            texts[v] = same < v ? texts[same] : Add(values[v]);
        }
    }

    /// Copies `piece` to `out`, which has room for kBlock bytes more than the piece; returns the
    /// position after the piece.
    char* Put(char* out, TPiece piece) const noexcept
    {
        const char* from = m_text.data() + piece.Offset;
        if (piece.Length <= kBlock) {
            std::memcpy(out, from, kBlock);
        } else {
            std::memcpy(out, from, piece.Length);
        }
        return out + piece.Length;
    }

    const TSFGrid* m_grid = nullptr;
    std::string m_text;
    std::array<TRingTexts, TSFGrid::kMaxCells> m_xText{};
    std::array<TRingTexts, TSFGrid::kMaxCells> m_yText{};
    std::array<TPiece, TSFGrid::kMaxCells> m_xCenter{};
    std::array<TPiece, TSFGrid::kMaxCells> m_yCenter{};
};

// ---------------------------------------------------------------------------------------------
// MIF and MID

TMifOutput::TMifOutput(const std::filesystem::path& mifFile, const std::filesystem::path& midFile,
                       shapes::TCoordSysIndex coordSys)
    : m_mif(mifFile), m_mid(midFile), m_coordSys(coordSys)
{
}

TMifOutput::~TMifOutput() = default;

void TMifOutput::Begin(const shapes::TSFColumns& columns)
{
    WriteMifHeader(m_mif, shapes::CoordSysText(m_coordSys));
    WriteMifColumns(m_mif, columns);
}

void TMifOutput::WritePoint(const shapes::TSFPoint& point, const shapes::TSFRow& row)
{
    WriteMifPoint(m_mif, point);
    WriteMidRow(m_mid, row);
    CountObject();
}

void TMifOutput::WriteRegion(shapes::TSFPolygon& shape, const shapes::TSFRow& row)
{
    WriteMifRegion(m_mif, shape);
    WriteMidRow(m_mid, row);
    CountObject();
}

void TMifOutput::WritePLine(const shapes::TSFPolyLine& shape, const shapes::TSFRow& row)
{
    WriteMifPLine(m_mif, shape);
    WriteMidRow(m_mid, row);
    CountObject();
}

void TMifOutput::WriteNone(const shapes::TSFRow& row)
{
    WriteMifNone(m_mif);
    WriteMidRow(m_mid, row);
    CountObject();
}

void TMifOutput::BeginGrid(const shapes::TSFGrid& grid)
{
    if (!m_gridTexts) {
        m_gridTexts = std::make_unique<TGridTexts>();
    }
    m_gridTexts->Prepare(grid);
}

void TMifOutput::WriteGridCell(std::int32_t row, std::int32_t column, const shapes::TSFRow& values)
{
    const auto r = static_cast<std::size_t>(row);
    const auto c = static_cast<std::size_t>(column);
    if (m_gridTexts->Centres()) {
        m_gridTexts->WritePoint(m_mif, r, c);
    } else {
        m_gridTexts->WriteRegion(m_mif, r, c);
    }
    WriteMidRow(m_mid, values);
    CountObject();
}

void TMifOutput::Finish()
{
    // Closing writes out the buffers: a full disk shows here.
    m_mif.Close();
    m_mid.Close();
}

// ---------------------------------------------------------------------------------------------
// CSV

namespace {

constexpr std::size_t kShortValue = 32;

} // namespace

TCsvOutput::TCsvOutput(const std::filesystem::path& csvFile) : m_out(csvFile) {}

TCsvOutput::~TCsvOutput() = default;

void TCsvOutput::WriteHeader(const shapes::TSFRow& row)
{
    WriteRow(row);
}

void TCsvOutput::WriteRow(const shapes::TSFRow& row)
{
    const std::size_t count = row.Count();
    char* const start = m_out.Reserve(QuotedRowBound(row));
    char* out = start;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            *out++ = ',';
        }
        const std::string_view value = row.Value(i);
        if (row.IsRaw(i)) {
            std::memcpy(out, value.data(), value.size());
            out += value.size();
            continue;
        }
        *out++ = '"';
        if (value.size() > kShortValue && std::memchr(value.data(), '"', value.size()) == nullptr) {
            std::memcpy(out, value.data(), value.size());
            out += value.size();
        } else {
            // Short values (most ledger columns) cost less copied byte by byte than by two calls.
            for (const char c : value) {
                if (c == '"') {
                    *out++ = '"';
                }
                *out++ = c;
            }
        }
        *out++ = '"';
    }
    *out++ = '\r';
    *out++ = '\n';
    m_out.Commit(static_cast<std::size_t>(out - start));
}

void TCsvOutput::Finish()
{
    m_out.Close();
}

} // namespace tolvane::mif
