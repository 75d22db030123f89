// The dispatch table: which converter a format code selects. "T" (ledger only) has no row: the
// driver handles it, because it changes which files are created. A new converter is a module of
// its own and one row in ConverterTable.cpp.
#pragma once

#include <span>
#include <string_view>

#include "ksj/ConvertContext.h"

namespace tolvane::ksj {

/// One row per format code, in the order the codes are tested. A code without a row gives a
/// header-only output with no objects.
extern const std::span<const TConverterEntry> kConverterTable;

/// True when every code of `table` is upper case and no code appears twice.
constexpr bool CodesAreUniqueAndUpper(std::span<const TConverterEntry> table)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (const char c : table[i].FormatCode) {
            if (c >= 'a' && c <= 'z') {
                return false;
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (table[i].FormatCode == table[j].FormatCode) {
                return false;
            }
        }
    }
    return true;
}

/// The row of `formatCode` (already upper case), or nullptr.
const TConverterEntry* FindConverter(std::span<const TConverterEntry> table,
                                     std::string_view formatCode);

} // namespace tolvane::ksj
