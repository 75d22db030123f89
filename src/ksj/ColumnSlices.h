// The attribute values of a fixed-width record: one trimmed byte slice per column line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/DefLines.h"
#include "shapes/FeatureOutput.h"

namespace tolvane::ksj {

/// Start and length of one column.
struct TColumnSlice
{
    std::int32_t Start = 0;
    std::int32_t Length = 0;
};

/// The slices of the column lines from `firstLine` on (fields 3 and 4 of each). They are read
/// when the first row is formed: a line that is not an integer fails the conversion there, with
/// the definition file and line, exactly as reading them for every record would.
class TColumnSlices
{
public:
    explicit TColumnSlices(const base::TDefLines& defs, std::size_t firstLine = 0);

    const std::vector<TColumnSlice>& Slices();

    /// Appends the value of every column for `record` to `row`: the trimmed slice at start +
    /// `offset`.
    void AppendRow(std::string_view record, shapes::TSFRow& row, std::int64_t offset = 0);

private:
    const base::TDefLines& m_defs;
    std::size_t m_firstLine;
    bool m_parsed = false;
    std::vector<TColumnSlice> m_slices;
};

} // namespace tolvane::ksj
