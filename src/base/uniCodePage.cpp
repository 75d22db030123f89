// Conversion between Shift-JIS (code page 932) and UTF-8: the system converts (base/uniPlatform),
// and the rules here make every system give the same results (see uniCodePage.h).
#include "base/uniCodePage.h"

#include <array>

#include "base/AppError.h"
#include "base/uniMessages.h"
#include "base/uniPlatform.h"

namespace tolvane::base {

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool IsAscii(std::string_view s)
{
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

unsigned char Byte(char c)
{
    return static_cast<unsigned char>(c);
}

bool IsLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The bytes of the CP932 character at `pos`: a lead byte and the byte after it, or one byte.
std::size_t SjisCharLength(std::string_view sjis, std::size_t pos)
{
    return IsLeadByte(Byte(sjis[pos])) && pos + 1 < sjis.size() ? 2 : 1;
}

// The bytes that UTF-8 replacement skips at `pos`: the byte and the continuation bytes after it.
std::size_t Utf8SkipLength(std::string_view utf8, std::size_t pos)
{
    std::size_t length = 1;
    while (pos + length < utf8.size() && (Byte(utf8[pos + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The well-formed UTF-8 character at `pos` (no overlong form, no surrogate, at most U+10FFFF)
// and its length, or length 0.
struct TUtf8Char
{
    char32_t Code = 0;
    std::size_t Length = 0;
};

TUtf8Char NextUtf8(std::string_view s, std::size_t pos)
{
    const unsigned char lead = Byte(s[pos]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1FU;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0FU;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07U;
        least = 0x10000;
    } else {
        return {};
    }
    if (pos + length > s.size()) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = Byte(s[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return {};
        }
        c = (c << 6) | (next & 0x3FU);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return {};
    }
    return {c, length};
}

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

std::optional<std::u16string> ToUtf16(std::string_view utf8, bool strict)
{
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const TUtf8Char c = NextUtf8(utf8, pos);
        if (c.Length == 0) {
            if (strict) {
                return std::nullopt;
            }
            out.push_back(u'\xFFFD');
            ++pos;
            continue;
        }
        AppendUtf16(out, c.Code);
        pos += c.Length;
    }
    return out;
}

// Single bytes that no system may decode to a character (one of them maps 0x80 to U+0080).
bool HasNoCharacterByte(std::string_view sjis)
{
    for (std::size_t pos = 0; pos < sjis.size(); pos += SjisCharLength(sjis, pos)) {
        const unsigned char b = Byte(sjis[pos]);
        if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
            return true;
        }
    }
    return false;
}

// Characters that a system encodes although no code decodes to them.
constexpr std::array<char32_t, 14> kOneWay{
    0x0080, 0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014, 0x2016,
    0x203E, 0x2212, 0x301C, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3,
};

bool HasOneWayCharacter(std::string_view utf8)
{
    for (std::size_t pos = 0; pos < utf8.size(); ++pos) {
        const unsigned char lead = Byte(utf8[pos]);
        char32_t c = 0;
        if (lead == 0xC2 && pos + 1 < utf8.size()) {
            c = Byte(utf8[pos + 1]) & 0x3FU;
            c |= 0x80U;
        } else if ((lead == 0xE2 || lead == 0xE3 || lead == 0xEF) && pos + 2 < utf8.size()) {
            c = ((lead & 0x0FU) << 12) | ((Byte(utf8[pos + 1]) & 0x3FU) << 6) |
                (Byte(utf8[pos + 2]) & 0x3FU);
        } else {
            continue;
        }
        for (const char32_t one : kOneWay) {
            if (c == one) {
                return true;
            }
        }
    }
    return false;
}

std::optional<std::string> DecodeStrict(std::string_view sjis)
{
    if (HasNoCharacterByte(sjis)) {
        return std::nullopt;
    }
    return SystemSjisToUtf8(sjis);
}

std::optional<std::string> EncodeStrict(std::string_view utf8)
{
    if (HasOneWayCharacter(utf8)) {
        return std::nullopt;
    }
    return SystemUtf8ToSjis(utf8);
}

} // namespace

std::string SjisToUtf8(std::string_view sjis)
{
    if (IsAscii(sjis)) {
        return std::string(sjis);
    }
    if (auto whole = DecodeStrict(sjis)) {
        return std::move(*whole);
    }
    // Character by character; a byte that starts no character becomes U+FFFD and the next byte
    // starts over.
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    for (std::size_t pos = 0; pos < sjis.size();) {
        const std::size_t length = SjisCharLength(sjis, pos);
        if (Byte(sjis[pos]) < 0x80) {
            out.push_back(sjis[pos]);
        } else if (auto one = DecodeStrict(sjis.substr(pos, length))) {
            out.append(*one);
        } else {
            out.append(kReplacementUtf8);
            pos += 1;
            continue;
        }
        pos += length;
    }
    return out;
}

std::optional<std::string> TrySjisToUtf8(std::string_view sjis)
{
    if (IsAscii(sjis)) {
        return std::string(sjis);
    }
    return DecodeStrict(sjis);
}

std::string Utf8ToSjis(std::string_view utf8)
{
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    if (auto whole = EncodeStrict(utf8)) {
        return std::move(*whole);
    }
    // Character by character; what has no code becomes "?", and so does a byte that is not
    // UTF-8, with the continuation bytes after it.
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (Byte(utf8[pos]) < 0x80) {
            out.push_back(utf8[pos++]);
            continue;
        }
        const TUtf8Char c = NextUtf8(utf8, pos);
        const std::size_t length = c.Length != 0 ? c.Length : Utf8SkipLength(utf8, pos);
        if (auto one = EncodeStrict(utf8.substr(pos, length))) {
            out.append(*one);
        } else {
            out.push_back('?');
        }
        pos += length;
    }
    return out;
}

std::optional<std::string> TryUtf8ToSjis(std::string_view utf8)
{
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    return EncodeStrict(utf8);
}

std::filesystem::path SjisToPath(std::string_view sjis)
{
    std::optional<std::string> utf8 = TrySjisToUtf8(sjis);
    if (!utf8) {
        throw TDataError(FormatMessage(kMsgNotAFileName, {SjisToUtf8(sjis)}));
    }
    return Utf8ToPath(*utf8);
}

std::string PathToSjis(const std::filesystem::path& path)
{
    return Utf8ToSjis(PathToUtf8(path));
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    return ToUtf16(utf8, false).value_or(std::u16string());
}

std::optional<std::u16string> TryUtf8ToUtf16(std::string_view utf8)
{
    return ToUtf16(utf8, true);
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(utf16[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

#ifdef _WIN32

std::string PathToUtf8(const std::filesystem::path& path)
{
    const std::wstring& native = path.native();
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(native.data()), native.size()));
}

std::filesystem::path Utf8ToPath(std::string_view utf8)
{
    const std::u16string wide = Utf8ToUtf16(utf8);
    return {std::wstring(wide.begin(), wide.end())};
}

#else

std::string PathToUtf8(const std::filesystem::path& path)
{
    return path.native();
}

std::filesystem::path Utf8ToPath(std::string_view utf8)
{
    return {std::string(utf8)};
}

#endif

} // namespace tolvane::base
