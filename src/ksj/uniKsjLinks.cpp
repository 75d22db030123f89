// KSJ chains.
#include "ksj/uniKsjLinks.h"

#include <algorithm>
#include <limits>

#include "base/AppError.h"
#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "ksj/uniKsjUtils.h"

namespace tolvane::ksj {

using base::FormatMessage;
using base::IsSjisLeadByte;
using base::SubStr;
using base::TDataError;
using base::TrimBlanks;

namespace {

// Blocks of chain text grow from 64 KiB to 1 MiB (what the last one leaves unused stays small
// beside the text); a text over 256 KiB gets a block of its own.
constexpr std::size_t kFirstBlockSize = std::size_t{64} * 1024;
constexpr std::size_t kMaxBlockSize = std::size_t{1} * 1024 * 1024;
constexpr std::size_t kOwnBlockSize = kMaxBlockSize / 4;

// Byte offsets of character positions in CP932 text, for positions that never decrease.
class TCharCursor
{
public:
    explicit TCharCursor(std::string_view text) : m_text(text) {}

    // Byte offset of character `pos` (0-based); the text's length when it lies beyond the end.
    std::size_t ByteOf(std::size_t pos)
    {
        while (m_char < pos && m_byte < m_text.size()) {
            const bool pair = IsSjisLeadByte(m_text[m_byte]) && m_byte + 1 < m_text.size();
            m_byte += pair ? 2 : 1;
            ++m_char;
        }
        return m_byte;
    }

private:
    std::string_view m_text;
    std::size_t m_byte = 0;
    std::size_t m_char = 0;
};

std::string_view ByteSlice(std::string_view text, std::size_t pos, std::size_t count)
{
    return pos < text.size() ? text.substr(pos, count) : std::string_view();
}

bool HasDoubleByte(std::string_view text)
{
    unsigned bits = 0;
    for (const char c : text) {
        bits |= static_cast<unsigned char>(c);
    }
    if ((bits & 0x80U) == 0) {
        return false;
    }
    return std::any_of(text.begin(), text.end(), [](char c) { return IsSjisLeadByte(c); });
}

std::uint64_t HashKey(std::int32_t key1, std::int32_t key2)
{
    std::uint64_t h =
        (std::uint64_t{static_cast<std::uint32_t>(key1)} << 32) | static_cast<std::uint32_t>(key2);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// The bits of a hash that the slot does not already stand for (capacities stay below 2^32).
std::uint32_t TagOf(std::uint64_t hash)
{
    return static_cast<std::uint32_t>(hash >> 32);
}

} // namespace

void ReadBlockLines(base::TSjisLineReader& src, std::int32_t count, std::int32_t perLine,
                    std::string& text, base::TProgress* progress)
{
    text.clear();
    for (std::int32_t k = ContinuationLines(count, perLine); k > 0; --k) {
        text.append(src.ReadLineView());
        if (progress != nullptr) {
            progress->Step();
        }
    }
}

double ReadKsjCoord(std::string_view slice)
{
    // Trimmed here rather than by TrimBlanks: a slice is a few bytes, and this runs for every
    // point.
    std::string_view text = slice;
    while (!text.empty() && base::IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && base::IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    // Whole numbers, the normal case, are exact in a double and read without the general
    // parser; the result is the same.
    std::size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i < text.size() && text.size() - i <= 15) {
        std::int64_t value = 0;
        for (; i < text.size(); ++i) {
            const auto digit = static_cast<unsigned>(static_cast<unsigned char>(text[i]) - '0');
            if (digit > 9) {
                break;
            }
            value = value * 10 + digit;
        }
        if (i == text.size()) {
            const auto magnitude = static_cast<double>(value);
            return KsjCoordToDegree(text[0] == '-' ? -magnitude : magnitude);
        }
    }
    if (const auto value = base::TryStrToFloat(text)) {
        return KsjCoordToDegree(*value);
    }
    throw TDataError(FormatMessage(base::kMsgInvalidFloat, {base::SjisToUtf8(text)}));
}

std::int32_t ReadKsjCount(std::string_view header, std::int64_t start)
{
    const std::string_view text = SubStr(header, start, 6, false);
    const std::int32_t count = base::StrToInt(text);
    if (count < 0) {
        throw TDataError(FormatMessage(base::kMsgInvalidCount, {base::SjisToUtf8(text)}));
    }
    return count;
}

void DecodeKsjPoints(std::string_view text, std::int32_t count, bool byCharacter, bool reversed,
                     std::vector<shapes::TSFPoint>& points)
{
    if (count <= 0) {
        return;
    }
    const std::size_t first = points.size();
    const auto n = static_cast<std::size_t>(count);
    points.resize(first + n);
    constexpr auto kWidth = static_cast<std::size_t>(kPointWidth);
    constexpr std::size_t kHalf = kWidth / 2;
    if (byCharacter) {
        TCharCursor cursor(text);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t x0 = cursor.ByteOf(i * kWidth);
            const std::size_t y0 = cursor.ByteOf(i * kWidth + kHalf);
            const std::size_t y1 = cursor.ByteOf(i * kWidth + kWidth);
            points[first + i].X = ReadKsjCoord(text.substr(x0, y0 - x0));
            points[first + i].Y = ReadKsjCoord(text.substr(y0, y1 - y0));
        }
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            points[first + i].X = ReadKsjCoord(ByteSlice(text, i * kWidth, kHalf));
            points[first + i].Y = ReadKsjCoord(ByteSlice(text, i * kWidth + kHalf, kHalf));
        }
    }
    if (reversed) {
        std::reverse(points.begin() + static_cast<std::ptrdiff_t>(first), points.end());
    }
}

