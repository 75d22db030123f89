// The data-item catalogue "データ項目.txt" and the tree of data kinds built from it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::driver {

/// The catalogue's file name inside the Define folder.
inline constexpr std::string_view kCatalogueFileName = "データ項目.txt";

/// One catalogue line taken apart (comma-separated, fields beyond 10 ignored). Text stays CP932.
struct TCatalogueLine
{
    std::string ItemName;         ///< field 1
    std::string FormatCode;       ///< field 2, upper-cased
    std::string FileMask;         ///< field 3
    std::string ParamFile;        ///< field 4
    std::string ColumnFile;       ///< field 5
    bool HasLedger = false;       ///< field 6, Boolean text; false when unreadable
    std::string LedgerKey;        ///< field 7
    std::int32_t LedgerLines = 0; ///< field 8, integer text; 0 when unreadable
    std::string LedgerFile;       ///< field 9
    std::string Category;         ///< field 10

    /// The ledger-only format "T": a CSV and no MIF/MID.
    bool IsLedgerOnly() const { return FormatCode == "T"; }
};

TCatalogueLine ParseCatalogueLine(std::string_view line);

/// The catalogue lines of one Define folder. The item index of a data item is the 0-based
/// position of its line.
class TCatalogue
{
public:
    TCatalogue() = default;
    TCatalogue(std::filesystem::path defineDir, std::vector<std::string> lines);

    const std::filesystem::path& DefineDir() const noexcept { return m_defineDir; }
    const std::vector<std::string>& Lines() const noexcept { return m_lines; }
    std::int64_t Count() const noexcept { return static_cast<std::int64_t>(m_lines.size()); }

    /// The line at `index`; raises TDataError "リストのインデックスが範囲を超えています (index)".
    const std::string& Line(std::int64_t index) const;
    /// The parsed line at `index`; raises as Line().
    TCatalogueLine Item(std::int64_t index) const;

private:
    std::filesystem::path m_defineDir;
    std::vector<std::string> m_lines;
};

/// Loads `defineDir`/データ項目.txt; raises TFileError when it cannot be opened.
TCatalogue LoadCatalogue(const std::filesystem::path& defineDir);

/// The KSJ data code at the start of a file mask: the item code (a capital letter and two digits,
/// "S04") and, when a hyphen, a year and a kind letter follow, those too ("L03-18M"; a year the
/// mask leaves open stays a pattern: "L01-*P"). Empty when the mask starts otherwise ("*.csv").
std::string DataCodeOfMask(std::string_view mask);

/// Whether the data code `text` ("L03-18M", any case) is one that `code` (from DataCodeOfMask)
/// stands for: a "*" of the code matches any digits, a "?" one character.
bool MatchesDataCode(std::string_view code, std::string_view text);

/// What a text names among the items of a catalogue.
struct TItemLookup
{
    std::vector<std::int64_t> Items;      ///< one: found; several: ambiguous; none: unknown
    std::vector<std::int64_t> Candidates; ///< when none is found: items with a similar name or code
};

/// The items that `text` (UTF-8) names: the items of that exact name; else the items whose data
/// code stands for it as a data code ("L03-18M") or as an item code alone ("L03"). When nothing
/// matches, the candidates are the items whose name contains the text or whose item code is the
/// text's. Catalogue numbers are not looked up here.
TItemLookup LookUpItem(const TCatalogue& catalogue, std::string_view text);

/// A node of the tree of data kinds: a category (level 0, item index -1) or a data item (level 1,
/// its catalogue index).
struct TDataKindNode
{
    std::string Caption; ///< CP932
    std::int64_t ItemIndex = -1;
    int Level = 0;
    bool Expanded = false;
    std::vector<TDataKindNode> Children;
};

using TDataKindTree = std::vector<TDataKindNode>;

/// The tree of data kinds: one top-level node for each run of consecutive lines of one category
/// (a first run with an empty category opens none); each category node lists every line of its
/// category in the whole catalogue, in catalogue order; every category node is expanded.
TDataKindTree BuildDataKindTree(const std::vector<std::string>& catalogueLines);

} // namespace tolvane::driver
