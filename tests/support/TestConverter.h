// A converter for driver and batch tests: one Point and its row per line starting with "P" (and
// the line as a row of the CSV copy, where the table row asks for one); a line starting with
// "BAD" fails the job. Events are pumped every `PumpInterval` lines.
#pragma once

#include <string>

#include "base/AppError.h"
#include "ksj/ColumnSlices.h"
#include "ksj/ConvertContext.h"

namespace tolvane::test {

template <int PumpInterval> void ConvertTestPoints(ksj::TConvertContext& ctx)
{
    ksj::TColumnSlices slices(ctx.ColumnDefLines);
    shapes::TSFRow row;
    ctx.Src.Rewind();
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(PumpInterval);
        if (line.starts_with("BAD")) {
            throw base::TDataError("'BAD' は整数ではありません");
        }
        if (!line.starts_with("P")) {
            continue;
        }
        row.Clear();
        slices.AppendRow(line, row);
        ctx.Out.WritePoint({139.5, 35.5}, row);
        // A table row that says it writes a CSV copy gets one: the line as one value.
        if (ctx.CsvCopy != nullptr) {
            row.Clear();
            row.Add(line);
            ctx.CsvCopy->WriteRow(row);
        }
    }
}

} // namespace tolvane::test
