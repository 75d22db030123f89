// The ledger pass.
#include "driver/Ledger.h"

#include <string>
#include <vector>

#include "base/AppError.h"
#include "base/DefLines.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "driver/ItemDefs.h"
#include "mif/MifOutput.h"

namespace tolvane::driver {

using namespace tolvane::base;

namespace {

// One column: a slice of the record, or the whole next source line.
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

std::int64_t WriteLedger(TSjisLineReader& src, const TLedgerParams& params,
                         const std::filesystem::path& defineDir, const TTableFactory& createTable,
                         TProgress& progress)
{
    progress.Observer().SetStatusText(kStatusLedger);
    const TDefLines defs = LoadLedgerDefinitions(defineDir, params.LedgerFile);
    src.Rewind();

    const std::unique_ptr<shapes::TTableOutput> table = createTable();
    shapes::TSFRow row(false);
    for (std::size_t i = 0; i < defs.size(); ++i) {
        row.Add(GetField(defs[i], 1, ','));
    }
    table->WriteHeader(row);

    std::vector<TLedgerColumn> columns;
    bool parsed = false;
    std::int64_t rows = 0;
    std::string record;
    std::string further;
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
        row.Clear();
        for (const TLedgerColumn& column : columns) {
            if (column.FurtherLine) {
                // The record ends here: the rest of the row is the next line as it stands.
                further.assign(src.ReadLineView());
                progress.Step();
                row.AddRaw(further);
                record = further;
            } else {
                row.Add(TrimWide(SubStr(record, column.Start, column.Length, false)));
            }
        }
        table->WriteRow(row);
        ++rows;
    }
    table->Finish();
    return rows;
}

std::int64_t WriteLedgerCsv(TSjisLineReader& src, const TLedgerParams& params,
                            const std::filesystem::path& defineDir,
                            const std::filesystem::path& csvFile, TProgress& progress)
{
    return WriteLedger(
        src, params, defineDir, [&csvFile] { return std::make_unique<mif::TCsvOutput>(csvFile); },
        progress);
}

} // namespace tolvane::driver
