// The ledger pass: the ledger (台帳) records of a source file as a CSV file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "convert/JobObserver.h"
#include "convert/uniTextFile.h"

namespace tolvane::convert {

/// What the ledger pass needs of the data item.
struct TLedgerParams
{
    std::string_view LedgerKey;   ///< compared with the trimmed bytes 1 to 3 of a line
    std::int32_t LedgerLines = 0; ///< above 1: a record's line count stands in bytes 14 to 16
    std::string_view LedgerFile;  ///< the ledger definition file in the Define folder (CP932)
};

/// Reads `src` again from its first line and writes every ledger record as one row of
/// `csvFile`, after a header line of the quoted column names. Adds one to `progress` per line
/// read. Raises TFileError when the ledger definition file is missing (no CSV is created then)
/// and TDataError for a start or length that is no integer or for a record of several lines
/// that together exceed kMaxLineLength; the CSV is closed on every exit.
void WriteLedgerCsv(TSjisLineReader& src, const TLedgerParams& params,
                    const std::filesystem::path& defineDir, const std::filesystem::path& csvFile,
                    TProgress& progress);

/// Appends `value` in double quotes, each inner double quote doubled.
void AppendQuoted(std::string& row, std::string_view value);

} // namespace tolvane::convert
