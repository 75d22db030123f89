// The attribute values of a fixed-width record.
#include "ksj/ColumnSlices.h"

#include "base/uniFields.h"

namespace tolvane::ksj {

TColumnSlices::TColumnSlices(const base::TDefLines& defs, std::size_t firstLine)
    : m_defs(defs), m_firstLine(firstLine)
{
}

const std::vector<TColumnSlice>& TColumnSlices::Slices()
{
    if (!m_parsed) {
        m_slices.clear();
        for (std::size_t i = m_firstLine; i < m_defs.size(); ++i) {
            TColumnSlice slice;
            slice.Start = base::ReadDefField(m_defs, i, 3);
            slice.Length = base::ReadDefField(m_defs, i, 4);
            m_slices.push_back(slice);
        }
        m_parsed = true;
    }
    return m_slices;
}

void TColumnSlices::AppendRow(std::string_view record, shapes::TSFRow& row, std::int64_t offset)
{
    for (const TColumnSlice& slice : Slices()) {
        row.Add(base::SubStr(record, slice.Start + offset, slice.Length, true));
    }
}

} // namespace tolvane::ksj
