// The catalogue, its tree and the definition files on arbitrary text.
#include "FuzzSupport.h"
#include "convert/AppError.h"
#include "convert/Catalogue.h"
#include "convert/ItemDefs.h"
#include "convert/uniFields.h"
#include "convert/uniTextFile.h"

#include <string>

using namespace tolvane::convert;
using tolvane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(bytes);

    const TDataKindTree tree = BuildDataKindTree(lines);
    for (const TDataKindNode& category : tree) {
        Check(category.ItemIndex == -1 && category.Level == 0, "categories carry no item");
        for (const TDataKindNode& item : category.Children) {
            Check(item.ItemIndex >= 0 && static_cast<std::size_t>(item.ItemIndex) < lines.size(),
                  "items index the catalogue");
            Check(GetField(lines[static_cast<std::size_t>(item.ItemIndex)], 10, ',') == category.Caption,
                  "items sit under their category");
        }
    }
    for (const std::string& line : lines) {
        const TCatalogueLine item = ParseCatalogueLine(line);
        Check(item.FormatCode.size() <= line.size(), "fields come from the line");
    }

    TDefLines defs{"fuzz.txt", lines};
    const auto columns = BuildColumns(defs);
    Check(columns.size() == lines.size(), "one column per line");
    for (std::size_t first : {0U, 3U, 4U}) {
        TColumnSlices slices(defs, first);
        std::string row;
        try {
            slices.AppendRow(bytes, row, 5);
        } catch (const TDataError& error) {
            Check(error.FileName() == "fuzz.txt" && error.LineNo() > 0, "definition errors name their line");
        }
    }
    for (std::size_t i = 1; i < 4; ++i) {
        try {
            (void)ReadDefInteger(defs, i);
        } catch (const TDataError& error) {
            Check(error.FileName() == "fuzz.txt", "parameter errors name their file");
        }
    }
    return 0;
}
