// Numbers and Booleans in text, read strictly and locale-free, and the fixed coordinate format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane::base {

/// Strict integer text: leading blanks (bytes 1 to 32), an optional sign, decimal digits or a
/// hexadecimal number written with "$" or "0x"; nothing may follow, and empty text is not an
/// integer. Values must fit in 32 bits (hexadecimal up to FFFFFFFF, which wraps).
std::optional<std::int32_t> TryStrToInt(std::string_view text);
/// As TryStrToInt; raises TDataError "'text' は整数ではありません" when the text is no integer.
std::int32_t StrToInt(std::string_view text);
/// As TryStrToInt, with `def` for unreadable text.
std::int32_t StrToIntDef(std::string_view text, std::int32_t def);

/// Decimal floating-point text with a full stop: blanks around it, a sign, digits with an
/// optional fraction and exponent. Infinity and NaN are not numbers here.
std::optional<double> TryStrToFloat(std::string_view text);
/// As TryStrToFloat; raises TDataError "'text' は浮動小数点数ではありません".
double StrToFloat(std::string_view text);

/// Boolean text: a number (non-zero is true) or the words True / False in any letter case.
std::optional<bool> TryStrToBool(std::string_view text);
/// As TryStrToBool; raises TDataError "'text' は正しい論理型ではありません".
bool StrToBool(std::string_view text);
/// As TryStrToBool, with `def` for any other text.
bool StrToBoolDef(std::string_view text, bool def);

/// Worst-case length of a coordinate written by FormatCoord.
inline constexpr std::size_t kCoordBufferSize = 340;

/// Writes `value` with the pattern "0.00000000" (at least one integer digit, a full stop and
/// exactly eight decimals, correctly rounded; no exponent) to `out`, which must hold
/// kCoordBufferSize bytes. A value that rounds to zero is written without a minus sign.
/// Returns the number of bytes written.
std::size_t FormatCoord(double value, char* out);
/// FormatCoord into a new string.
std::string FormatCoordString(double value);

} // namespace tolvane::base
