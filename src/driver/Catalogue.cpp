// The data-item catalogue and the tree of data kinds.
#include "driver/Catalogue.h"

#include "base/AppError.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "base/uniTextFile.h"

namespace tolvane::driver {

using namespace tolvane::base;

TCatalogueLine ParseCatalogueLine(std::string_view line)
{
    std::vector<std::string> fields;
    SplitFields(line, ',', fields);
    fields.resize(10);
    TCatalogueLine item;
    item.ItemName = fields[0];
    item.FormatCode = UpperAscii(fields[1]);
    item.FileMask = fields[2];
    item.ParamFile = fields[3];
    item.ColumnFile = fields[4];
    item.HasLedger = StrToBoolDef(fields[5], false);
    item.LedgerKey = fields[6];
    item.LedgerLines = StrToIntDef(fields[7], 0);
    item.LedgerFile = fields[8];
    item.Category = fields[9];
    return item;
}

TCatalogue::TCatalogue(std::filesystem::path defineDir, std::vector<std::string> lines)
    : m_defineDir(std::move(defineDir)), m_lines(std::move(lines))
{
}

const std::string& TCatalogue::Line(std::int64_t index) const
{
    if (index < 0 || index >= Count()) {
        throw TDataError(FormatMessage(kMsgListIndex, {std::to_string(index)}));
    }
    return m_lines[static_cast<std::size_t>(index)];
}

TCatalogueLine TCatalogue::Item(std::int64_t index) const
{
    return ParseCatalogueLine(Line(index));
}

TCatalogue LoadCatalogue(const std::filesystem::path& defineDir)
{
    const std::filesystem::path path =
        defineDir / std::filesystem::path(std::string(kCatalogueFileName));
    return TCatalogue(defineDir, LoadLines(path));
}

TDataKindTree BuildDataKindTree(const std::vector<std::string>& catalogueLines)
{
    std::vector<std::string> categories;
    categories.reserve(catalogueLines.size());
    for (const std::string& line : catalogueLines) {
        categories.push_back(GetField(line, 10, ','));
    }

    TDataKindTree tree;
    std::string previous;
    for (const std::string& category : categories) {
        if (category != previous) {
            previous = category;
            TDataKindNode node;
            node.Caption = category;
            node.ItemIndex = -1;
            node.Level = 0;
            tree.push_back(std::move(node));
        }
    }

    for (TDataKindNode& node : tree) {
        for (std::size_t i = 0; i < catalogueLines.size(); ++i) {
            if (categories[i] == node.Caption) {
                TDataKindNode child;
                child.Caption = GetField(catalogueLines[i], 1, ',');
                child.ItemIndex = static_cast<std::int64_t>(i);
                child.Level = 1;
                node.Children.push_back(std::move(child));
            }
        }
        node.Expanded = true;
    }
    return tree;
}

} // namespace tolvane::driver
