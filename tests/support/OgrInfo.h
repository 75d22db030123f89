// Running commands from tests, and GDAL's ogrinfo as an independent reader of our MIF files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tolvane::test {

struct TShellResult
{
    std::string Output; ///< standard output and error together
    int Status = -1;    ///< exit status, -1 when the command did not exit normally
};

TShellResult Shell(const std::string& command);

/// True when GDAL's ogrinfo can be run.
bool HaveOgrInfo();

/// What ogrinfo read from a MIF file: every feature, and how many of each geometry type
/// ("POINT", "POLYGON", "LINESTRING" …; features without geometry count under "NONE").
struct TOgrRead
{
    int Status = -1;
    std::size_t Features = 0;
    std::map<std::string, std::size_t> Geometries;
    bool Errors = false; ///< ogrinfo printed an ERROR line
    std::string Output;
};

TOgrRead ReadWithOgr(const std::filesystem::path& mif);

/// Number of values in a .mid row or CSV line: commas outside double quotes, plus one (a doubled
/// quote inside quotes stands for one). An empty row has one, empty, value.
std::size_t CountDelimitedValues(std::string_view row);

} // namespace tolvane::test
