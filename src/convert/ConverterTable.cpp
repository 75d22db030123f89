// The dispatch table.
#include "convert/ConverterTable.h"

namespace tolvane::convert {

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

} // namespace tolvane::convert
