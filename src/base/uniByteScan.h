// Byte scans sixteen bytes at a time where the processor has SSE2 (every x86-64) and eight at a
// time in a 64-bit word elsewhere and for the rest of a span: finding the first line break or
// Ctrl-Z of a line, measuring runs of clean CR LF lines, counting line breaks and a line's
// delimiters, without a library call per line.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define TOLVANE_BYTESCAN_SSE2 1
#endif

namespace tolvane::base::bytescan {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
inline constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FULL;

/// Eight bytes with the first one in the lowest byte of the word, whatever the machine.
inline std::uint64_t Load8(const char* p) noexcept
{
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t swapped = 0;
        for (int i = 0; i < 8; ++i, word >>= 8) {
            swapped = (swapped << 8) | (word & 0xFFU);
        }
        word = swapped;
    }
    return word;
}

/// The top bit of every byte of `word` that equals `byte`, and no other bit (exact: no carry
/// runs from one byte into the next).
inline std::uint64_t MatchMask(std::uint64_t word, unsigned char byte) noexcept
{
    const std::uint64_t x = word ^ (kOnes * byte);
    return ~(((x & kLowBits) + kLowBits) | x) & kHighBits;
}

/// Number of bytes of a mask of top bits.
inline unsigned CountMask(std::uint64_t mask) noexcept
{
    return static_cast<unsigned>(((mask >> 7) * kOnes) >> 56);
}

/// Position of the first byte of `text[0, size)` that is LF, CR or Ctrl-Z; `size` when none is.
inline std::size_t FindLineStop(const char* text, std::size_t size) noexcept
{
    std::size_t i = 0;
#ifdef TOLVANE_BYTESCAN_SSE2
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i eof = _mm_set1_epi8(0x1A);
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)),
                                         _mm_cmpeq_epi8(v, eof));
        const auto bits = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (bits != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(bits));
        }
    }
#endif
    for (; i + 8 <= size; i += 8) {
        const std::uint64_t word = Load8(text + i);
        const std::uint64_t mask =
            MatchMask(word, '\n') | MatchMask(word, '\r') | MatchMask(word, 0x1A);
        if (mask != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(mask) / 8);
        }
    }
    for (; i < size; ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r' || c == '\x1A') {
            return i;
        }
    }
    return size;
}

/// Length of the longest prefix of `text[0, size)` made of whole lines that end in CR LF and
/// hold no other CR or LF and no Ctrl-Z, and (in `lines`) how many lines it holds. The scan
/// goes eight bytes at a time and stops at the first word that breaks the pattern or is not
/// whole, so a few clean lines at the end may be left for the caller.
inline std::size_t MeasureCleanLines(const char* text, std::size_t size,
                                     std::int64_t& lines) noexcept
{
    std::size_t clean = 0;
    std::int64_t count = 0;
    std::uint64_t carry = 0; // the byte before is CR
    std::size_t i = 0;
#ifdef TOLVANE_BYTESCAN_SSE2
    // Sixteen bytes at a time while they are clean; the words of a flawed block are looked at
    // one by one below, so the result is the same as with words alone.
    const __m128i lfs = _mm_set1_epi8('\n');
    const __m128i crs = _mm_set1_epi8('\r');
    const __m128i eofs = _mm_set1_epi8(0x1A);
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const auto lf = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lfs)));
        const auto cr = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, crs)));
        const auto eof = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, eofs)));
        if (eof != 0 || lf != (((cr << 1) | static_cast<unsigned>(carry)) & 0xFFFFU)) {
            break;
        }
        if (lf != 0) {
            clean = i + 32 - static_cast<std::size_t>(std::countl_zero(lf));
            for (unsigned bits = lf; bits != 0; bits &= bits - 1) {
                ++count;
            }
        }
        carry = cr >> 15;
    }
#endif
    for (; i + 8 <= size; i += 8) {
        const std::uint64_t word = Load8(text + i);
        const std::uint64_t lf = MatchMask(word, '\n');
        const std::uint64_t cr = MatchMask(word, '\r');
        // Every LF follows a CR and every CR (but one in the last byte) precedes an LF.
        if (lf != ((cr << 8) | (carry << 7)) || MatchMask(word, 0x1A) != 0) {
            break;
        }
        if (lf != 0) {
            clean = i + 8 - static_cast<std::size_t>(std::countl_zero(lf) / 8);
            count += CountMask(lf);
        }
        carry = cr >> 63;
    }
    lines = count;
    return clean;
}

