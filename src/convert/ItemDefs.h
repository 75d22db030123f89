// Definition files of a data item in the Define folder: the column definition file, the
// parameter file and the ledger definition file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "mif/UniSFMapUtil.h"

namespace tolvane::convert {

/// A definition file loaded whole, with its path for messages.
struct TDefLines
{
    std::string FileName; ///< UTF-8 path
    std::vector<std::string> Lines;

    std::size_t size() const noexcept { return Lines.size(); }
    bool empty() const noexcept { return Lines.empty(); }
    const std::string& operator[](std::size_t i) const { return Lines[i]; }
};

/// Loads `defineDir` / `sjisName` (a CP932 file name from the catalogue). An empty name names the
/// folder itself, which cannot be opened as a file. Raises TFileError.
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
mif::TSFColumns BuildColumns(const TDefLines& columnDefLines);

/// Reads line `lineIndex` (0-based) of `defs` as a strict integer, the whole line being the text
/// (parameter files). Raises TDataError with the file and line: the list-index error when the
/// line does not exist, the integer error otherwise.
std::int32_t ReadDefInteger(const TDefLines& defs, std::size_t lineIndex);

/// Reads field `field` of line `lineIndex` of `defs` as a strict integer, raising TDataError with
/// the definition file and line.
std::int32_t ReadDefField(const TDefLines& defs, std::size_t lineIndex, int field);

/// The MID value of one column for `record`: the trimmed byte slice at fields 3 (start) and 4
/// (length) of the column line. Raises TDataError when either is no integer.
std::string_view ColumnValue(std::string_view record, const TDefLines& defs, std::size_t lineIndex);

/// Start and length of one column.
struct TColumnSlice
{
    std::int32_t Start = 0;
    std::int32_t Length = 0;
};

/// The slices of the column lines from `firstLine` on. The start and length of every line are
/// read when the first row is formed: a line that is not an integer fails the conversion there,
/// with the definition file and line, exactly as reading them for every record would.
class TColumnSlices
{
public:
    explicit TColumnSlices(const TDefLines& defs, std::size_t firstLine = 0);

    const std::vector<TColumnSlice>& Slices();

    /// Appends the values of all columns for `record`, separated by ",": each the trimmed slice
    /// at start + `offset` (MIF-quoted when it holds a comma or a double quote). With no columns
    /// nothing is appended. `leadingComma` puts a "," before the first value.
    void AppendRow(std::string_view record, std::string& row, std::int64_t offset = 0,
                   bool leadingComma = false);

private:
    const TDefLines& m_defs;
    std::size_t m_firstLine;
    bool m_parsed = false;
    std::vector<TColumnSlice> m_slices;
};

} // namespace tolvane::convert
