// The dispatch table: which converter a format code selects. "T" (ledger only) has no row: the
// driver handles it, because it changes which files are created.
#pragma once

#include <array>
#include <span>

#include "convert/ConvertContext.h"
#include "ksj/AreaConverters.h"
#include "ksj/CsvConverters.h"
#include "ksj/LineConverter.h"
#include "ksj/PointConverters.h"

namespace tolvane::convert {

// One row per format code, in the order in which codes are tested; a code without a row gives
// a header-only MIF and an empty MID.
inline constexpr auto kConverterTable = std::to_array<TConverterEntry>({
    // Vector and point-list formats.
    {"P", &ksj::ConvertPoint, false},
    {"N", &ksj::ConvertNode, false},
    {"L", &ksj::ConvertLine, false},
    {"S", &ksj::ConvertSurface, false},
    {"A", &ksj::ConvertArea, false},
    {"AC", &ksj::ConvertArea, true},
    {"AL", &ksj::ConvertLine, false},
    {"PCSV", &ksj::ConvertPointCsv, false},
    {"PCSV2", &ksj::ConvertPointCsv2, false},
});

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
static_assert(CodesAreUniqueAndUpper(kConverterTable));

/// The row of `formatCode` (already upper case), or nullptr.
const TConverterEntry* FindConverter(std::span<const TConverterEntry> table,
                                     std::string_view formatCode);

} // namespace tolvane::convert
