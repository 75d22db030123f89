// Field access on the system's text lines.
#include "base/uniFields.h"

#include <cstdint>
#include <cstring>

#include "base/uniByteScan.h"

namespace tolvane::base {

namespace {

// Calls `onField(text)` for every field of `line` in order; stops early when it returns false.
template <typename TOnField>
void ScanFields(std::string_view line, char delimiter, TOnField&& onField)
{
    if (const auto* nul = static_cast<const char*>(std::memchr(line.data(), '\0', line.size()))) {
        line = line.substr(0, static_cast<std::size_t>(nul - line.data()));
    }
    const std::size_t n = line.size();
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsBlank(line[i])) {
            ++i;
        }
    };
    std::string quoted;
    skipBlanks();
    while (i < n) {
        if (line[i] == '"') {
            quoted.clear();
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        quoted.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i; // closing quote
                    break;
                }
                quoted.push_back(line[i]);
                ++i;
            }
            if (!onField(std::string_view(quoted))) {
                return;
            }
        } else {
            const std::size_t start = i;
            while (i < n && !IsBlank(line[i]) && line[i] != delimiter) {
                ++i;
            }
            if (!onField(line.substr(start, i - start))) {
                return;
            }
        }
        skipBlanks();
        if (i < n && line[i] == delimiter) {
            if (i == n - 1 && !onField(std::string_view())) {
                return;
            }
            ++i;
            skipBlanks();
        }
    }
}

} // namespace

void SplitFields(std::string_view line, char delimiter, std::vector<std::string>& fields)
{
    fields.clear();
    ScanFields(line, delimiter, [&](std::string_view field) {
        fields.emplace_back(field);
        return true;
    });
}

std::string GetField(std::string_view line, std::int64_t index, char delimiter)
{
    std::string result;
    if (index < 1) {
        return result;
    }
    std::int64_t current = 0;
    ScanFields(line, delimiter, [&](std::string_view field) {
        if (++current == index) {
            result.assign(field);
            return false;
        }
        return true;
    });
    return result;
}

std::string_view SubStr(std::string_view s, std::int64_t start, std::int64_t count, bool doTrim)
{
    if (s.empty()) {
        return {};
    }
    if (start < 1) {
        start = 1;
    }
    const auto length = static_cast<std::int64_t>(s.size());
    if (start > length || count < 0) {
        return {};
    }
    const std::int64_t available = length - start + 1;
    const std::int64_t take = count < available ? count : available;
    std::string_view slice =
        s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(take));
    return doTrim ? TrimBlanks(slice) : slice;
}

bool IsInteger(std::string_view s)
{
    if (s.empty()) {
        return false;
    }
    if (s.front() == '+' || s.front() == '-') {
        s.remove_prefix(1);
        if (s.empty()) {
            return false;
        }
    }
    for (const char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string_view TrimWide(std::string_view s)
{
    s = TrimBlanks(s);
    // Neither end can be a space when the text neither starts nor ends with the bytes of a
    // full-width one (a half-width space went with the blanks).
    const auto fullWidthAt = [&](std::size_t i) {
        return static_cast<unsigned char>(s[i]) == 0x81 &&
               static_cast<unsigned char>(s[i + 1]) == 0x40;
    };
    if (s.size() < 2 || (!fullWidthAt(0) && !fullWidthAt(s.size() - 2))) {
        return s;
    }
    // Walk the characters from the front, so that the end is only ever cut at a character
    // boundary: a trail byte 0x40 after a lead byte other than 0x81 is no full-width space. A
    // lead byte followed by a byte that cannot trail it (a broken character, such as one cut
    // by a fixed-width slice) stands alone, so a blank after it is still a blank.
    std::size_t i = 0;
    std::size_t keepFrom = std::string_view::npos;
    std::size_t keepTo = 0;
    while (i < s.size()) {
        std::size_t width = 1;
        if (IsSjisLeadByte(s[i]) && i + 1 < s.size() && IsSjisTrailByte(s[i + 1])) {
            width = 2;
        }
        const bool space = (width == 1 && s[i] == ' ') ||
                           (width == 2 && static_cast<unsigned char>(s[i]) == 0x81 &&
                            static_cast<unsigned char>(s[i + 1]) == 0x40);
        if (!space) {
            if (keepFrom == std::string_view::npos) {
                keepFrom = i;
            }
            keepTo = i + width;
        }
        i += width;
    }
    if (keepFrom == std::string_view::npos) {
        return {};
    }
    return s.substr(keepFrom, keepTo - keepFrom);
}

bool HasDelimitedFields(std::string_view line, char delimiter, std::size_t count)
{
    if (count <= 1) {
        return true;
    }
    bool quoted = false;
    const std::size_t delimiters =
        bytescan::CountDelimiters(line.data(), line.size(), delimiter, quoted);
    if (delimiters + 1 < count) {
        return false; // quotes can only join fields
    }
    return !quoted || CountDelimitedFields(line, delimiter) >= count;
}

std::size_t CountDelimitedFields(std::string_view line, char delimiter)
{
    std::size_t fields = 1;
    if (line.find('"') == std::string_view::npos) {
        for (const char c : line) {
            fields += c == delimiter ? 1 : 0;
        }
        return fields;
    }
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == delimiter && !quoted) {
            ++fields;
        }
    }
    return fields;
}

} // namespace tolvane::base
