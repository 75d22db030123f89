// Byte classes of CP932 text, blank trimming, ASCII letter case and the quoting of values: the
// small byte rules every layer shares.
#pragma once

#include <string>
#include <string_view>

namespace tolvane::base {

/// Asks the processor to fetch the memory at `address` into its cache ahead of use (`ForWrite`:
/// to write it). Nothing where the compiler has no such hint (GCC and Clang, MinGW too, have).
template <int ForWrite = 0> inline void Prefetch([[maybe_unused]] const void* address) noexcept
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address, ForWrite);
#endif
}

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

/// Removes blanks (bytes 1 to 32) from both ends.
std::string_view TrimBlanks(std::string_view s);

/// True when `a` and `b` differ at most in the case of ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);

/// ASCII upper case; double-byte Shift-JIS characters are left alone.
std::string UpperAscii(std::string_view text);
/// ASCII lower case.
std::string LowerAscii(std::string_view text);

/// Appends `value` in double quotes, each inner double quote doubled.
void AppendQuoted(std::string& out, std::string_view value);

} // namespace tolvane::base
