// Numbers and Booleans in text.
#include "base/uniNumbers.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "base/AppError.h"
#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"

namespace tolvane::base {

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The usual case, one to nine decimal digits to the end, fits without further checks.
    if (const std::size_t digits = text.size() - i; digits >= 1 && digits <= 9) {
        std::int32_t value = 0;
        std::size_t k = i;
        for (; k < text.size(); ++k) {
            const auto digit = static_cast<unsigned>(static_cast<unsigned char>(text[k]) - '0');
            if (digit > 9) {
                break;
            }
            value = value * 10 + static_cast<std::int32_t>(digit);
        }
        if (k == text.size()) {
            return negative ? -value : value;
        }
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (first == last) {
        return std::nullopt;
    }
    // from_chars takes no sign and no prefix here: both were consumed above.
    if (*first == '+' || *first == '-') {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    const auto [ptr, ec] = std::from_chars(first, last, magnitude, base);
    if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFULL) {
            return std::nullopt;
        }
        auto value = static_cast<std::int64_t>(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude)));
        if (negative) {
            value = -value;
        }
        if (value > INT32_MAX || value < INT32_MIN) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }
    if (negative) {
        if (magnitude > 0x80000000ULL) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude > 0x7FFFFFFFULL) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(magnitude);
}

std::int32_t StrToInt(std::string_view text)
{
    if (const auto value = TryStrToInt(text)) {
        return *value;
    }
    throw TDataError(FormatMessage(kMsgInvalidInteger, {SjisToUtf8(text)}));
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t def)
{
    return TryStrToInt(text).value_or(def);
}

std::optional<double> TryStrToFloat(std::string_view text)
{
    std::string_view s = TrimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    // Only digits or a full stop may start the number: no "inf", "nan" or second sign.
    if (s.empty() || !((s.front() >= '0' && s.front() <= '9') || s.front() == '.')) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

double StrToFloat(std::string_view text)
{
    if (const auto value = TryStrToFloat(text)) {
        return *value;
    }
    throw TDataError(FormatMessage(kMsgInvalidFloat, {SjisToUtf8(text)}));
}

std::optional<bool> TryStrToBool(std::string_view text)
{
    if (const auto number = TryStrToFloat(text)) {
        return *number != 0.0;
    }
    if (EqualsNoCase(text, "true")) {
        return true;
    }
    if (EqualsNoCase(text, "false")) {
        return false;
    }
    return std::nullopt;
}

bool StrToBool(std::string_view text)
{
    if (const auto value = TryStrToBool(text)) {
        return *value;
    }
    throw TDataError(FormatMessage(kMsgInvalidBoolean, {SjisToUtf8(text)}));
}

bool StrToBoolDef(std::string_view text, bool def)
{
    return TryStrToBool(text).value_or(def);
}

namespace {

// |value| below this is formatted through the exact integer path.
constexpr double kFastLimit = 9.0e7;
constexpr double kScale = 1.0e8;

// Dekker's error-free product: hi + lo == a * b exactly (no fused multiply-add needed).
void TwoProduct(double a, double b, double& hi, double& lo)
{
    constexpr double kSplitter = 134217729.0; // 2^27 + 1
    const double ca = kSplitter * a;
    const double ah = ca - (ca - a);
    const double al = a - ah;
    const double cb = kSplitter * b;
    const double bh = cb - (cb - b);
    const double bl = b - bh;
    hi = a * b;
    lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

std::size_t FormatSlow(double value, char* out)
{
    const auto [ptr, ec] =
        std::to_chars(out, out + kCoordBufferSize - 1, value, std::chars_format::fixed, 8);
    if (ec != std::errc()) {
        std::memcpy(out, "0.00000000", 10);
        return 10;
    }
    auto len = static_cast<std::size_t>(ptr - out);
    if (out[0] == '-') {
        bool allZero = true;
        for (std::size_t i = 1; i < len; ++i) {
            if (out[i] != '0' && out[i] != '.') {
                allZero = false;
                break;
            }
        }
        if (allZero) {
            std::memmove(out, out + 1, len - 1);
            --len;
        }
    }
    return len;
}

// "00" to "99".
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233"
    "34353637383940414243444546474849505152535455565758596061626364656667"
    "6869707172737475767778798081828384858687888990919293949596979899";

char* PutPair(char* out, std::uint64_t pair) noexcept
{
    std::memcpy(out, kDigitPairs + 2 * pair, 2);
    return out + 2;
}

// The decimal digits of `value` (below 10^8), without leading zeros; "0" for zero. Degrees
// have one to three digits and take no loop.
char* PutWhole(char* out, std::uint64_t value) noexcept
{
    if (value < 10) {
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
    if (value < 100) {
        return PutPair(out, value);
    }
    if (value < 1000) {
        *out = static_cast<char>('0' + value / 100);
        return PutPair(out + 1, value % 100);
    }
    char digits[8];
    char* first = digits + sizeof digits;
    while (value >= 100) {
        first -= 2;
        PutPair(first, value % 100);
        value /= 100;
    }
    if (value >= 10) {
        first -= 2;
        PutPair(first, value);
    } else {
        *--first = static_cast<char>('0' + value);
    }
    const auto count = static_cast<std::size_t>(digits + sizeof digits - first);
    std::memcpy(out, first, count);
    return out + count;
}

// The eight digits of `value` (below 10^8), with leading zeros.
char* PutEight(char* out, std::uint64_t value) noexcept
{
    const std::uint64_t high = value / 10000;
    const std::uint64_t low = value % 10000;
    out = PutPair(out, high / 100);
    out = PutPair(out, high % 100);
    out = PutPair(out, low / 100);
    return PutPair(out, low % 100);
}

} // namespace

std::size_t FormatCoord(double value, char* out)
{
    const double mag = std::fabs(value);
    if (!(mag < kFastLimit)) { // also NaN
        return FormatSlow(value, out);
    }
    // The exact value of mag * 1e8 is hi + lo; round it to the nearest integer, ties to even,
    // as a correctly rounded decimal conversion does.
    const double hi = mag * kScale;
    // 0 <= hi < 2^53: truncation is the floor, and the integer converts back exactly.
    const auto truncated = static_cast<std::int64_t>(hi);
    const auto whole = static_cast<double>(truncated);
    const double below =
        (hi - whole) - 0.5; // exact: hi < 2^53 and the fraction is a multiple of ulp(hi)
    bool up = false;
    // |lo| is at most half an ulp of hi, below 2^-52 hi: a fraction of hi farther than that from
    // one half decides alone, and the error-free product is needed only near a tie.
    if (std::fabs(below) > hi * 0x1p-52) {
        up = below > 0;
    } else {
        double product = 0.0;
        double lo = 0.0;
        TwoProduct(mag, kScale, product, lo);
        if (below > -lo) {
            up = true;
        } else if (below == -lo) {
            up = std::fmod(whole, 2.0) != 0.0;
        }
    }
    const auto n = static_cast<std::uint64_t>(truncated) + (up ? 1U : 0U);

    char* const start = out;
    if (value < 0 && n != 0) {
        *out++ = '-';
    }
    out = PutWhole(out, n / 100000000);
    *out++ = '.';
    out = PutEight(out, n % 100000000);
    return static_cast<std::size_t>(out - start);
}

std::string FormatCoordString(double value)
{
    char buffer[kCoordBufferSize];
    return std::string(buffer, FormatCoord(value, buffer));
}

} // namespace tolvane::base
