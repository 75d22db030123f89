// The shape of a grid cell for outputs without a faster way of their own, and a row as a CSV line.
#include "shapes/FeatureOutput.h"

#include "base/uniBytes.h"

namespace tolvane::shapes {

void TFeatureOutput::WriteGridCell(std::int32_t row, std::int32_t column, const TSFRow& values)
{
    const TSFGrid& grid = *m_grid;
    const auto c = static_cast<std::size_t>(column);
    const auto r = static_cast<std::size_t>(row);
    if (grid.Centres) {
        WritePoint(TSFPoint{grid.CenterX[c], grid.CenterY[r]}, values);
        return;
    }
    m_cell.Points.resize(TSFGrid::kRingPoints);
    for (std::size_t v = 0; v < TSFGrid::kRingPoints; ++v) {
        m_cell.Points[v] = TSFPoint{grid.X[c][v], grid.Y[r][v]};
    }
    m_cell.NumParts = 1;
    m_cell.Parts.assign(1, 0);
    m_cell.NumPoints = static_cast<std::int32_t>(TSFGrid::kRingPoints);
    CalcBounds(m_cell);
    WriteRegion(m_cell, values);
}

void AppendCsvRow(std::string& line, const TSFRow& row)
{
    for (std::size_t i = 0; i < row.Count(); ++i) {
        if (i > 0) {
            line.push_back(',');
        }
        if (row.IsRaw(i)) {
            line.append(row.Value(i));
        } else {
            base::AppendQuoted(line, row.Value(i));
        }
    }
}

} // namespace tolvane::shapes
