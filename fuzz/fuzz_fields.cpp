// The field splitter, byte slices, trims and the number readers on arbitrary bytes.
#include <cmath>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/uniFields.h"
#include "base/uniNumbers.h"

using namespace tolvane::base;
using tolvane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) {
        return 0;
    }
    const char delimiter = (data[0] & 1) != 0 ? '\t' : ',';
    const auto start = static_cast<std::int64_t>(static_cast<std::int8_t>(data[1]));
    const auto count = static_cast<std::int64_t>(static_cast<std::int8_t>(data[2]));
    const std::string_view line(reinterpret_cast<const char*>(data + 3), size - 3);

    std::vector<std::string> fields;
    SplitFields(line, delimiter, fields);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        Check(GetField(line, static_cast<std::int64_t>(i) + 1, delimiter) == fields[i],
              "GetField agrees with SplitFields");
    }
    Check(GetField(line, static_cast<std::int64_t>(fields.size()) + 1, delimiter).empty(),
          "no field beyond the last");

    for (const bool trim : {false, true}) {
        const std::string_view slice = SubStr(line, start, count, trim);
        Check(slice.empty() || (slice.data() >= line.data() &&
                                slice.data() + slice.size() <= line.data() + line.size()),
              "a slice lies inside its record");
        Check(count < 0 || static_cast<std::int64_t>(slice.size()) <= count,
              "a slice is no longer than asked");
        if (trim && !slice.empty()) {
            Check(!IsBlank(slice.front()) && !IsBlank(slice.back()),
                  "a trimmed slice has no blank ends");
        }
    }
    const std::string_view wide = TrimWide(line);
    Check(wide.size() <= line.size(), "TrimWide only removes");
    // A tab that comes to the front once full-width spaces are gone stays; spaces never do.
    Check(wide.empty() ||
              (wide.front() != ' ' && wide.back() != ' ' && !wide.starts_with("\x81\x40")),
          "TrimWide leaves no space at the front or back");

    if (IsInteger(line) && line.size() <= 9) {
        Check(TryStrToInt(line).has_value(), "a short signed digit run is an integer");
    }
    (void)TryStrToBool(line);
    if (const auto value = TryStrToFloat(line)) {
        Check(std::isfinite(*value), "floats are finite");
        char buffer[kCoordBufferSize];
        const std::size_t length = FormatCoord(*value, buffer);
        Check(length < kCoordBufferSize, "a coordinate fits its buffer");
        const std::string_view text(buffer, length);
        Check(text.size() > 9 && text[text.size() - 9] == '.', "eight decimals after a full stop");
        if (std::fabs(*value) < 1e9) {
            const auto back = TryStrToFloat(text);
            Check(back.has_value() && std::fabs(*back - *value) <= 5.000001e-9,
                  "rounded to eight decimals");
        }
    }
    return 0;
}
