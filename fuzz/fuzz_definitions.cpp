// The catalogue, its tree and the definition files on arbitrary text, in memory and as the
// catalogue file of a Define folder whose items name the definition files of fuzz/define.
#include <string>

#include "FuzzSupport.h"
#include "base/AppError.h"
#include "base/uniFields.h"
#include "base/uniTextFile.h"
#include "driver/Catalogue.h"
#include "driver/ItemDefs.h"
#include "ksj/ColumnSlices.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::fuzz::Check;

namespace {

// The catalogue file of a scratch Define folder holding copies of fuzz/define's files; every
// item's definition files load or raise a file error that names the file.
void LoadFromFolder(std::string_view bytes)
{
    static const std::filesystem::path dir = [] {
        auto path = tolvane::fuzz::ScratchDir() / "define";
        std::filesystem::create_directories(path);
        std::filesystem::copy(TOLVANE_FUZZ_DEFINE, path,
                              std::filesystem::copy_options::overwrite_existing);
        return path;
    }();
    tolvane::fuzz::WriteFile(dir / std::string(kCatalogueFileName), bytes);
    const TCatalogue catalogue = LoadCatalogue(dir);
    for (std::int64_t i = 0; i < catalogue.Count() && i < 16; ++i) {
        const TCatalogueLine item = catalogue.Item(i);
        // Names that leave the folder could reach devices; the Define folder holds plain names.
        if (item.ParamFile.find('/') != std::string::npos ||
            item.ColumnFile.find('/') != std::string::npos ||
            item.LedgerFile.find('/') != std::string::npos) {
            continue;
        }
        try {
            if (!item.IsLedgerOnly()) {
                TDefLines params;
                TDefLines columns;
                LoadItemDefinitions(dir, item.ParamFile, item.ColumnFile, params, columns);
                Check(BuildColumns(columns).size() == columns.size(), "one column per line");
            }
            if (item.HasLedger) {
                (void)LoadLedgerDefinitions(dir, item.LedgerFile);
            }
        } catch (const TFileError& error) {
            Check(std::string_view(error.what()).find("ファイル") != std::string_view::npos,
                  "a definition file that cannot be read is named");
        } catch (const TDataError&) {
            // a file name that is no Shift-JIS
        }
    }
}

} // namespace

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
            Check(GetField(lines[static_cast<std::size_t>(item.ItemIndex)], 10, ',') ==
                      category.Caption,
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
        tolvane::ksj::TColumnSlices slices(defs, first);
        tolvane::shapes::TSFRow row;
        try {
            slices.AppendRow(bytes, row, 5);
            Check(row.Count() + first == lines.size() || lines.size() < first,
                  "one value per column line");
        } catch (const TDataError& error) {
            Check(error.FileName() == "fuzz.txt" && error.LineNo() > 0,
                  "definition errors name their line");
        }
    }
    for (std::size_t i = 1; i < 4; ++i) {
        try {
            (void)ReadDefInteger(defs, i);
        } catch (const TDataError& error) {
            Check(error.FileName() == "fuzz.txt", "parameter errors name their file");
        }
    }
    LoadFromFolder(bytes);
    return 0;
}
