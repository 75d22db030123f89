// The header line of a KSJ file.
#include "ksj/KsjHeader.h"

#include "base/uniFields.h"
#include "base/uniNumbers.h"

namespace tolvane::ksj {

namespace {

bool IsCodeChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

} // namespace

std::optional<TKsjHeader> ReadKsjHeader(std::string_view line)
{
    if (line.size() < 14 || line[0] != 'H' || line[1] != ' ') {
        return std::nullopt;
    }
    const std::string_view code = base::SubStr(line, 14, 10, true);
    if (code.empty()) {
        return std::nullopt;
    }
    for (const char c : code) {
        if (!IsCodeChar(c)) {
            return std::nullopt;
        }
    }
    TKsjHeader header;
    header.DataCode = code;
    const std::string_view count = base::SubStr(line, 34, 8, true);
    if (base::IsInteger(count)) {
        const std::int64_t lines = base::StrToIntDef(count, 0);
        if (lines > 0) {
            header.Lines = lines;
        }
    }
    return header;
}

} // namespace tolvane::ksj
