// Independent readers of generated KSJ files for the tests: CR LF line splitting, the record
// widths of the published layouts, and a parser of line and area files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvane::test {

/// A file's lines. `CrLfOnly` is false when a line ends otherwise (or the last one has no end).
struct TFileLines
{
    std::vector<std::string> Lines;
    bool CrLfOnly = true;
    bool EndsWithCtrlZ = false;
};

TFileLines SplitCrLf(std::string_view bytes);

/// Record width of the records a definition file describes (its file name), or -1.
int RecordWidthOf(std::string_view defFileName);

struct TPointXY
{
    std::int64_t X = 0;
    std::int64_t Y = 0;
    friend bool operator==(const TPointXY&, const TPointXY&) = default;
};

struct TChainRecord
{
    std::string Header;
    std::int64_t Key1 = 0;
    std::int64_t Key2 = 0;
    std::pair<std::int64_t, std::int64_t> StartNode; ///< (mesh, serial)
    std::pair<std::int64_t, std::int64_t> EndNode;
    std::vector<TPointXY> Points;
    std::vector<std::size_t> LineLengths; ///< of its coordinate lines
};

struct TRefRecord
{
    std::int64_t Key1 = 0;
    std::int64_t Key2 = 0;
    bool Reversed = false;
};

struct TFeatureRecord
{
    std::string Header;
    std::vector<TRefRecord> Refs;
    std::vector<std::size_t> LineLengths; ///< of its reference lines
};

struct TLedgerEntry
{
    std::int64_t Attr = 0;
    std::vector<std::string> Lines;
};

/// A line or area file taken apart by the published and invented layouts. Problems are
/// reported as test failures.
struct TVectorFile
{
    std::string Header1;
    std::vector<std::int64_t> Counts; ///< the seven counts of header line 2
    std::map<std::pair<std::int64_t, std::int64_t>, TPointXY> Nodes;
    std::map<std::pair<std::int64_t, std::int64_t>, std::int64_t> NodeLinks;
    std::vector<TChainRecord> Chains;
    std::vector<TFeatureRecord> Features;
    std::vector<TLedgerEntry> Ledgers;
    std::int64_t NodeLines = 0, LinkLines = 0, FeatureLines = 0, LedgerLines = 0;

    /// The chain with the keys, or nullptr.
    const TChainRecord* FindChain(std::int64_t key1, std::int64_t key2) const;
};

/// `featureLetter` 'S' (count at 48) or 'A' (count at 46); `ledgerKey` two letters or empty.
TVectorFile ParseVectorFile(const std::vector<std::string>& lines, char featureLetter,
                            std::string_view ledgerKey);

/// The integer in `text` after trimming blanks (test helper; fails the test when it is none).
std::int64_t IntOf(std::string_view text);

} // namespace tolvane::test
