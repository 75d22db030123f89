// The dispatch table: which converter a format code selects. "T" (ledger only) has no row: the
// driver handles it, because it changes which files are created.
#pragma once

#include <array>
#include <span>

#include "convert/ConvertContext.h"

namespace tolvane::convert {

// Rows are added here as converters are built; a code without a row gives a header-only MIF
// and an empty MID.
inline constexpr std::array<TConverterEntry, 0> kConverterTable{};

/// The row of `formatCode` (already upper case), or nullptr.
const TConverterEntry* FindConverter(std::span<const TConverterEntry> table,
                                     std::string_view formatCode);

} // namespace tolvane::convert
