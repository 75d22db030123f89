// The dispatch table: which converter a format code selects. "T" (ledger only) has no row: the
// driver handles it, because it changes which files are created.
#pragma once

#include <array>
#include <span>

#include "convert/ConvertContext.h"
#include "ksj/MeshConv.h"
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
};

/// The row of `formatCode` (already upper case), or nullptr.
const TConverterEntry* FindConverter(std::span<const TConverterEntry> table,
                                     std::string_view formatCode);

} // namespace tolvane::convert
