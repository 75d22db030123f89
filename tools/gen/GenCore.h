// Building blocks of the sample generator: a portable random source, a fixed-width record
// builder, a line sink that counts lines, and KSJ mesh-code and coordinate arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/uniTextFile.h"

namespace tolvane::gen {

/// SplitMix64: the same numbers on every platform and standard library, unlike the
/// distributions of <random>.
class TGenRandom
{
public:
    explicit TGenRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next() noexcept
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    /// A number in [0, n); n must be positive.
    std::int64_t Below(std::int64_t n) noexcept
    {
        return static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(n));
    }
    /// A number in [lo, hi].
    std::int64_t Between(std::int64_t lo, std::int64_t hi) noexcept
    {
        return lo + Below(hi - lo + 1);
    }
    /// True with probability percent / 100.
    bool Percent(std::int64_t percent) noexcept { return Below(100) < percent; }
    template <typename T> const T& Pick(const T* items, std::size_t count) noexcept
    {
        return items[static_cast<std::size_t>(Below(static_cast<std::int64_t>(count)))];
    }

private:
    std::uint64_t m_state;
};

/// One fixed-width record, built left to right. Widths are bytes (CP932).
class TRecord
{
public:
    TRecord() { m_text.reserve(512); }

    void Clear() noexcept { m_text.clear(); }
    /// Bytes as they are.
    TRecord& Raw(std::string_view bytes);
    /// `n` half-width blanks.
    TRecord& Blanks(std::size_t n);
    /// `value` right-aligned in `width` columns; raises std::logic_error when it does not fit.
    TRecord& Int(std::int64_t value, std::size_t width);
    /// `value` with leading zeros in `width` columns.
    TRecord& Zero(std::int64_t value, std::size_t width);
    /// CP932 text left-aligned in `width` bytes, padded with half-width blanks after encoding;
    /// cut at a character boundary when it is too long.
    TRecord& Text(std::string_view sjis, std::size_t width);
    /// Blanks up to `width` bytes in all.
    TRecord& PadTo(std::size_t width);

    std::string_view View() const noexcept { return m_text; }
    std::size_t Size() const noexcept { return m_text.size(); }

private:
    std::string m_text;
};

/// Appends the decimal digits of `value` to `out`.
void AppendInt(std::string& out, std::int64_t value);
/// Appends `value` / 10^decimals with exactly `decimals` decimals (value >= 0).
void AppendFixed(std::string& out, std::int64_t value, int decimals);

/// A sink of CR LF lines: straight to a file, or into memory when counts must be known before
/// the header is written. Tracks the number of lines and the longest line.
class TLineSink
{
public:
    /// In memory.
    TLineSink() = default;
    /// To `writer`, in blocks.
    explicit TLineSink(base::TSjisWriter& writer) : m_writer(&writer) {}
    ~TLineSink() = default;
    TLineSink(const TLineSink&) = delete;
    TLineSink& operator=(const TLineSink&) = delete;

    void Line(std::string_view text);
    /// Writes what is buffered (file sinks only).
    void Flush();
    /// The buffered bytes (memory sinks).
    const std::string& Bytes() const noexcept { return m_buffer; }
    std::int64_t Lines() const noexcept { return m_lines; }
    std::size_t MaxWidth() const noexcept { return m_maxWidth; }

private:
    base::TSjisWriter* m_writer = nullptr;
    std::string m_buffer;
    std::int64_t m_lines = 0;
    std::size_t m_maxWidth = 0;
};

/// Coordinates in tenths of an arc-second, X east longitude, Y north latitude.
struct TKsjPoint
{
    std::int64_t X = 0;
    std::int64_t Y = 0;

    friend bool operator==(const TKsjPoint&, const TKsjPoint&) = default;
};

/// Second-level mesh code (6 digits, e.g. 533945) of the cell that holds `p`.
std::int32_t Mesh2Of(TKsjPoint p) noexcept;
/// South-west corner of a second-level mesh code.
TKsjPoint Mesh2Origin(std::int32_t mesh2) noexcept;
/// The `index`-th second-level mesh of the first-level meshes `mesh1` (in code order: first
/// levels as listed, then row, then column), counting around when index runs past the end.
std::int32_t NthMesh2(const std::int32_t* mesh1, std::size_t count, std::int64_t index) noexcept;

/// The "H" line of a KSJ file. `totalLines` < 0 leaves the count out (line and area files).
std::string HeaderLine(std::string_view agency, std::string_view dataCode, int kind, int year,
                       std::size_t width, std::int64_t totalLines);

/// Ctrl-Z, which many old files carry after their last line.
inline constexpr char kCtrlZ = '\x1A';

} // namespace tolvane::gen
