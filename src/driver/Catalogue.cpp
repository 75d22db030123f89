// The data-item catalogue and the tree of data kinds.
#include "driver/Catalogue.h"

#include "base/AppError.h"
#include "base/uniCodePage.h"
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
    const std::filesystem::path path = defineDir / Utf8ToPath(kCatalogueFileName);
    return TCatalogue(defineDir, LoadLines(path));
}

namespace {

bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The item code of a data code: its part before the hyphen.
std::string_view ItemCodeOf(std::string_view code)
{
    return code.substr(0, code.find('-'));
}

} // namespace

std::string DataCodeOfMask(std::string_view mask)
{
    const std::string upper = UpperAscii(mask);
    if (upper.size() < 3 || !IsUpper(upper[0]) || !IsDigit(upper[1]) || !IsDigit(upper[2])) {
        return {};
    }
    // "L03-18M-*.dat", "L01-*P*.txt", "L02-*P-2K*.csv": a year of digits or wildcards, then
    // the kind letter.
    std::size_t end = 3;
    if (end < upper.size() && upper[end] == '-') {
        std::size_t pos = end + 1;
        while (pos < upper.size() &&
               (IsDigit(upper[pos]) || upper[pos] == '*' || upper[pos] == '?')) {
            ++pos;
        }
        if (pos > end + 1 && pos < upper.size() && IsUpper(upper[pos])) {
            end = pos + 1;
        }
    }
    return upper.substr(0, end);
}

bool MatchesDataCode(std::string_view code, std::string_view text)
{
    const std::string upper = UpperAscii(text);
    // Backtracking over the last "*" suffices: a "*" takes only digits.
    std::size_t c = 0;
    std::size_t t = 0;
    std::size_t starC = std::string_view::npos;
    std::size_t starT = 0;
    while (t < upper.size()) {
        if (c < code.size() && code[c] == '*') {
            starC = c++;
            starT = t;
        } else if (c < code.size() && (code[c] == '?' || code[c] == upper[t])) {
            ++c;
            ++t;
        } else if (starC != std::string_view::npos && IsDigit(upper[starT])) {
            c = starC + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (c < code.size() && code[c] == '*') {
        ++c;
    }
    return c == code.size();
}

TItemLookup LookUpItem(const TCatalogue& catalogue, std::string_view text)
{
    TItemLookup lookup;
    std::vector<std::string> names;
    std::vector<std::string> codes;
    for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
        const TCatalogueLine line = catalogue.Item(i);
        names.push_back(TrySjisToUtf8(line.ItemName).value_or(std::string()));
        codes.push_back(DataCodeOfMask(line.FileMask));
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!text.empty() && names[i] == text) {
            lookup.Items.push_back(static_cast<std::int64_t>(i));
        }
    }
    if (!lookup.Items.empty()) {
        return lookup;
    }
    const std::string upper = UpperAscii(text);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (!codes[i].empty() &&
            (MatchesDataCode(codes[i], upper) || ItemCodeOf(codes[i]) == upper)) {
            lookup.Items.push_back(static_cast<std::int64_t>(i));
        }
    }
    if (!lookup.Items.empty() || text.empty()) {
        return lookup;
    }
    const std::string_view itemCode = ItemCodeOf(upper);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].find(text) != std::string::npos ||
            (!codes[i].empty() && ItemCodeOf(codes[i]) == itemCode)) {
            lookup.Candidates.push_back(static_cast<std::int64_t>(i));
        }
    }
    return lookup;
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
