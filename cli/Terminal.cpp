// The terminal a command-line program talks to.
#include "cli/Terminal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>

#include "base/uniPlatform.h"

namespace tolvane::cli {

namespace {

struct TRange
{
    char32_t First;
    char32_t Last;
};

// Combining marks, zero-width characters and variation selectors.
constexpr std::array kZeroWidth{
    TRange{0x0300, 0x036F}, TRange{0x0483, 0x0489}, TRange{0x0591, 0x05BD},
    TRange{0x1AB0, 0x1AFF}, TRange{0x1DC0, 0x1DFF}, TRange{0x200B, 0x200F},
    TRange{0x20D0, 0x20FF}, TRange{0x3099, 0x309A}, TRange{0xFE00, 0xFE0F},
    TRange{0xFE20, 0xFE2F}, TRange{0xFEFF, 0xFEFF}, TRange{0xE0100, 0xE01EF},
};

// East Asian Wide and Fullwidth (half-width katakana, U+FF61 to U+FF9F, stay narrow).
constexpr std::array kWide{
    TRange{0x1100, 0x115F},   TRange{0x231A, 0x231B},   TRange{0x2329, 0x232A},
    TRange{0x2E80, 0x303E},   TRange{0x3041, 0x33FF},   TRange{0x3400, 0x4DBF},
    TRange{0x4E00, 0x9FFF},   TRange{0xA000, 0xA4CF},   TRange{0xA960, 0xA97F},
    TRange{0xAC00, 0xD7A3},   TRange{0xF900, 0xFAFF},   TRange{0xFE10, 0xFE19},
    TRange{0xFE30, 0xFE6F},   TRange{0xFF00, 0xFF60},   TRange{0xFFE0, 0xFFE6},
    TRange{0x1F300, 0x1F64F}, TRange{0x1F900, 0x1F9FF}, TRange{0x20000, 0x3FFFD},
};

template <std::size_t N> bool InRanges(const std::array<TRange, N>& ranges, char32_t c)
{
    return std::any_of(ranges.begin(), ranges.end(),
                       [c](const TRange& range) { return c >= range.First && c <= range.Last; });
}

int CharWidth(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || InRanges(kZeroWidth, c)) {
        return 0;
    }
    return InRanges(kWide, c) ? 2 : 1;
}

// The character at `pos`: its width, and its length in bytes (a byte that does not start a
// well-formed UTF-8 sequence is one character of width 1).
struct TChar
{
    int Width;
    std::size_t Bytes;
};

TChar NextChar(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        return {CharWidth(lead), 1};
    }
    if ((lead & 0xE0) == 0xC0 && lead >= 0xC2) {
        length = 2;
        c = lead & 0x1FU;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0FU;
    } else if ((lead & 0xF8) == 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07U;
    } else {
        return {1, 1};
    }
    if (pos + length > text.size()) {
        return {1, 1};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return {1, 1};
        }
        c = (c << 6) | (next & 0x3FU);
    }
    return {CharWidth(c), length};
}

bool IsJapanese(std::string_view locale)
{
    return locale.starts_with("ja") &&
           (locale.size() == 2 || locale[2] == '_' || locale[2] == '.' || locale[2] == '@');
}

} // namespace

int DisplayWidth(std::string_view text)
{
    int width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const TChar c = NextChar(text, pos);
        width += c.Width;
        pos += c.Bytes;
    }
    return width;
}

std::string FitToWidth(std::string_view text, int columns)
{
    if (DisplayWidth(text) <= columns) {
        return std::string(text);
    }
    constexpr std::string_view kEllipsis = "...";
    const int room = columns >= 4 ? columns - static_cast<int>(kEllipsis.size()) : columns;
    std::string out;
    int width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const TChar c = NextChar(text, pos);
        if (width + c.Width > room) {
            break;
        }
        out.append(text.substr(pos, c.Bytes));
        width += c.Width;
        pos += c.Bytes;
    }
    if (room < columns) {
        out.append(kEllipsis);
    }
    return out;
}

int TerminalColumns(std::FILE* stream)
{
    if (const int width = base::TerminalWidth(stream); width > 0) {
        return width;
    }
    if (const char* env = std::getenv("COLUMNS"); env != nullptr) {
        const std::string_view text(env);
        int columns = 0;
        const auto res = std::from_chars(text.data(), text.data() + text.size(), columns);
        if (res.ec == std::errc() && res.ptr == text.data() + text.size() && columns > 0) {
            return columns;
        }
    }
    return 80;
}

std::string ProgressLine(std::string_view status, int percent, bool withBar, int columns)
{
    const int room = columns - 1;
    if (room <= 0) {
        return {};
    }
    std::string line;
    if (withBar) {
        percent = std::clamp(percent, 0, 100);
        // "[####      ] 100% ": the bar takes a third of what the percentage leaves, 30 at most,
        // and is dropped when it would be too short to read.
        const int barWidth = std::min(30, (room - 7) / 3);
        if (barWidth >= 5) {
            const int filled = percent * barWidth / 100;
            line.push_back('[');
            line.append(static_cast<std::size_t>(filled), '#');
            line.append(static_cast<std::size_t>(barWidth - filled), ' ');
            line.append("] ");
        }
        const std::string number = std::to_string(percent);
        line.append(3 - number.size(), ' ');
        line.append(number);
        line.append("% ");
    }
    line.append(FitToWidth(status, room - DisplayWidth(line)));
    return FitToWidth(line, room);
}

base::TLanguage LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang)
{
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && *value != '\0') {
            return IsJapanese(value) ? base::TLanguage::Japanese : base::TLanguage::English;
        }
    }
    return base::TLanguage::English;
}

base::TLanguage LanguageFromEnvironment()
{
    const char* lcAll = std::getenv("LC_ALL");
    const char* lcMessages = std::getenv("LC_MESSAGES");
    const char* lang = std::getenv("LANG");
    // Windows names no locale in the environment (unless a POSIX-like shell does): its user
    // interface language counts then.
    const bool named = (lcAll != nullptr && *lcAll != '\0') ||
                       (lcMessages != nullptr && *lcMessages != '\0') ||
                       (lang != nullptr && *lang != '\0');
    if (!named && base::SystemLanguageIsJapanese()) {
        return base::TLanguage::Japanese;
    }
    return LanguageOfLocale(lcAll, lcMessages, lang);
}

} // namespace tolvane::cli
