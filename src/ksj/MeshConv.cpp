// The mesh converters.
#include "ksj/MeshConv.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "convert/ItemDefs.h"
#include "convert/uniFields.h"
#include "convert/uniNumbers.h"
#include "ksj/uniKsjUtils.h"
#include "mif/uniMifUtils.h"

namespace tolvane::ksj {

using namespace tolvane::convert;
using mif::TSFPoint;
using mif::TSFPolygon;

namespace {

// Lines between two event pumps.
constexpr std::int64_t kPumpCells = 10000;
constexpr std::int64_t kPumpSubdivided = 1000;

bool IsMeshRecord(std::string_view line)
{
    return !line.empty() && line.front() == 'M';
}

// ---------------------------------------------------------------------------------------------
// One region per record

using TCellBuilder = void (*)(std::string_view line, TSFPolygon& shape);

void BuildMesh2(std::string_view line, TSFPolygon& shape)
{
    Mesh2ToPolygon(SubStr(line, 6, 4, false), SubStr(line, 10, 2, false), shape);
}

void BuildMesh3(std::string_view line, TSFPolygon& shape)
{
    Mesh3ToPolygon(SubStr(line, 6, 4, false), SubStr(line, 10, 2, false),
                   SubStr(line, 12, 2, false), shape);
}

void BuildMesh4(std::string_view line, TSFPolygon& shape)
{
    double lat = 0.0;
    double lon = 0.0;
    Mesh3Origin(SubStr(line, 6, 4, false), SubStr(line, 10, 2, false), SubStr(line, 12, 2, false),
                lat, lon);
    const std::int32_t quarter = StrToInt(SubStr(line, 14, 1, false));
    Mesh4ToPolygon(quarter, shape, lat, lon);
}

// `sizeDigit` (or NUL for any) is the byte 12 a record must hold.
void ConvertCells(TConvertContext& ctx, char sizeDigit, std::int64_t pumpEvery, TCellBuilder build)
{
    TColumnSlices slices(ctx.ColumnDefLines);
    TSFPolygon shape;
    std::string row;
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(pumpEvery);
        if (!IsMeshRecord(line)) {
            continue;
        }
        if (sizeDigit != '\0' && SubStr(line, 12, 1, false) != std::string_view(&sizeDigit, 1)) {
            continue;
        }
        build(line, shape);
        mif::WriteMifRegion(ctx.Mif, shape);
        row.clear();
        slices.AppendRow(line, row);
        ctx.Mid.WriteLine(row);
    }
}

// ---------------------------------------------------------------------------------------------
// Subdivided third-level cells
//
// Within the division of one third-level cell a corner's longitude depends only on the column
// and its latitude only on the row. A record's coordinates therefore come from one ring (or
// centre) per column and one per row, computed by the same operations as for a single cell, and
// each is formatted once per record instead of once per object. The text assembled from them is
// byte for byte what WriteMifRegion or WriteMifPoint writes for the cell's own shape.

struct TSubdivisionParams
{
    std::int64_t S = 0; ///< position of the mesh code
    std::int64_t B = 0; ///< offset of the value block of cell 0
    std::int64_t K = 0; ///< length of the value block of one cell
};

TSubdivisionParams ReadSubdivisionParams(const TDefLines& paramLines)
{
    TSubdivisionParams params;
    params.S = ReadDefInteger(paramLines, 1);
    params.B = ReadDefInteger(paramLines, 2);
    params.K = ReadDefInteger(paramLines, 3);
    return params;
}

/// Formatted coordinates of one record, kept in one buffer that is reused from record to record.
/// A piece is copied as one block of kBlock bytes when it fits (every coordinate of a real mesh
/// code does), so the buffer ends with kBlock spare bytes and a writer must reserve kBlock bytes
/// beyond what it commits.
class TCoordTexts
{
public:
    static constexpr std::size_t kBlock = 16;

    struct TPiece
    {
        std::size_t Offset = 0;
        std::size_t Length = 0;
    };

    void Clear() noexcept { m_text.clear(); }

    TPiece Add(double value)
    {
        char buffer[kCoordBufferSize];
        const std::size_t length = FormatCoord(value, buffer);
        const TPiece piece{m_text.size(), length};
        m_text.append(buffer, length);
        return piece;
    }

