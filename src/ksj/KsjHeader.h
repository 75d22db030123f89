// The header line of a KSJ file (the "H" record), as far as the input checks read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane::ksj {

/// What a header line declares.
struct TKsjHeader
{
    std::string DataCode;              ///< bytes 14 to 23, trimmed ("L01-08P")
    std::optional<std::int64_t> Lines; ///< bytes 34 to 41: the file's lines, this one included
};

/// `line` read as a header line, or nothing when it is none: a header line starts with "H"
/// and a blank, and bytes 14 to 23 hold a code of letters, digits, "-" and "_". A line count
/// that is absent or no positive integer is left out.
std::optional<TKsjHeader> ReadKsjHeader(std::string_view line);

} // namespace tolvane::ksj
