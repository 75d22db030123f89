// The ledger pass.
#include "convert/Ledger.h"

#include <cstring>
#include <string>
#include <vector>

#include "convert/AppError.h"
#include "convert/ItemDefs.h"
#include "convert/uniFields.h"
#include "convert/uniMessages.h"
#include "convert/uniNumbers.h"

namespace tolvane::convert {

void AppendQuoted(std::string& row, std::string_view value)
{
    row.push_back('"');
    if (value.empty() || std::memchr(value.data(), '"', value.size()) == nullptr) {
        row.append(value);
        row.push_back('"');
        return;
    }
    for (const char c : value) {
        if (c == '"') {
            row.push_back('"');
        }
        row.push_back(c);
    }
    row.push_back('"');
}

namespace {

// One CSV column: a slice of the record, or the whole next source line.
struct TLedgerColumn
{
    bool FurtherLine = false;
    std::int32_t Start = 0;
    std::int32_t Length = 0;
};

// Start and length are read at the first ledger record; a bad one fails the pass there, with
// the ledger definition file and line.
std::vector<TLedgerColumn> ParseColumns(const TDefLines& defs)
{
    std::vector<TLedgerColumn> columns(defs.size());
    for (std::size_t i = 0; i < defs.size(); ++i) {
        columns[i].FurtherLine = !IsInteger(GetField(defs[i], 4, ','));
        if (!columns[i].FurtherLine) {
            columns[i].Start = ReadDefField(defs, i, 3);
            columns[i].Length = ReadDefField(defs, i, 4);
        }
    }
    return columns;
}

} // namespace

void WriteLedgerCsv(TSjisLineReader& src, const TLedgerParams& params,
                    const std::filesystem::path& defineDir, const std::filesystem::path& csvFile,
                    TProgress& progress)
{
    progress.Observer().SetStatusText(kStatusLedger);
    const TDefLines defs = LoadLedgerDefinitions(defineDir, params.LedgerFile);
    src.Rewind();

    TSjisWriter csv(csvFile);
    try {
        std::string row;
        for (std::size_t i = 0; i < defs.size(); ++i) {
            if (i > 0) {
                row.push_back(',');
            }
            AppendQuoted(row, GetField(defs[i], 1, ','));
        }
        csv.WriteLine(row);

        std::vector<TLedgerColumn> columns;
        bool parsed = false;
        std::string record;
        while (!src.Eof()) {
            const std::string_view line = src.ReadLineView();
            progress.Step();
            if (SubStr(line, 1, 3, true) != params.LedgerKey) {
                continue;
            }
            record.assign(line);
            if (params.LedgerLines > 1) {
                const std::int32_t n = StrToIntDef(SubStr(record, 14, 3, true), 0);
                for (std::int32_t k = 1; k < n; ++k) {
                    const std::string_view more = src.ReadLineView();
                    progress.Step();
                    // A record of up to 999 lines must not grow beyond what one line may hold.
                    if (record.size() + more.size() > kMaxLineLength) {
                        TDataError error(
                            FormatMessage(kMsgLineTooLong, {std::to_string(kMaxLineLength)}));
                        error.SetPlace(src.FileName(), src.LineNo());
                        throw error;
                    }
                    record.append(more);
                }
            }
            if (!parsed) {
                columns = ParseColumns(defs);
                parsed = true;
            }
            row.clear();
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i > 0) {
                    row.push_back(',');
                }
                const TLedgerColumn& column = columns[i];
                if (column.FurtherLine) {
                    record.assign(src.ReadLineView());
                    progress.Step();
                    row.append(record);
                } else {
                    AppendQuoted(row, TrimWide(SubStr(record, column.Start, column.Length, false)));
                }
            }
            csv.WriteLine(row);
        }
        csv.Close();
    } catch (...) {
        csv.Abandon();
        throw;
    }
}

} // namespace tolvane::convert
