// Field access on the system's text lines: the field splitter for delimited lines, byte slices
// of fixed-width records, the integer test and the wide trim. All strings are CP932 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/uniBytes.h"

namespace tolvane::base {

/// Splits `line` by the system's rules (not RFC 4180): blanks outside quotes separate fields as
/// the delimiter does, a double-quoted field may hold blanks and delimiters (a doubled quote
/// stands for one), a delimiter that is the last byte adds an empty field. A NUL byte ends the
/// line. `delimiter` is the first byte of the caller's delimiter text.
void SplitFields(std::string_view line, char delimiter, std::vector<std::string>& fields);

/// Number of fields of `line` as a MID or CSV reader splits it: at every `delimiter` outside
/// double quotes (a doubled quote inside quotes stands for one). An empty line is one field.
std::size_t CountDelimitedFields(std::string_view line, char delimiter);
/// CountDelimitedFields(line, delimiter) >= count, looking no further than it must.
bool HasDelimitedFields(std::string_view line, char delimiter, std::size_t count);

/// Field `index` (1-based) of `line`, or the empty string when there is no such field.
std::string GetField(std::string_view line, std::int64_t index, char delimiter);

/// `count` bytes of `s` from the 1-based position `start`, cut off at the end of `s`; empty
/// when `start` lies beyond the end or `count` is negative; a `start` below 1 counts as 1. With
/// `doTrim`, blanks are removed from both ends. The result is a view into `s`.
std::string_view SubStr(std::string_view s, std::int64_t start, std::int64_t count, bool doTrim);

/// True for an optionally signed, non-empty run of decimal digits and nothing else.
bool IsInteger(std::string_view s);

/// Trims blanks, then half-width and full-width spaces (0x20 and 0x81 0x40), from both ends.
/// Double-byte characters are kept whole and every other byte is returned unchanged.
std::string_view TrimWide(std::string_view s);

} // namespace tolvane::base
