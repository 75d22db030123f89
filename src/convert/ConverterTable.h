// The dispatch table: which converter a format code selects. "T" (ledger only) has no row: the
// driver handles it, because it changes which files are created.
#pragma once

#include <array>
#include <span>

#include "convert/ConvertContext.h"
#include "ksj/AreaConverters.h"
#include "ksj/CsvConverters.h"
#include "ksj/LineConverter.h"
#include "ksj/MeshConv.h"
#include "ksj/PointConverters.h"
#include "ksj/TabMeshConv.h"

namespace tolvane::convert {

// One row per format code, in the order the codes are tested. A code without a row gives a
// header-only MIF and an empty MID.
inline constexpr std::array kConverterTable{
    // Mesh records
    TConverterEntry{"M2", &ksj::ConvertM2, false},
    TConverterEntry{"M21", &ksj::ConvertM21, false},
    TConverterEntry{"M22", &ksj::ConvertM22, false},
    TConverterEntry{"M23", &ksj::ConvertM23, false},
    TConverterEntry{"M24", &ksj::ConvertM24, false},
    TConverterEntry{"M3", &ksj::ConvertM3, false},
    TConverterEntry{"M3NS", &ksj::ConvertM3NS, false},
    TConverterEntry{"M4", &ksj::ConvertM4, false},
    TConverterEntry{"M3_10", &ksj::ConvertM3_10, false},
    TConverterEntry{"M3_10P", &ksj::ConvertM3_10P, false},
    TConverterEntry{"M3_4", &ksj::ConvertM3_4, false},
    TConverterEntry{"M3_4P", &ksj::ConvertM3_4P, false},
    // Points, nodes, chains, surfaces, areas and coordinate lists
    TConverterEntry{"P", &ksj::ConvertPoint, false},
    TConverterEntry{"N", &ksj::ConvertNode, false},
    TConverterEntry{"L", &ksj::ConvertLine, false},
    TConverterEntry{"S", &ksj::ConvertSurface, false},
    TConverterEntry{"A", &ksj::ConvertArea, false},
    TConverterEntry{"AC", &ksj::ConvertArea, true},
    TConverterEntry{"AL", &ksj::ConvertLine, false},
    TConverterEntry{"PCSV", &ksj::ConvertPointCsv, false},
    TConverterEntry{"PCSV2", &ksj::ConvertPointCsv2, false},
};

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
