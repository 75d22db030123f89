// The ledger pass: the ledger (台帳) records of a source file as a table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "base/JobObserver.h"
#include "base/uniTextFile.h"
#include "shapes/FeatureOutput.h"

namespace tolvane::driver {

/// What the ledger pass needs of the data item.
struct TLedgerParams
{
    std::string_view LedgerKey;   ///< compared with the trimmed bytes 1 to 3 of a line
    std::int32_t LedgerLines = 0; ///< above 1: a record's line count stands in bytes 14 to 16
    std::string_view LedgerFile;  ///< the ledger definition file in the Define folder (CP932)
};

/// Creates the table the ledger goes to.
using TTableFactory = std::function<std::unique_ptr<shapes::TTableOutput>()>;

/// Reads `src` again from its first line and writes every ledger record as one row of the table
/// that `createTable` gives, after a header of the column names; then finishes the table. Adds
/// one to `progress` per line read. Returns the number of rows written. Raises TFileError when the
/// ledger definition file is missing (no table is created then) and TDataError for a start or
/// length that is no integer or for a record of several lines that together exceed kMaxLineLength.
std::int64_t WriteLedger(base::TSjisLineReader& src, const TLedgerParams& params,
                         const std::filesystem::path& defineDir, const TTableFactory& createTable,
                         base::TProgress& progress);

/// WriteLedger into the CSV file `csvFile`: a header line of the quoted column names, then one
/// line per record, each value quoted; a column that takes the whole next source line takes it
/// as it stands. The CSV is closed on every exit.
std::int64_t WriteLedgerCsv(base::TSjisLineReader& src, const TLedgerParams& params,
                            const std::filesystem::path& defineDir,
                            const std::filesystem::path& csvFile, base::TProgress& progress);

} // namespace tolvane::driver