    /// After the last Add of a record.
    void Finish() { m_text.append(kBlock, '\0'); }

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

private:
    std::string m_text;
};

using TRingFn = void (*)(std::int32_t column, std::int32_t row, TSFPolygon& shape, double lat,
                         double lon);
using TCenterFn = void (*)(std::int32_t column, std::int32_t row, TSFPoint& point, double lat,
                           double lon);

constexpr std::size_t kRingPoints = 5;

/// The regions of the n × n division of one third-level cell.
template <std::size_t N> class TRegionGrid
{
public:
    explicit TRegionGrid(TRingFn ringFn) : m_ringFn(ringFn) {}

    void Prepare(double lat, double lon)
    {
        m_texts.Clear();
        for (std::int32_t i = 0; i < static_cast<std::int32_t>(N); ++i) {
            const auto at = static_cast<std::size_t>(i);
            m_ringFn(i, 0, m_shape, lat, lon);
            for (std::size_t v = 0; v < kRingPoints; ++v) {
                m_x[at][v] = m_shape.Points[v].X;
            }
            m_ringFn(0, i, m_shape, lat, lon);
            for (std::size_t v = 0; v < kRingPoints; ++v) {
                m_y[at][v] = m_shape.Points[v].Y;
            }
            FormatRing(m_x[at], m_xText[at]);
            FormatRing(m_y[at], m_yText[at]);
        }
        m_texts.Finish();
    }

    /// Writes the region of cell (column, row) as WriteMifRegion writes its ring: a closed ring
    /// gets no further point, and a positive area (the same computation on the same doubles)
    /// reverses it.
    void Write(TSjisWriter& mif, std::int32_t row, std::int32_t column) const
    {
        const auto& xs = m_x[static_cast<std::size_t>(column)];
        const auto& ys = m_y[static_cast<std::size_t>(row)];
        const auto& xText = m_xText[static_cast<std::size_t>(column)];
        const auto& yText = m_yText[static_cast<std::size_t>(row)];
        const bool reverse = mif::PolygonArea(xs, ys) > 0;

        constexpr std::string_view kHead = "Region 1\r\n  5\r\n";
        std::size_t size = kHead.size() + 2;
        for (std::size_t v = 0; v < kRingPoints; ++v) {
            size += xText[v].Length + yText[v].Length + 3;
        }
        char* const start = mif.Reserve(size + TCoordTexts::kBlock);
        char* out = start;
        std::memcpy(out, kHead.data(), kHead.size());
        out += kHead.size();
        for (std::size_t j = 0; j < kRingPoints; ++j) {
            const std::size_t v = reverse ? kRingPoints - 1 - j : j;
            out = m_texts.Put(out, xText[v]);
            *out++ = ' ';
            out = m_texts.Put(out, yText[v]);
            *out++ = '\r';
            *out++ = '\n';
        }
        *out++ = '\r';
        *out++ = '\n';
        mif.Commit(static_cast<std::size_t>(out - start));
    }

private:
    using TRingValues = std::array<double, kRingPoints>;
    using TRingTexts = std::array<TCoordTexts::TPiece, kRingPoints>;

    // A value equal to an earlier one of the same ring shares its text.
    void FormatRing(const TRingValues& values, TRingTexts& texts)
    {
        for (std::size_t v = 0; v < kRingPoints; ++v) {
            std::size_t same = v;
            for (std::size_t u = 0; u < v; ++u) {
                if (values[u] == values[v]) {
                    same = u;
                    break;
                }
            }
            texts[v] = same < v ? texts[same] : m_texts.Add(values[v]);
        }
    }

    TRingFn m_ringFn;
    TSFPolygon m_shape;
    TCoordTexts m_texts;
    std::array<TRingValues, N> m_x{};
    std::array<TRingValues, N> m_y{};
    std::array<TRingTexts, N> m_xText{};
    std::array<TRingTexts, N> m_yText{};
};

/// The centre points of the n × n division of one third-level cell.
template <std::size_t N> class TPointGrid
{
public:
    explicit TPointGrid(TCenterFn centerFn) : m_centerFn(centerFn) {}

    void Prepare(double lat, double lon)
    {
        m_texts.Clear();
        TSFPoint point;
        for (std::int32_t i = 0; i < static_cast<std::int32_t>(N); ++i) {
            const auto at = static_cast<std::size_t>(i);
            m_centerFn(i, 0, point, lat, lon);
            m_xText[at] = m_texts.Add(point.X);
            m_centerFn(0, i, point, lat, lon);
            m_yText[at] = m_texts.Add(point.Y);
        }
        m_texts.Finish();
    }

    /// Writes the centre of cell (column, row) as WriteMifPoint writes it.
    void Write(TSjisWriter& mif, std::int32_t row, std::int32_t column) const
    {
        const TCoordTexts::TPiece x = m_xText[static_cast<std::size_t>(column)];
        const TCoordTexts::TPiece y = m_yText[static_cast<std::size_t>(row)];
        constexpr std::string_view kHead = "Point ";
        const std::size_t size = kHead.size() + x.Length + y.Length + 3;
        char* out = mif.Reserve(size + TCoordTexts::kBlock);
        std::memcpy(out, kHead.data(), kHead.size());
        out = m_texts.Put(out + kHead.size(), x);
        *out++ = ' ';
        out = m_texts.Put(out, y);
        *out++ = '\r';
        *out = '\n';
        mif.Commit(size);
    }

private:
    TCenterFn m_centerFn;
    TCoordTexts m_texts;
    std::array<TCoordTexts::TPiece, N> m_xText{};
    std::array<TCoordTexts::TPiece, N> m_yText{};
};

/// The record loop of the subdivided formats. `cellNumber`: the row carries the cell number
/// after the code pieces (10 × 10), and the value columns start at the fifth line of
/// ColumnDefLines instead of the fourth.
template <std::int32_t N, typename TGrid>
void ConvertSubdivided(TConvertContext& ctx, TGrid& grid, bool cellNumber)
{
    const TSubdivisionParams params = ReadSubdivisionParams(ctx.ParamLines);
    TColumnSlices slices(ctx.ColumnDefLines, cellNumber ? 4 : 3);
    std::string prefix;
    std::string row;
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(kPumpSubdivided);
        if (!IsMeshRecord(line)) {
            continue;
        }
        double lat = 0.0;
        double lon = 0.0;
        Mesh3Origin(SubStr(line, params.S, 4, false), SubStr(line, params.S + 4, 2, false),
                    SubStr(line, params.S + 6, 2, false), lat, lon);
        grid.Prepare(lat, lon);

        prefix.clear();
        mif::AppendMidValue(prefix, SubStr(line, params.S, 4, true));
        prefix.push_back(',');
        mif::AppendMidValue(prefix, SubStr(line, params.S + 4, 2, true));
        prefix.push_back(',');
        mif::AppendMidValue(prefix, SubStr(line, params.S + 6, 2, true));

        for (std::int32_t r = 0; r < N; ++r) {
            for (std::int32_t c = 0; c < N; ++c) {
                grid.Write(ctx.Mif, r, c);
                row.assign(prefix);
                if (cellNumber) {
                    row.push_back(',');
                    row.push_back(static_cast<char>('0' + r));
                    row.push_back(static_cast<char>('0' + c));
                }
                const std::int64_t k = r * N + c;
                slices.AppendRow(line, row, k * params.K + params.B, true);
                ctx.Mid.WriteLine(row);
            }
        }
    }
}

} // namespace

