// What a converter borrows for one job, and the shape of a converter.
#pragma once

#include <filesystem>
#include <string_view>

#include "convert/ItemDefs.h"
#include "convert/JobObserver.h"
#include "convert/uniTextFile.h"

namespace tolvane::convert {

/// The open files and definitions of one job. The converter reads Src from its first line, writes
/// objects to Mif (header, columns and "Data" are written) and one row per object to Mid, adds
/// one to Progress per source line read and closes nothing. It fails by raising an error.
struct TConvertContext
{
    TSjisLineReader& Src;
    TSjisWriter& Mif;
    TSjisWriter& Mid;
    const TDefLines& ColumnDefLines;
    const TDefLines& ParamLines;
    TProgress& Progress;
    /// The Define folder (for fixed files such as S04_AC.txt).
    std::filesystem::path DefineDir;
    /// "AC": only closed outlines become regions.
    bool ClosedOnly = false;
    /// The destination with the extension ".csv" (for converters that write a CSV of their own).
    std::filesystem::path CsvFile;
};

using TConverterFn = void (*)(TConvertContext&);

/// One row of the dispatch table.
struct TConverterEntry
{
    std::string_view FormatCode; ///< upper case
    TConverterFn Convert = nullptr;
    bool ClosedOnly = false;
};

} // namespace tolvane::convert
