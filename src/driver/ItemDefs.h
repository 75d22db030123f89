// Definition files of a data item in the Define folder: the column definition file, the
// parameter file and the ledger definition file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/DefLines.h"
#include "shapes/UniSFMapUtil.h"

namespace tolvane::driver {

using base::TDefLines;

/// Loads `defineDir` / `sjisName` (a CP932 file name from the catalogue). An empty name names the
/// folder itself, which cannot be opened as a file. Raises TFileError, and TDataError for a
/// name that is not a plain file name (IsPlainFileName).
TDefLines LoadDefLines(const std::filesystem::path& defineDir, std::string_view sjisName);

/// Loads the parameter file, then the column definition file (the order in which a missing file
/// is reported).
void LoadItemDefinitions(const std::filesystem::path& defineDir, std::string_view paramFile,
                         std::string_view columnFile, TDefLines& paramLines,
                         TDefLines& columnDefLines);

/// Loads the ledger definition file.
TDefLines LoadLedgerDefinitions(const std::filesystem::path& defineDir,
                                std::string_view ledgerFile);

/// The MIF column list: one column per line (empty lines included). Field 1 is the name; field
/// 2 the type word (trimmed, any case): schar (Char 20), char, integer, float, date, logical;
/// anything else is Char 100.
shapes::TSFColumns BuildColumns(const TDefLines& columnDefLines);

/// The MID value of one column for `record`: the trimmed byte slice at fields 3 (start) and 4
/// (length) of the column line. Raises TDataError when either is no integer.
std::string_view ColumnValue(std::string_view record, const TDefLines& defs, std::size_t lineIndex);

} // namespace tolvane::driver
