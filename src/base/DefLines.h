// A definition file loaded whole, and its numbers read with the file and line in every error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvane::base {

/// A definition file loaded whole, with its path for messages.
struct TDefLines
{
    std::string FileName; ///< UTF-8 path
    std::vector<std::string> Lines;

    std::size_t size() const noexcept { return Lines.size(); }
    bool empty() const noexcept { return Lines.empty(); }
    const std::string& operator[](std::size_t i) const { return Lines[i]; }
};

/// Reads line `lineIndex` (0-based) of `defs` as a strict integer, the whole line being the text
/// (parameter files). Raises TDataError with the file and line: the list-index error when the
/// line does not exist, the integer error otherwise.
std::int32_t ReadDefInteger(const TDefLines& defs, std::size_t lineIndex);

/// Reads field `field` of line `lineIndex` of `defs` as a strict integer, raising TDataError with
/// the definition file and line.
std::int32_t ReadDefField(const TDefLines& defs, std::size_t lineIndex, int field);

} // namespace tolvane::base