void TKsjLinks::Clear()
{
    m_links.clear();
    m_blocks.clear();
    m_blockFree = nullptr;
    m_blockLeft = 0;
    m_nextBlockSize = 0;
    m_slots.clear();
    m_totalPoints = 0;
}

std::string_view TKsjLinks::Store(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    if (text.size() > kOwnBlockSize) {
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::copy(text.begin(), text.end(), m_blocks.back().get());
        return {m_blocks.back().get(), text.size()};
    }
    if (text.size() > m_blockLeft) {
        m_nextBlockSize =
            m_nextBlockSize == 0 ? kFirstBlockSize : std::min(m_nextBlockSize * 2, kMaxBlockSize);
        const std::size_t size = std::max(m_nextBlockSize, text.size());
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
        m_blockFree = m_blocks.back().get();
        m_blockLeft = size;
    }
    char* stored = m_blockFree;
    std::copy(text.begin(), text.end(), stored);
    m_blockFree += text.size();
    m_blockLeft -= text.size();
    return {stored, text.size()};
}

void TKsjLinks::Add(std::int32_t key1, std::int32_t key2, std::int32_t pointCount,
                    std::string_view coordText, std::int64_t lineNo)
{
    if (coordText.size() > std::numeric_limits<std::uint32_t>::max()) {
        TDataError error(
            FormatMessage(base::kMsgChainTextTooLong,
                          {std::to_string(std::numeric_limits<std::uint32_t>::max())}));
        error.SetPlace(m_fileName, lineNo);
        throw error;
    }
    const std::string_view stored = Store(coordText);
    TKsjLink& link = m_links.emplace_back();
    link.Key1 = key1;
    link.Key2 = key2;
    link.PointCount = pointCount;
    link.Text = stored.data();
    link.TextSize = static_cast<std::uint32_t>(stored.size());
    link.LineNo = lineNo;
    m_totalPoints += pointCount;
}

void TKsjLinks::BuildIndex()
{
    m_slots.clear();
    if (m_links.empty()) {
        return;
    }
    if (m_links.size() >= std::numeric_limits<std::uint32_t>::max() / 2) {
        TDataError error(
            FormatMessage(base::kMsgTooManyChains,
                          {std::to_string(std::numeric_limits<std::uint32_t>::max() / 2)}));
        error.SetPlace(m_fileName, 0);
        throw error;
    }
    std::size_t capacity = 16;
    while (capacity < 2 * m_links.size()) {
        capacity *= 2;
    }
    m_slots.assign(capacity, TSlot{});
    const std::size_t mask = capacity - 1;
    // The slots are written in chain order (the first chain of a key wins); the slot of a chain
    // a little further on is fetched early, so that the random writes overlap.
    constexpr std::size_t kAhead = 16;
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        if (i + kAhead < m_links.size()) {
            const TKsjLink& ahead = m_links[i + kAhead];
            base::Prefetch<1>(&m_slots[HashKey(ahead.Key1, ahead.Key2) & mask]);
        }
        const TKsjLink& link = m_links[i];
        std::size_t slot = HashKey(link.Key1, link.Key2) & mask;
        const std::uint32_t tag = TagOf(HashKey(link.Key1, link.Key2));
        bool taken = false;
        while (m_slots[slot].Link != 0) {
            const TKsjLink& other = m_links[m_slots[slot].Link - 1];
            if (m_slots[slot].Tag == tag && other.Key1 == link.Key1 && other.Key2 == link.Key2) {
                taken = true; // an earlier chain has the key and stays the one found
                break;
            }
            slot = (slot + 1) & mask;
        }
        if (!taken) {
            m_slots[slot] = TSlot{static_cast<std::uint32_t>(i + 1), tag};
        }
    }
}

