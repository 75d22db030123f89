// The mesh converters.
#include "ksj/MeshConv.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "base/DefLines.h"
#include "base/JobObserver.h"
#include "base/uniFields.h"
#include "base/uniNumbers.h"
#include "ksj/ColumnSlices.h"
#include "ksj/uniKsjUtils.h"

namespace tolvane::ksj {

using namespace tolvane::base;
using shapes::TSFGrid;
using shapes::TSFPoint;
using shapes::TSFPolygon;
using shapes::TSFRow;

namespace {

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
    TSFRow row;
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
        row.Clear();
        slices.AppendRow(line, row);
        ctx.Out.WriteRegion(shape, row);
    }
}

// ---------------------------------------------------------------------------------------------
// Subdivided third-level cells
//
// Within the division of one third-level cell a corner's longitude depends only on the column
// and its latitude only on the row: a record's cells come from one ring (or centre) per column
// and one per row, computed by the same operations as for a single cell and handed to the output
// as one grid.

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

using TRingFn = void (*)(std::int32_t column, std::int32_t row, TSFPolygon& shape, double lat,
                         double lon);
using TCenterFn = void (*)(std::int32_t column, std::int32_t row, TSFPoint& point, double lat,
                           double lon);

/// Fills `grid` with the regions of the n × n division of the cell at (lon, lat).
class TRegionDivision
{
public:
    explicit TRegionDivision(TRingFn ringFn) : m_ringFn(ringFn) {}

    void Fill(TSFGrid& grid, std::int32_t n, double lat, double lon)
    {
        grid.N = n;
        grid.Centres = false;
        for (std::int32_t i = 0; i < n; ++i) {
            const auto at = static_cast<std::size_t>(i);
            m_ringFn(i, 0, m_shape, lat, lon);
            for (std::size_t v = 0; v < TSFGrid::kRingPoints; ++v) {
                grid.X[at][v] = m_shape.Points[v].X;
            }
            m_ringFn(0, i, m_shape, lat, lon);
            for (std::size_t v = 0; v < TSFGrid::kRingPoints; ++v) {
                grid.Y[at][v] = m_shape.Points[v].Y;
            }
        }
    }

private:
    TRingFn m_ringFn;
    TSFPolygon m_shape;
};

/// Fills `grid` with the centre points of the n × n division of the cell at (lon, lat).
class TCenterDivision
{
public:
    explicit TCenterDivision(TCenterFn centerFn) : m_centerFn(centerFn) {}

    void Fill(TSFGrid& grid, std::int32_t n, double lat, double lon) const
    {
        grid.N = n;
        grid.Centres = true;
        TSFPoint point;
        for (std::int32_t i = 0; i < n; ++i) {
            const auto at = static_cast<std::size_t>(i);
            m_centerFn(i, 0, point, lat, lon);
            grid.CenterX[at] = point.X;
            m_centerFn(0, i, point, lat, lon);
            grid.CenterY[at] = point.Y;
        }
    }

private:
    TCenterFn m_centerFn;
};

/// The record loop of the subdivided formats. `cellNumber`: the row carries the cell number
/// after the code pieces (10 × 10), and the value columns start at the fifth line of
/// ColumnDefLines instead of the fourth.
template <std::int32_t N, typename TDivision>
void ConvertSubdivided(TConvertContext& ctx, TDivision& division, bool cellNumber)
{
    const TSubdivisionParams params = ReadSubdivisionParams(ctx.ParamLines);
    TColumnSlices slices(ctx.ColumnDefLines, cellNumber ? 4 : 3);
    TSFGrid grid;
    TSFRow row;
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(kPumpIntervalShort);
        if (!IsMeshRecord(line)) {
            continue;
        }
        double lat = 0.0;
        double lon = 0.0;
        Mesh3Origin(SubStr(line, params.S, 4, false), SubStr(line, params.S + 4, 2, false),
                    SubStr(line, params.S + 6, 2, false), lat, lon);
        division.Fill(grid, N, lat, lon);
        ctx.Out.BeginGrid(grid);

        row.Clear();
        row.Add(SubStr(line, params.S, 4, true));
        row.Add(SubStr(line, params.S + 4, 2, true));
        row.Add(SubStr(line, params.S + 6, 2, true));
        const std::size_t prefix = row.Count();
        for (std::int32_t r = 0; r < N; ++r) {
            for (std::int32_t c = 0; c < N; ++c) {
                row.Truncate(prefix);
                if (cellNumber) {
                    const char number[2] = {static_cast<char>('0' + r), static_cast<char>('0' + c)};
                    row.Add(std::string_view(number, 2));
                }
                const std::int64_t k = r * N + c;
                slices.AppendRow(line, row, k * params.K + params.B);
                ctx.Out.WriteGridCell(r, c, row);
            }
        }
    }
}

} // namespace

void ConvertM2(TConvertContext& ctx)
{
    ConvertCells(ctx, '\0', kPumpInterval, &BuildMesh2);
}

void ConvertM21(TConvertContext& ctx)
{
    ConvertCells(ctx, '1', kPumpInterval, &BuildMesh2);
}

void ConvertM22(TConvertContext& ctx)
{
    ConvertCells(ctx, '2', kPumpInterval, &BuildMesh2);
}

void ConvertM23(TConvertContext& ctx)
{
    ConvertCells(ctx, '3', kPumpInterval, &BuildMesh2);
}

void ConvertM24(TConvertContext& ctx)
{
    ConvertCells(ctx, '4', kPumpInterval, &BuildMesh2);
}

void ConvertM3(TConvertContext& ctx)
{
    ConvertCells(ctx, '\0', kPumpInterval, &BuildMesh3);
}

void ConvertM4(TConvertContext& ctx)
{
    ConvertCells(ctx, '\0', kPumpIntervalShort, &BuildMesh4);
}

void ConvertM3_10(TConvertContext& ctx)
{
    TRegionDivision division(&Mesh3Sub10ToPolygon);
    ConvertSubdivided<10>(ctx, division, true);
}

void ConvertM3_10P(TConvertContext& ctx)
{
    TCenterDivision division(&Mesh3Sub10Center);
    ConvertSubdivided<10>(ctx, division, true);
}

void ConvertM3_4(TConvertContext& ctx)
{
    TRegionDivision division(&Mesh3Sub4ToPolygon);
    ConvertSubdivided<4>(ctx, division, false);
}

void ConvertM3_4P(TConvertContext& ctx)
{
    TCenterDivision division(&Mesh3Sub4Center);
    ConvertSubdivided<4>(ctx, division, false);
}

} // namespace tolvane::ksj