void ConvertM2(TConvertContext& ctx)
{
    ConvertCells(ctx, '\0', kPumpCells, &BuildMesh2);
}

void ConvertM21(TConvertContext& ctx)
{
    ConvertCells(ctx, '1', kPumpCells, &BuildMesh2);
}

void ConvertM22(TConvertContext& ctx)
{
    ConvertCells(ctx, '2', kPumpCells, &BuildMesh2);
}

void ConvertM23(TConvertContext& ctx)
{
    ConvertCells(ctx, '3', kPumpCells, &BuildMesh2);
}

void ConvertM24(TConvertContext& ctx)
{
    ConvertCells(ctx, '4', kPumpCells, &BuildMesh2);
}

void ConvertM3(TConvertContext& ctx)
{
    ConvertCells(ctx, '\0', kPumpCells, &BuildMesh3);
}

void ConvertM4(TConvertContext& ctx)
{
    ConvertCells(ctx, '\0', kPumpSubdivided, &BuildMesh4);
}

void ConvertM3_10(TConvertContext& ctx)
{
    TRegionGrid<10> grid(&Mesh3Sub10ToPolygon);
    ConvertSubdivided<10>(ctx, grid, true);
}

void ConvertM3_10P(TConvertContext& ctx)
{
    TPointGrid<10> grid(&Mesh3Sub10Center);
    ConvertSubdivided<10>(ctx, grid, true);
}

void ConvertM3_4(TConvertContext& ctx)
{
    TRegionGrid<4> grid(&Mesh3Sub4ToPolygon);
    ConvertSubdivided<4>(ctx, grid, false);
}

void ConvertM3_4P(TConvertContext& ctx)
{
    TPointGrid<4> grid(&Mesh3Sub4Center);
    ConvertSubdivided<4>(ctx, grid, false);
}

} // namespace tolvane::ksj
