// What a converter hands on and where it goes: the attribute row of an object, the division of a
// mesh record, and the two output interfaces, one for objects with rows and one for tables of
// rows. A converter knows these and nothing of any file format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shapes/UniSFMapUtil.h"

namespace tolvane::shapes {

/// The values of one attribute row, CP932 bytes. A value is one column's text, or raw text: a
/// record that already holds its own delimiters (a coordinate list's whole line) and is written
/// as it stands, standing for as many columns as a reader finds in it.
///
/// The values are kept one after another with a comma after each, so that a row whose values
/// hold no comma and no double quote reads as one comma-separated text (Joined()) and costs a
/// writer one copy.
class TSFRow
{
public:
    static constexpr char kSeparator = ',';

    /// A row whose plainness is not looked at (`checkPlain` false) costs less to build and is
    /// never IsPlain(): for tables, whose writers quote every value anyway.
    explicit TSFRow(bool checkPlain = true) : m_checkPlain(checkPlain) {}

    void Clear() noexcept
    {
        m_text.clear();
        m_values.clear();
    }
    /// Appends one value.
    void Add(std::string_view value) { Append(value, false, m_checkPlain && IsPlainValue(value)); }
    /// Appends raw text.
    void AddRaw(std::string_view text) { Append(text, true, m_checkPlain); }
    /// Keeps the first `count` values (a prefix shared by several rows).
    void Truncate(std::size_t count) noexcept
    {
        if (count < m_values.size()) {
            m_values.resize(count);
            m_text.resize(count == 0 ? 0 : m_values.back().End + std::size_t{1});
        }
    }

    std::size_t Count() const noexcept { return m_values.size(); }
    std::string_view Value(std::size_t i) const noexcept
    {
        const std::size_t begin = i == 0 ? 0 : m_values[i - 1].End + std::size_t{1};
        return std::string_view(m_text).substr(begin, m_values[i].End - begin);
    }
    bool IsRaw(std::size_t i) const noexcept { return m_values[i].Raw; }
    /// True when some value is raw text.
    bool HasRaw() const noexcept { return !m_values.empty() && m_values.back().RawSoFar; }
    /// True when no value holds a comma or a double quote (raw text does not count).
    bool IsPlain() const noexcept
    {
        return m_values.empty() ? m_checkPlain : m_values.back().PlainSoFar;
    }
    /// The bytes of all values together.
    std::size_t TextSize() const noexcept { return m_text.size() - m_values.size(); }
    /// The values separated by commas, as they stand.
    std::string_view Joined() const noexcept
    {
        return std::string_view(m_text).substr(0, m_text.empty() ? 0 : m_text.size() - 1);
    }

private:
    struct TEntry
    {
        std::uint32_t End =
            0; ///< offset of the separator after the value (rows stay far below 4 GiB)
        bool Raw = false;
        bool RawSoFar = false;  ///< this value or one before it is raw
        bool PlainSoFar = true; ///< this value and every one before it are plain
    };

    static bool IsPlainValue(std::string_view value) noexcept
    {
        // A plain loop: values are short, and find_first_of would search the set per byte.
        unsigned special = 0;
        for (const char c : value) {
            special |= static_cast<unsigned>(c == kSeparator) | static_cast<unsigned>(c == '"');
        }
        return special == 0;
    }

    void Append(std::string_view value, bool raw, bool plain)
    {
        m_text.append(value);
        const bool rawSoFar = raw || HasRaw();
        const bool plainSoFar = plain && IsPlain();
        m_values.push_back({static_cast<std::uint32_t>(m_text.size()), raw, rawSoFar, plainSoFar});
        m_text.push_back(kSeparator);
    }

    std::string m_text;
    std::vector<TEntry> m_values;
    bool m_checkPlain = true;
};

/// Appends `row` as a line of a ledger CSV holds it (without the line end): every value in
/// double quotes with inner quotes doubled, raw text as it stands.
void AppendCsvRow(std::string& line, const TSFRow& row);

/// The n × n division of one third-level mesh cell. Within it a corner's longitude depends only
/// on the column and its latitude only on the row: corner v of the closed ring of cell (column,
/// row) is (X[column][v], Y[row][v]) (the last corner repeats the first), and its centre is
/// (CenterX[column], CenterY[row]).
struct TSFGrid
{
    static constexpr std::size_t kMaxCells = 10;
    static constexpr std::size_t kRingPoints = 5;
    using TRing = std::array<double, kRingPoints>;

    std::int32_t N = 0;
    bool Centres = false; ///< the cells are written as their centre points, not as regions
    std::array<TRing, kMaxCells> X{};
    std::array<TRing, kMaxCells> Y{};
    std::array<double, kMaxCells> CenterX{};
    std::array<double, kMaxCells> CenterY{};
};

/// Where a job's objects go, one after another, each with its attribute row. Errors are raised
/// as TFileError (or another TAppError) by the call that meets them.
class TFeatureOutput
{
public:
    virtual ~TFeatureOutput() = default;

    /// The columns of every row, before the first object.
    virtual void Begin(const TSFColumns& columns) = 0;
    virtual void WritePoint(const TSFPoint& point, const TSFRow& row) = 0;
    /// A region. A single ring may be normalised in the caller's record (clockwise, closed); a
    /// single ring of fewer than two points is written as an object without geometry.
    virtual void WriteRegion(TSFPolygon& shape, const TSFRow& row) = 0;
    /// A polyline; a single section of fewer than two points has no geometry.
    virtual void WritePLine(const TSFPolyLine& shape, const TSFRow& row) = 0;
    /// An object without geometry.
    virtual void WriteNone(const TSFRow& row) = 0;

    /// The division of one mesh record, before its cells. Kept for WriteGridCell.
    virtual void BeginGrid(const TSFGrid& grid) { m_grid = &grid; }
    /// Cell (column, row) of the last grid, as its region or centre point, with its row. This
    /// one builds the shape and writes it as WritePoint or WriteRegion would; an output may do
    /// the same faster.
    virtual void WriteGridCell(std::int32_t row, std::int32_t column, const TSFRow& values);

    /// The end of the job: everything written out and closed. Raises when that fails.
    virtual void Finish() = 0;

    /// The objects written so far, each with its row.
    std::int64_t Objects() const noexcept { return m_objects; }

protected:
    const TSFGrid* Grid() const noexcept { return m_grid; }
    /// Every output calls this once for each object it has written.
    void CountObject() noexcept { ++m_objects; }

private:
    const TSFGrid* m_grid = nullptr;
    std::int64_t m_objects = 0;
    TSFPolygon m_cell;
};

/// Where a table of rows goes: the ledger of a job, or the copy of its records that a format
/// writes beside its objects.
class TTableOutput
{
public:
    virtual ~TTableOutput() = default;

    /// A header line: the column names as values, or a fixed line as raw text.
    virtual void WriteHeader(const TSFRow& row) = 0;
    virtual void WriteRow(const TSFRow& row) = 0;
    /// The end of the table: written out, closed and in place. Without it nothing of the table
    /// may be taken for finished.
    virtual void Finish() = 0;
};

} // namespace tolvane::shapes
