// Byte rules shared by every layer.
#include "base/uniBytes.h"

#include <cstdint>
#include <cstring>

namespace tolvane::base {

std::string_view TrimBlanks(std::string_view s)
{
    if (s.empty() || (!IsBlank(s.front()) && !IsBlank(s.back()))) {
        return s;
    }
    std::size_t first = 0;
    std::size_t last = s.size();
    // Fixed-width fields are padded with runs of spaces: eight at a time first.
    constexpr std::uint64_t kEightSpaces = 0x2020202020202020ULL;
    std::uint64_t word = 0;
    while (last >= 8 && (std::memcpy(&word, s.data() + last - 8, 8), word == kEightSpaces)) {
        last -= 8;
    }
    while (first + 8 <= last && (std::memcpy(&word, s.data() + first, 8), word == kEightSpaces)) {
        first += 8;
    }
    while (first < last && IsBlank(s[first])) {
        ++first;
    }
    while (last > first && IsBlank(s[last - 1])) {
        --last;
    }
    return s.substr(first, last - first);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

namespace {

// Changes the case of ASCII letters only; the trail byte of a double-byte character may look
// like a letter and is skipped.
std::string MapAscii(std::string_view text, char from, char to)
{
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsSjisLeadByte(out[i])) {
            ++i;
        } else if (out[i] >= from && out[i] <= static_cast<char>(from + 25)) {
            out[i] = static_cast<char>(out[i] - from + to);
        }
    }
    return out;
}

} // namespace

std::string UpperAscii(std::string_view text)
{
    return MapAscii(text, 'a', 'A');
}

std::string LowerAscii(std::string_view text)
{
    return MapAscii(text, 'A', 'a');
}

void AppendQuoted(std::string& out, std::string_view value)
{
    out.push_back('"');
    if (value.empty() || std::memchr(value.data(), '"', value.size()) == nullptr) {
        out.append(value);
        out.push_back('"');
        return;
    }
    for (const char c : value) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

} // namespace tolvane::base
