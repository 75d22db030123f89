// Line files.
#include "ksj/LineConverter.h"

#include <string>

#include "base/AppError.h"
#include "ksj/ColumnSlices.h"
#include "ksj/uniKsjLinks.h"

namespace tolvane::ksj {

void ConvertLine(TConvertContext& ctx)
{
    TColumnSlices columns(ctx.ColumnDefLines);
    std::string header;
    std::string text;
    shapes::TSFRow row;
    shapes::TSFPolyLine shape;
    shape.NumParts = 1;
    shape.Parts.assign(1, 0);
    ctx.Src.Rewind();
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(base::kPumpInterval);
        if (line.empty() || line.front() != 'L') {
            continue;
        }
        header.assign(line);
        const std::int64_t headerLineNo = ctx.Src.LineNo();
        const std::int32_t count = ReadKsjCount(header, 46);
        ReadBlockLines(ctx.Src, count, kPointsPerLine, text, &ctx.Progress);
        shape.Points.clear();
        try {
            DecodeKsjPoints(text, count, false, false, shape.Points);
        } catch (base::TAppError& error) {
            // Named by the chain's header, as for the chains of surface and area files.
            error.SetPlace(ctx.Src.FileName(), headerLineNo);
            throw;
        }
        shape.NumPoints = count;
        shapes::CalcBounds(shape);
        row.Clear();
        columns.AppendRow(header, row);
        ctx.Out.WritePLine(shape, row);
    }
}

} // namespace tolvane::ksj
