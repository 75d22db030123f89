// A table as UTF-8 CSV text: the ledger (or CSV copy) beside an output whose format holds no
// tables (GeoJSON).
#pragma once

#include <filesystem>
#include <string>

#include "base/uniTextFile.h"
#include "shapes/FeatureOutput.h"

namespace tolvane::gdal {

/// A table as CSV text quoted as the CSV output quotes it (every value in double quotes, inner
/// quotes doubled, raw text as it stands, commas, CR LF), decoded from CP932 to UTF-8. The
/// header is a line like every other.
class TUtf8CsvOutput final : public shapes::TTableOutput
{
public:
    /// Creates (or truncates) `csvFile`; raises TFileError when it cannot be created.
    explicit TUtf8CsvOutput(const std::filesystem::path& csvFile);
    ~TUtf8CsvOutput() override;
    TUtf8CsvOutput(const TUtf8CsvOutput&) = delete;
    TUtf8CsvOutput& operator=(const TUtf8CsvOutput&) = delete;

    void WriteHeader(const shapes::TSFRow& row) override;
    void WriteRow(const shapes::TSFRow& row) override;
    /// Closes the file; raises TFileError when a write or the close fails.
    void Finish() override;

private:
    base::TSjisWriter m_out; // a byte writer: the bytes are UTF-8 here
    std::string m_line;
};

} // namespace tolvane::gdal
