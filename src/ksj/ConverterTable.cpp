// The dispatch table.
#include "ksj/ConverterTable.h"

#include <array>

#include "ksj/AreaConverters.h"
#include "ksj/CsvConverters.h"
#include "ksj/LineConverter.h"
#include "ksj/MeshConv.h"
#include "ksj/PointConverters.h"
#include "ksj/TabMeshConv.h"

namespace tolvane::ksj {

namespace {

// Each row: the code, its converter, "only closed outlines" and "writes a CSV copy".
constexpr std::array kConverterRows{
    // Mesh records
    TConverterEntry{"M2", &ConvertM2, false, false},
    TConverterEntry{"M21", &ConvertM21, false, false},
    TConverterEntry{"M22", &ConvertM22, false, false},
    TConverterEntry{"M23", &ConvertM23, false, false},
    TConverterEntry{"M24", &ConvertM24, false, false},
    TConverterEntry{"M3", &ConvertM3, false, false},
    TConverterEntry{"M3NS", &ConvertM3NS, false, true},
    TConverterEntry{"M4", &ConvertM4, false, false},
    TConverterEntry{"M3_10", &ConvertM3_10, false, false},
    TConverterEntry{"M3_10P", &ConvertM3_10P, false, false},
    TConverterEntry{"M3_4", &ConvertM3_4, false, false},
    TConverterEntry{"M3_4P", &ConvertM3_4P, false, false},
    // Points, nodes, chains, surfaces, areas and coordinate lists
    TConverterEntry{"P", &ConvertPoint, false, false},
    TConverterEntry{"N", &ConvertNode, false, false},
    TConverterEntry{"L", &ConvertLine, false, false},
    TConverterEntry{"S", &ConvertSurface, false, false},
    TConverterEntry{"A", &ConvertArea, false, false},
    TConverterEntry{"AC", &ConvertArea, true, false},
    TConverterEntry{"AL", &ConvertLine, false, false},
    TConverterEntry{"PCSV", &ConvertPointCsv, false, false},
    TConverterEntry{"PCSV2", &ConvertPointCsv2, false, false},
};
static_assert(CodesAreUniqueAndUpper(kConverterRows));

} // namespace

const std::span<const TConverterEntry> kConverterTable{kConverterRows};

const TConverterEntry* FindConverter(std::span<const TConverterEntry> table,
                                     std::string_view formatCode)
{
    for (const TConverterEntry& entry : table) {
        if (entry.FormatCode == formatCode) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace tolvane::ksj
