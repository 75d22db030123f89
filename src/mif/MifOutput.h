// The outputs of MapInfo Interchange Format: objects as a .mif and a .mid file, tables as CSV.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/uniTextFile.h"
#include "shapes/FeatureOutput.h"
#include "shapes/uniCoordSys.h"

namespace tolvane::mif {

/// Objects as MIF text (Version 300, Shift-JIS, CR LF) and their rows as MID lines.
class TMifOutput final : public shapes::TFeatureOutput
{
public:
    /// Creates both files (or truncates them), the MIF first; raises TFileError when one cannot
    /// be created. `coordSys` picks the header's coordinate clause (none outside the table).
    TMifOutput(const std::filesystem::path& mifFile, const std::filesystem::path& midFile,
               shapes::TCoordSysIndex coordSys);
    /// Closes without reporting errors, keeping what was written (after a failure).
    ~TMifOutput() override;
    TMifOutput(const TMifOutput&) = delete;
    TMifOutput& operator=(const TMifOutput&) = delete;

    /// The header with the coordinate clause, then the column block.
    void Begin(const shapes::TSFColumns& columns) override;
    void WritePoint(const shapes::TSFPoint& point, const shapes::TSFRow& row) override;
    void WriteRegion(shapes::TSFPolygon& shape, const shapes::TSFRow& row) override;
    void WritePLine(const shapes::TSFPolyLine& shape, const shapes::TSFRow& row) override;
    void WriteNone(const shapes::TSFRow& row) override;
    /// Formats each distinct coordinate of the division once, for all its cells.
    void BeginGrid(const shapes::TSFGrid& grid) override;
    /// Writes the cell exactly as WriteRegion or WritePoint writes its shape.
    void WriteGridCell(std::int32_t row, std::int32_t column,
                       const shapes::TSFRow& values) override;
    /// Closes the MIF, then the MID; raises TFileError when a write or close fails.
    void Finish() override;

private:
    class TGridTexts;

    base::TSjisWriter m_mif;
    base::TSjisWriter m_mid;
    shapes::TCoordSysIndex m_coordSys;
    std::unique_ptr<TGridTexts> m_gridTexts;
};

/// A table as CSV text: every value in double quotes (inner quotes doubled), raw text as it
/// stands, separated by commas, CR LF.
class TCsvOutput final : public shapes::TTableOutput
{
public:
    /// Creates (or truncates) the file; raises TFileError when it cannot be created.
    explicit TCsvOutput(const std::filesystem::path& csvFile);
    ~TCsvOutput() override;
    TCsvOutput(const TCsvOutput&) = delete;
    TCsvOutput& operator=(const TCsvOutput&) = delete;

    void WriteHeader(const shapes::TSFRow& row) override;
    void WriteRow(const shapes::TSFRow& row) override;
    void Finish() override;

private:
    base::TSjisWriter m_out;
};

} // namespace tolvane::mif
