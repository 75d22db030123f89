// Field access on the system's text lines: the field splitter for delimited lines, byte slices
// of fixed-width records, the integer test and the wide trim. All strings are CP932 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::convert {

/// A blank is any byte from 1 to 32.
inline bool IsBlank(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 1 && b <= 32;
}

/// True for a byte that starts a double-byte CP932 character.
inline bool IsSjisLeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

/// True for a byte that can follow a lead byte as the second byte of a CP932 character.
inline bool IsSjisTrailByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

/// Splits `line` by the system's rules (not RFC 4180): blanks outside quotes separate fields as
/// the delimiter does, a double-quoted field may hold blanks and delimiters (a doubled quote
/// stands for one), a delimiter that is the last byte adds an empty field. A NUL byte ends the
/// line. `delimiter` is the first byte of the caller's delimiter text.
void SplitFields(std::string_view line, char delimiter, std::vector<std::string>& fields);

/// Field `index` (1-based) of `line`, or the empty string when there is no such field.
std::string GetField(std::string_view line, std::int64_t index, char delimiter);

/// `count` bytes of `s` from the 1-based position `start`, cut off at the end of `s`; empty
/// when `start` lies beyond the end or `count` is negative; a `start` below 1 counts as 1. With
/// `doTrim`, blanks are removed from both ends. The result is a view into `s`.
std::string_view SubStr(std::string_view s, std::int64_t start, std::int64_t count, bool doTrim);

/// Removes blanks (bytes 1 to 32) from both ends.
std::string_view TrimBlanks(std::string_view s);

/// True for an optionally signed, non-empty run of decimal digits and nothing else.
bool IsInteger(std::string_view s);

/// Trims blanks, then half-width and full-width spaces (0x20 and 0x81 0x40), from both ends.
/// Double-byte characters are kept whole and every other byte is returned unchanged.
std::string_view TrimWide(std::string_view s);

} // namespace tolvane::convert
