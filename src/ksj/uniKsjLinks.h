// KSJ chains: the chain block of a line or area file (a header with keys and a point count,
// then the points five to a coordinate line), all chains of a file held in memory with an index
// by key, and the decoding of chain points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/JobObserver.h"
#include "base/uniTextFile.h"
#include "shapes/UniSFMapUtil.h"

namespace tolvane::ksj {

/// Points per coordinate line, and characters per point (X in 8, then Y in 8).
inline constexpr std::int32_t kPointsPerLine = 5;
inline constexpr std::int32_t kPointWidth = 16;

/// Number of continuation lines that hold `count` items, `perLine` to a line.
inline std::int32_t ContinuationLines(std::int32_t count, std::int32_t perLine)
{
    return count / perLine + (count % perLine > 0 ? 1 : 0);
}

/// Reads the continuation lines that follow a block header announcing `count` items, `perLine` to
/// a line, and joins them into `text`, replacing what it held. With `progress`, each line read is
/// one step.
void ReadBlockLines(base::TSjisLineReader& src, std::int32_t count, std::int32_t perLine,
                    std::string& text, base::TProgress* progress = nullptr);

/// A coordinate slice in tenths of an arc-second as degrees: the slice trimmed of blanks, read as
/// a decimal number. Raises TDataError when it is blank or no number.
double ReadKsjCoord(std::string_view slice);

/// Reads a count of points or references: the six bytes from `start` as they stand (leading
/// blanks only). Raises TDataError when they are no integer or the number is negative.
std::int32_t ReadKsjCount(std::string_view header, std::int64_t start);

/// Decodes `count` points of a joined coordinate text and appends them to `points`. Point i is
/// read at positions 16i + 1 to 16i + 8 (X) and 16i + 9 to 16i + 16 (Y), each a number in
/// tenths of an arc-second with blanks around it. Positions count bytes, or characters when
/// `byCharacter` is set (a double-byte character is one position). With `reversed` the points
/// are appended last to first. Raises TDataError for a slice that is blank or no number.
void DecodeKsjPoints(std::string_view text, std::int32_t count, bool byCharacter, bool reversed,
                     std::vector<shapes::TSFPoint>& points);

/// One chain in memory (32 bytes: a file holds hundreds of thousands).
struct TKsjLink
{
    /// Line of the chain header in its file (1-based), for messages.
    std::int64_t LineNo = 0;
    /// The joined coordinate lines, CP932 bytes owned by the TKsjLinks that holds the chain.
    const char* Text = nullptr;
    std::int32_t Key1 = 0;       ///< header bytes 4 to 9
    std::int32_t Key2 = 0;       ///< header bytes 28 to 33
    std::int32_t PointCount = 0; ///< header bytes 46 to 51
    std::uint32_t TextSize = 0;

    std::string_view CoordText() const noexcept { return {Text, TextSize}; }
};

/// The chains of one file in file order, with an index from (Key1, Key2) to the first chain
/// that has the key. The coordinate texts live in a few large blocks, not one string each.
class TKsjLinks
{
public:
    TKsjLinks() = default;
    TKsjLinks(const TKsjLinks&) = delete;
    TKsjLinks& operator=(const TKsjLinks&) = delete;
    TKsjLinks(TKsjLinks&&) noexcept = default;
    TKsjLinks& operator=(TKsjLinks&&) noexcept = default;
    ~TKsjLinks() = default;

    std::size_t size() const noexcept { return m_links.size(); }
    bool empty() const noexcept { return m_links.empty(); }
    const TKsjLink& operator[](std::size_t i) const { return m_links[i]; }
    std::vector<TKsjLink>::const_iterator begin() const noexcept { return m_links.begin(); }
    std::vector<TKsjLink>::const_iterator end() const noexcept { return m_links.end(); }

    /// The points of all chains together.
    std::int64_t TotalPoints() const noexcept { return m_totalPoints; }

    /// The file the chains were read from (UTF-8), for messages.
    const std::string& FileName() const noexcept { return m_fileName; }

    /// Forgets every chain.
    void Clear();
    /// Appends a chain; its coordinate text is copied. The index is rebuilt by BuildIndex.
    /// Raises TDataError for a text of 4 GiB or more, placed at the chain's header.
    void Add(std::int32_t key1, std::int32_t key2, std::int32_t pointCount,
             std::string_view coordText, std::int64_t lineNo);
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }
    /// Indexes every chain added so far by key, the first in file order winning. Raises
    /// TDataError when there are more chains than an index can hold.
    void BuildIndex();

    /// The first chain in file order with the key, or nullptr. Keys outside the 32-bit range
    /// name no chain.
    const TKsjLink* Find(std::int64_t key1, std::int64_t key2) const noexcept;
    /// Asks the processor to fetch the index slot of the key, so that several lookups wait for
    /// memory together rather than one after another. Changes nothing.
    void Prefetch(std::int64_t key1, std::int64_t key2) const noexcept;
    /// The next step for a key whose slot was fetched: asks for the chain the slot names.
    void PrefetchChain(std::int64_t key1, std::int64_t key2) const noexcept;

    /// Decodes the points of `link` (a chain of this list) and appends them to `points`, last to
    /// first when `reversed`. Raises TDataError for a malformed coordinate, placed at the chain
    /// header.
    void AppendPoints(const TKsjLink& link, bool reversed,
                      std::vector<shapes::TSFPoint>& points) const;

private:
    std::string_view Store(std::string_view text);

    std::vector<TKsjLink> m_links;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_blockFree = nullptr;
    std::size_t m_blockLeft = 0;
    std::size_t m_nextBlockSize = 0;
    /// Open addressing with 32 more bits of the key's hash beside the chain index, so that a
    /// lookup reads only the chain it finds; the size is a power of two.
    struct TSlot
    {
        std::uint32_t Link = 0; ///< chain index + 1, 0 for an empty slot
        std::uint32_t Tag = 0;
    };
    std::vector<TSlot> m_slots;
    std::string m_fileName;
    std::int64_t m_totalPoints = 0;
};

/// Reads every chain from the current position of `src` to its end into `links`, replacing
/// what it held, and indexes them. A chain header is a line whose bytes 1 to 3, trimmed, are
/// "L"; the continuation lines it announces are joined into the coordinate text. Raises
/// TDataError when a key or point count is no integer or a count is negative. No progress is
/// reported, and `src` is not rewound.
void ReadKsjLinks(base::TSjisLineReader& src, TKsjLinks& links);

} // namespace tolvane::ksj
