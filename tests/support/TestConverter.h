// A converter for driver and batch tests: one Point and its row per line starting with "P"; a
// line starting with "BAD" fails the job. Events are pumped every `PumpInterval` lines.
#pragma once

#include <string>

#include "convert/AppError.h"
#include "convert/ConvertContext.h"
#include "mif/uniMifUtils.h"

namespace tolvane::test {

template <int PumpInterval> void ConvertTestPoints(convert::TConvertContext& ctx)
{
    convert::TColumnSlices slices(ctx.ColumnDefLines);
    std::string row;
    ctx.Src.Rewind();
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(PumpInterval);
        if (line.starts_with("BAD")) {
            throw convert::TDataError("'BAD' は整数ではありません");
        }
        if (!line.starts_with("P")) {
            continue;
        }
        mif::WriteMifPoint(ctx.Mif, {139.5, 35.5});
        row.clear();
        slices.AppendRow(line, row);
        ctx.Mid.WriteLine(row);
    }
}

} // namespace tolvane::test
