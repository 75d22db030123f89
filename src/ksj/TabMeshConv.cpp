// The tab-separated mesh converter.
#include "ksj/TabMeshConv.h"

#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>

#include "convert/AppError.h"
#include "convert/uniFields.h"
#include "convert/uniTextFile.h"
#include "ksj/uniKsjUtils.h"
#include "mif/uniMifUtils.h"

namespace tolvane::ksj {

using namespace tolvane::convert;

namespace {

constexpr std::int64_t kPumpEvery = 10000;
constexpr std::string_view kHeaderFile = "S04_AC.txt";

/// A file written under a temporary name beside its destination and put in its place only by
/// Commit(). Until then the destination is untouched; without Commit() the temporary file is
/// removed.
class TReplacingFile
{
public:
    explicit TReplacingFile(std::filesystem::path destination)
        : m_destination(std::move(destination))
    {
        const std::string base =
            m_destination.filename().string() + "." + std::to_string(::getpid()) + ".";
        for (int n = 0;; ++n) {
            m_temporary = m_destination;
            m_temporary.replace_filename(base + std::to_string(n) + ".tmp");
            std::error_code ec;
            if (!std::filesystem::exists(std::filesystem::symlink_status(m_temporary, ec))) {
                break;
            }
        }
        m_writer.emplace(m_temporary);
    }

    ~TReplacingFile()
    {
        if (m_writer) {
            m_writer->Abandon();
            std::error_code ec;
            std::filesystem::remove(m_temporary, ec);
        }
    }

    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    TSjisWriter& Writer() { return *m_writer; }

    /// Closes the temporary file and renames it over the destination.
    void Commit()
    {
        m_writer->Close();
        std::error_code ec;
        std::filesystem::rename(m_temporary, m_destination, ec);
        if (ec) {
            throw TFileError::WriteFailed(m_destination.string(), ec);
        }
        m_writer.reset();
    }

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_temporary;
    std::optional<TSjisWriter> m_writer;
};

/// The CSV line of a record: each tab-separated field in double quotes, inner quotes doubled.
void AppendCsvLine(std::string& out, std::string_view line)
{
    out.push_back('"');
    for (const char c : line) {
        if (c == '\t') {
            out.append("\",\"");
        } else if (c == '"') {
            out.append("\"\"");
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

} // namespace

void ConvertM3NS(TConvertContext& ctx)
{
    const std::vector<std::string> header = LoadLines(ctx.DefineDir / kHeaderFile);
    TReplacingFile csv(ctx.CsvFile);
    for (const std::string& line : header) {
        csv.Writer().WriteLine(line);
    }

    mif::TSFPolygon shape;
    std::string row;
    std::string csvLine;
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(kPumpEvery);
        if (!line.empty() && line.front() == 'H') {
            continue;
        }
        Mesh3ToPolygon(SubStr(line, 1, 4, false), SubStr(line, 5, 2, false),
                       SubStr(line, 7, 2, false), shape);
        mif::WriteMifRegion(ctx.Mif, shape);
        row.clear();
        mif::AppendMidValue(row, SubStr(line, 1, 8, false));
        ctx.Mid.WriteLine(row);
        csvLine.clear();
        AppendCsvLine(csvLine, line);
        csv.Writer().WriteLine(csvLine);
    }
    csv.Commit();
}

} // namespace tolvane::ksj
