// Builders of KSJ source lines for the vector converter tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tolvane::test {

/// `text` right-aligned in `width` bytes.
inline std::string Right(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

/// A chain header: `lead` in bytes 1 to 3, Key1 at 4 to 9, Key2 at 28 to 33, the point count
/// text at 46 to 51.
inline std::string ChainHeader(int key1, int key2, const std::string& count,
                               const std::string& lead = "L  ")
{
    return lead + Right(std::to_string(key1), 6) + std::string(18, ' ') +
           Right(std::to_string(key2), 6) + std::string(12, ' ') + Right(count, 6);
}

using TPts = std::vector<std::pair<long, long>>;

/// A chain: its header and the coordinate lines, five points (80 bytes) to a line.
inline std::vector<std::string> Chain(int key1, int key2, const TPts& points,
                                      const std::string& lead = "L  ")
{
    std::vector<std::string> lines{ChainHeader(key1, key2, std::to_string(points.size()), lead)};
    std::string text;
    for (const auto& [x, y] : points) {
        text += Right(std::to_string(x), 8) + Right(std::to_string(y), 8);
    }
    for (std::size_t i = 0; i < text.size(); i += 80) {
        lines.push_back(text.substr(i, 80));
    }
    return lines;
}

/// A feature record: `letter`, then the reference count at `countStart` and the references
/// (14 bytes each, five to a line).
inline std::vector<std::string> Feature(char letter, std::size_t countStart,
                                        const std::vector<std::string>& refs)
{
    std::string header = std::string(1, letter) + std::string(countStart - 2, ' ') +
                         Right(std::to_string(refs.size()), 6);
    std::vector<std::string> lines{header};
    std::string text;
    for (const std::string& ref : refs) {
        text += ref;
    }
    for (std::size_t i = 0; i < text.size(); i += 70) {
        lines.push_back(text.substr(i, 70));
    }
    return lines;
}

/// One reference: Key1, Key2 (negative: used backwards) and the unused third field.
inline std::string Ref(int key1, int key2, const std::string& third = " 0")
{
    return Right(std::to_string(key1), 6) + Right(std::to_string(key2), 6) + third;
}

/// Appends `more` to `lines`.
inline std::vector<std::string> operator+(std::vector<std::string> lines,
                                          const std::vector<std::string>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

} // namespace tolvane::test
