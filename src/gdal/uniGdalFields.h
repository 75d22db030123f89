// What GDAL's readers find in our MIF/MID and CSV text, so that an output written through GDAL
// holds the same: field names, the values of a row, dates and coordinates. No GDAL here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shapes/FeatureOutput.h"

namespace tolvane::gdal {

/// Which rules MakeFieldNames follows.
enum class TNameRules : std::uint8_t {
    Mif,   ///< as GDAL's MapInfo reader reads the columns of our MIF: cut to 31 bytes, and a
           ///< repeated name gets "_1" … "_9", then "10" … "99"
    Table, ///< as a CSV header: names kept whole, a repeated name gets "_1", "_2" …
};

/// UTF-8 field names for the CP932 names `names`, each one GDAL accepts in every format:
/// - with TNameRules::Mif a name is cut to its first 31 bytes (whole characters), as GDAL's
///   MapInfo reader cuts it;
/// - an empty name becomes "field_<n>" (n the 1-based position), as GDAL's CSV reader names a
///   column without a name;
/// - a name equal to an earlier one (ASCII letters in any case, as SQLite compares column
///   names) gets a suffix, by the rules above: the first free one. GDAL's MapInfo reader does
///   this only for names of ASCII letters; a GeoPackage refuses the rest, so every repeated
///   name gets one here.
std::vector<std::string> MakeFieldNames(std::span<const std::string> names, TNameRules rules);

/// `base` (UTF-8) when no name of `taken` equals it (ASCII letters in any case), else
/// "base_1", "base_2" …, the first free one.
std::string FreeName(std::string_view base, std::span<const std::string> taken);

/// True when `a` and `b` are equal with ASCII letters in any case.
bool SameName(std::string_view a, std::string_view b) noexcept;

/// Splits rows into the values a reader finds in them. The views stay valid until the next
/// call.
class TRowSplitter
{
public:
    /// The values GDAL's MapInfo reader finds in the .mid line that our MIF output writes for
    /// `row`: every value as it is, while raw text is split at commas outside double quotes (a
    /// double quote opens or closes a quoted part anywhere in a value; inside one, two double
    /// quotes stand for one; an unclosed one runs to the end of the line).
    std::span<const std::string_view> SplitMid(const shapes::TSFRow& row);
    /// The values GDAL's CSV reader finds in the line that our CSV output writes for `row`, by
    /// the same rules (the reader's own): the lines differ only in which values are quoted.
    std::span<const std::string_view> SplitCsv(const shapes::TSFRow& row);

private:
    /// Takes the values as they are when no value is raw text; false otherwise.
    bool TakeValues(const shapes::TSFRow& row);
    /// Splits m_line into m_values.
    void Tokenize();

    std::string m_line;
    std::string m_tokens;
    std::vector<std::string_view> m_values;
};

/// A date as GDAL's MapInfo reader reads it from a Date value: only a value of exactly eight
/// bytes is read, as the numbers of at most 4, 2 and 2 characters (C's "%4d%2d%2d": blanks
/// skipped, a sign allowed); a number that is missing keeps the value that the row's previous
/// Date column left (the reader keeps them in one place for the whole row).
struct TMidDate
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

/// Reads `value` into `date` as above. Returns true when the value has eight bytes and the
/// result is a date GDAL's GeoPackage and GeoJSON readers take back (year 0 to 9999, month 1
/// to 12, day 1 to 31); false leaves the column without a value.
bool ReadMidDate(std::string_view value, TMidDate& date) noexcept;

/// `value` as a reader gets it back from our MIF: written with eight decimals (FormatCoord)
/// and read as the nearest double.
double MifCoord(double value) noexcept;

} // namespace tolvane::gdal