namespace {

bool InKeyRange(std::int64_t key1, std::int64_t key2) noexcept
{
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return key1 >= kMin && key1 <= kMax && key2 >= kMin && key2 <= kMax;
}

} // namespace

const TKsjLink* TKsjLinks::Find(std::int64_t key1, std::int64_t key2) const noexcept
{
    if (m_slots.empty() || !InKeyRange(key1, key2)) {
        return nullptr;
    }
    const auto k1 = static_cast<std::int32_t>(key1);
    const auto k2 = static_cast<std::int32_t>(key2);
    const std::uint64_t hash = HashKey(k1, k2);
    const std::uint32_t tag = TagOf(hash);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask; m_slots[slot].Link != 0; slot = (slot + 1) & mask) {
        if (m_slots[slot].Tag == tag) {
            const TKsjLink& link = m_links[m_slots[slot].Link - 1];
            if (link.Key1 == k1 && link.Key2 == k2) {
                return &link;
            }
        }
    }
    return nullptr;
}

void TKsjLinks::Prefetch(std::int64_t key1, std::int64_t key2) const noexcept
{
    if (m_slots.empty() || !InKeyRange(key1, key2)) {
        return;
    }
    const std::size_t slot =
        HashKey(static_cast<std::int32_t>(key1), static_cast<std::int32_t>(key2)) &
        (m_slots.size() - 1);
    base::Prefetch(&m_slots[slot]);
}

void TKsjLinks::PrefetchChain(std::int64_t key1, std::int64_t key2) const noexcept
{
    if (m_slots.empty() || !InKeyRange(key1, key2)) {
        return;
    }
    const std::uint64_t hash =
        HashKey(static_cast<std::int32_t>(key1), static_cast<std::int32_t>(key2));
    const std::uint32_t tag = TagOf(hash);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask; m_slots[slot].Link != 0; slot = (slot + 1) & mask) {
        if (m_slots[slot].Tag == tag) {
            base::Prefetch(&m_links[m_slots[slot].Link - 1]);
            return;
        }
    }
}

void TKsjLinks::AppendPoints(const TKsjLink& link, bool reversed,
                             std::vector<shapes::TSFPoint>& points) const
{
    try {
        const std::string_view text = link.CoordText();
        DecodeKsjPoints(text, link.PointCount, HasDoubleByte(text), reversed, points);
    } catch (base::TAppError& error) {
        // The bad coordinate belongs to the chain, wherever the record that names it stands.
        error.SetPlace(m_fileName, link.LineNo);
        throw;
    }
}

void ReadKsjLinks(base::TSjisLineReader& src, TKsjLinks& links)
{
    links.Clear();
    links.SetFileName(src.FileName());
    std::string text;
    while (!src.Eof()) {
        const std::string_view line = src.ReadLineView();
        if (SubStr(line, 1, 3, true) != "L") {
            continue;
        }
        const std::int32_t count = ReadKsjCount(line, 46);
        const std::int32_t key1 = base::StrToInt(SubStr(line, 4, 6, false));
        const std::int32_t key2 = base::StrToInt(SubStr(line, 28, 6, false));
        const std::int64_t lineNo = src.LineNo();
        ReadBlockLines(src, count, kPointsPerLine, text);
        links.Add(key1, key2, count, text, lineNo);
    }
    links.BuildIndex();
}

} // namespace tolvane::ksj
