// Field names, row values, dates and coordinates as GDAL reads them from our text outputs.
//
// The rules were measured with GDAL 3.6 on hand-made MIF/MID and CSV files (ogrinfo):
// - column names: "aaa…" of 40 bytes reads as its first 31 bytes, "あ" × 20 (40 bytes) as 15
//   characters; "code", "CODE", "Code", "code" read as code, CODE_1, Code_2, code_3 and a twelfth
//   "x" as "x11"; "名称" twice reads as two columns "名称"; a column without a name makes the
//   MIF unreadable.
// - .mid values: "a,b" in quotes stays one value, "He said ""hi""" reads as He said "hi",
//   "ab"cd as abcd, x"y" as xy; x"y,1 swallows the rest of the line (and the next lines, looking
//   for the closing quote); a line with fewer values than columns stops the reader.
// - CSV lines: the same quote rules.
// - Date values: 19840101 → 1984/01/01, "19840101" → 1984/01/01, 19840231 → 1984/02/31,
//   1984/1/1 → 1984 with the month and day of the row's previous Date value, 1984-1-1 →
//   1984/255/255, 1984-01-01 and " 19840101" → no value.
#include "gdal/uniGdalFields.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniNumbers.h"

namespace tolvane::gdal {

namespace {

constexpr std::size_t kMifNameBytes = 31;
constexpr std::size_t kMifSuffixedBytes = 29;
constexpr int kMifOneDigitSuffixes = 9;
constexpr int kMifTwoDigitSuffixes = 99;

bool IsLeadByte(char c) noexcept
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

/// The first `limit` bytes of CP932 `text` at most, whole characters only.
std::string_view CutSjis(std::string_view text, std::size_t limit) noexcept
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = IsLeadByte(text[end]) && end + 1 < text.size() ? 2 : 1;
        if (end + width > limit) {
            break;
        }
        end += width;
    }
    return text.substr(0, end);
}

char LowerAscii(char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Taken(std::string_view name, std::span<const std::string> taken) noexcept
{
    for (const std::string& other : taken) {
        if (SameName(name, other)) {
            return true;
        }
    }
    return false;
}

bool IsBlank(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/// One "%<width>d" of C's scanf at `pos`: blanks skipped, then a sign and digits of at most
/// `width` characters together. False, with `value` untouched, when no digit follows.
bool ScanNumber(std::string_view text, std::size_t& pos, std::size_t width, int& value) noexcept
{
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    const std::size_t end = std::min(text.size(), pos + width);
    std::size_t at = pos;
    bool negative = false;
    if (at < end && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int number = 0;
    const std::size_t digits = at;
    while (at < end && text[at] >= '0' && text[at] <= '9') {
        number = number * 10 + (text[at] - '0');
        ++at;
    }
    if (at == digits) {
        return false;
    }
    value = negative ? -number : number;
    pos = at;
    return true;
}

} // namespace

bool SameName(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string FreeName(std::string_view base, std::span<const std::string> taken)
{
    std::string name(base);
    for (int n = 1; Taken(name, taken); ++n) {
        name.assign(base);
        name.push_back('_');
        name.append(std::to_string(n));
    }
    return name;
}

std::vector<std::string> MakeFieldNames(std::span<const std::string> names, TNameRules rules)
{
    const bool mif = rules == TNameRules::Mif;
    std::vector<std::string> result;
    result.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string_view name = mif ? CutSjis(names[i], kMifNameBytes) : names[i];
        // The base of a suffixed name, still CP932 (an unnamed column's is ASCII).
        const std::string base =
            name.empty() ? "field_" + std::to_string(i + 1) : std::string(name);
        std::string candidate = base::SjisToUtf8(base);
        for (int n = 1; Taken(candidate, result); ++n) {
            std::string suffixed;
            if (mif && n <= kMifTwoDigitSuffixes) {
                suffixed.assign(CutSjis(base, kMifSuffixedBytes));
                if (n <= kMifOneDigitSuffixes) {
                    suffixed.push_back('_');
                }
            } else {
                suffixed.assign(base);
                suffixed.push_back('_');
            }
            suffixed.append(std::to_string(n));
            candidate = base::SjisToUtf8(suffixed);
        }
        result.push_back(std::move(candidate));
    }
    return result;
}

bool TRowSplitter::TakeValues(const shapes::TSFRow& row)
{
    m_values.clear();
    if (row.Count() == 0) {
        // An empty line holds one empty value.
        m_values.emplace_back();
        return true;
    }
    for (std::size_t i = 0; i < row.Count(); ++i) {
        if (row.IsRaw(i)) {
            return false;
        }
        m_values.push_back(row.Value(i));
    }
    return true;
}

std::span<const std::string_view> TRowSplitter::SplitMid(const shapes::TSFRow& row)
{
    if (TakeValues(row)) {
        return m_values;
    }
    // The line as the MIF output writes it: a value holding a comma or a double quote quoted.
    m_line.clear();
    for (std::size_t i = 0; i < row.Count(); ++i) {
        if (i > 0) {
            m_line.push_back(',');
        }
        const std::string_view value = row.Value(i);
        if (!row.IsRaw(i) && value.find_first_of(",\"") != std::string_view::npos) {
            base::AppendQuoted(m_line, value);
        } else {
            m_line.append(value);
        }
    }
    Tokenize();
    return m_values;
}

std::span<const std::string_view> TRowSplitter::SplitCsv(const shapes::TSFRow& row)
{
    if (TakeValues(row)) {
        return m_values;
    }
    // The line as the CSV output writes it.
    m_line.clear();
    shapes::AppendCsvRow(m_line, row);
    Tokenize();
    return m_values;
}

void TRowSplitter::Tokenize()
{
    m_tokens.clear();
    std::vector<std::size_t> ends;
    bool quoted = false;
    for (std::size_t i = 0; i < m_line.size(); ++i) {
        const char c = m_line[i];
        if (quoted && c == '"' && i + 1 < m_line.size() && m_line[i + 1] == '"') {
            m_tokens.push_back('"');
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            ends.push_back(m_tokens.size());
        } else {
            m_tokens.push_back(c);
        }
    }
    ends.push_back(m_tokens.size());
    m_values.clear();
    std::size_t begin = 0;
    for (const std::size_t end : ends) {
        m_values.emplace_back(m_tokens.data() + begin, end - begin);
        begin = end;
    }
}

bool ReadMidDate(std::string_view value, TMidDate& date) noexcept
{
    constexpr std::size_t kDateBytes = 8;
    if (value.size() != kDateBytes) {
        return false;
    }
    std::size_t pos = 0;
    if (ScanNumber(value, pos, 4, date.Year) && ScanNumber(value, pos, 2, date.Month)) {
        ScanNumber(value, pos, 2, date.Day);
    }
    return date.Year >= 0 && date.Year <= 9999 && date.Month >= 1 && date.Month <= 12 &&
           date.Day >= 1 && date.Day <= 31;
}

double MifCoord(double value) noexcept
{
    char buffer[base::kCoordBufferSize];
    const std::size_t length = base::FormatCoord(value, buffer);
    double read = 0.0;
    const auto [end, error] = std::from_chars(buffer, buffer + length, read);
    return error == std::errc() && end == buffer + length ? read : value;
}

} // namespace tolvane::gdal
