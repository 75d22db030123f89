// UTF-8 CSV tables.
#include "gdal/Utf8CsvOutput.h"

#include "base/uniCodePage.h"

namespace tolvane::gdal {

TUtf8CsvOutput::TUtf8CsvOutput(const std::filesystem::path& csvFile) : m_out(csvFile) {}

TUtf8CsvOutput::~TUtf8CsvOutput() = default;

void TUtf8CsvOutput::WriteHeader(const shapes::TSFRow& row)
{
    WriteRow(row);
}

void TUtf8CsvOutput::WriteRow(const shapes::TSFRow& row)
{
    m_line.clear();
    shapes::AppendCsvRow(m_line, row);
    // Quotes and commas are single bytes in both encodings: the line converts as a whole.
    m_out.WriteLine(base::SjisToUtf8(m_line));
}

void TUtf8CsvOutput::Finish()
{
    m_out.Close();
}

} // namespace tolvane::gdal
