// What a converter borrows for one job, and the shape of a converter.
#pragma once

#include <filesystem>
#include <string_view>

#include "base/DefLines.h"
#include "base/JobObserver.h"
#include "base/uniTextFile.h"
#include "shapes/FeatureOutput.h"

namespace tolvane::ksj {

/// The open source, the outputs and the definitions of one job. The converter reads Src from its
/// first line, hands every object with its row to Out (whose columns are set), adds one to
/// Progress per source line read and finishes nothing. It fails by raising an error.
struct TConvertContext
{
    base::TSjisLineReader& Src;
    shapes::TFeatureOutput& Out;
    const base::TDefLines& ColumnDefLines;
    const base::TDefLines& ParamLines;
    base::TProgress& Progress;
    /// The Define folder (for fixed files such as S04_AC.txt).
    std::filesystem::path DefineDir;
    /// "AC": only closed outlines become regions.
    bool ClosedOnly = false;
    /// The table for a copy of the records, for converters whose row says they write one.
    shapes::TTableOutput* CsvCopy = nullptr;
};

using TConverterFn = void (*)(TConvertContext&);

/// One row of the dispatch table.
struct TConverterEntry
{
    std::string_view FormatCode; ///< upper case
    TConverterFn Convert = nullptr;
    bool ClosedOnly = false;
    /// The converter writes a CSV copy of its records beside its objects (into CsvCopy).
    bool WritesCsv = false;
};

} // namespace tolvane::ksj