/// Counts the line breaks of a byte stream fed in pieces: every LF, every CR, and a CR LF pair
/// (also one split between two pieces) as one.
class TLineBreakCounter
{
public:
    void Feed(const char* data, std::size_t size) noexcept
    {
        if (size == 0) {
            return;
        }
        std::size_t i = 0;
        std::uint64_t count = 0;
        std::uint64_t carry = m_lastCr ? 1 : 0; // the byte before is CR, its pair not yet seen
#ifdef TOLVANE_BYTESCAN_SSE2
        if (size > 16) {
            // Each LF and each CR adds one, and each CR followed by LF takes one away again at
            // the CR; a pair split from the previous piece is taken away here. The loop stops
            // with at least one byte left, so the next byte of every lane is in the piece.
            if (carry != 0 && data[0] == '\n') {
                --count;
            }
            carry = 0;
            count += SimdBreaks(data, size, i);
        }
#endif
        for (; i + 8 <= size; i += 8) {
            const std::uint64_t word = Load8(data + i);
            const std::uint64_t lf = MatchMask(word, '\n');
            const std::uint64_t cr = MatchMask(word, '\r');
            const std::uint64_t crLf = ((cr << 8) | (carry << 7)) & lf;
            // lf and cr never share a byte, and crLf lies within lf: each byte adds 0 or 1.
            count += CountMask(lf | cr) - CountMask(crLf);
            carry = cr >> 63;
        }
        for (; i < size; ++i) {
            const char c = data[i];
            if (c == '\r') {
                ++count;
            } else if (c == '\n' && carry == 0) {
                ++count;
            }
            carry = c == '\r' ? 1 : 0;
        }
        m_breaks += static_cast<std::int64_t>(count);
        m_lastCr = carry != 0;
        const char last = data[size - 1];
        m_openLine = last != '\n' && last != '\r';
    }

    /// Line breaks so far.
    std::int64_t Breaks() const noexcept
    {
        return m_breaks;
    }
    /// Lines so far: a final line without a break counts.
    std::int64_t Lines() const noexcept
    {
        return m_breaks + (m_openLine ? 1 : 0);
    }

private:
#ifdef TOLVANE_BYTESCAN_SSE2
    // Line breaks of data[0, i) by sixteen-byte lanes, each counted with the pair it starts;
    // advances `i` while a byte after the lanes remains.
    static std::uint64_t SimdBreaks(const char* data, std::size_t size, std::size_t& i) noexcept
    {
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i zero = _mm_setzero_si128();
        std::uint64_t total = 0;
        while (i + 16 < size) {
            // Every round adds 0 or 1 to a byte of `sums`: 255 rounds cannot overflow it.
            __m128i sums = zero;
            for (int round = 0; round < 255 && i + 16 < size; ++round, i += 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
                const __m128i next =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1));
                const __m128i isCr = _mm_cmpeq_epi8(v, cr);
                const __m128i isBreak = _mm_or_si128(_mm_cmpeq_epi8(v, lf), isCr);
                const __m128i isPair = _mm_and_si128(isCr, _mm_cmpeq_epi8(next, lf));
                // Matches are -1: subtracting counts a break, adding takes a pair away.
                sums = _mm_add_epi8(_mm_sub_epi8(sums, isBreak), isPair);
            }
            alignas(16) std::uint64_t halves[2];
            _mm_store_si128(reinterpret_cast<__m128i*>(halves), _mm_sad_epu8(sums, zero));
            total += halves[0] + halves[1];
        }
        return total;
    }
#endif

    std::int64_t m_breaks = 0;
    bool m_lastCr = false;
    bool m_openLine = false;
};

/// Number of bytes of `text[0, size)` that equal `delimiter`; `quoted` tells whether a double
/// quote is among them (the count then says nothing of the fields).
inline std::size_t CountDelimiters(const char* text, std::size_t size, char delimiter,
                                   bool& quoted) noexcept
{
    std::size_t count = 0;
    std::size_t i = 0;
    quoted = false;
#ifdef TOLVANE_BYTESCAN_SSE2
    const __m128i delimiters = _mm_set1_epi8(delimiter);
    const __m128i quotes = _mm_set1_epi8('"');
    const __m128i zero = _mm_setzero_si128();
    __m128i anyQuote = zero;
    while (i + 16 <= size) {
        // Each lane counts its matches (a match is -1) for at most 255 blocks, then the lanes
        // are summed.
        __m128i lanes = zero;
        for (int blocks = 0; blocks < 255 && i + 16 <= size; ++blocks, i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, delimiters));
            anyQuote = _mm_or_si128(anyQuote, _mm_cmpeq_epi8(v, quotes));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
    quoted = _mm_movemask_epi8(anyQuote) != 0;
#endif
    std::uint64_t quoteMask = 0;
    for (; i + 8 <= size; i += 8) {
        const std::uint64_t word = Load8(text + i);
        count += CountMask(MatchMask(word, static_cast<unsigned char>(delimiter)));
        quoteMask |= MatchMask(word, '"');
    }
    for (; i < size; ++i) {
        count += text[i] == delimiter ? 1 : 0;
        quoteMask |= text[i] == '"' ? 1 : 0;
    }
    quoted = quoted || quoteMask != 0;
    return count;
}

} // namespace tolvane::base::bytescan
