// Point and node files.
#include "ksj/PointConverters.h"

#include "base/uniFields.h"
#include "ksj/ColumnSlices.h"
#include "ksj/uniKsjLinks.h"

namespace tolvane::ksj {

namespace {

void ConvertPoints(TConvertContext& ctx, char letter, std::int64_t xStart, std::int64_t yStart)
{
    TColumnSlices columns(ctx.ColumnDefLines);
    shapes::TSFRow row;
    ctx.Src.Rewind();
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(base::kPumpInterval);
        if (line.empty() || line.front() != letter) {
            continue;
        }
        // A record without coordinates yields neither object nor row.
        const std::string_view xText = base::SubStr(line, xStart, 8, true);
        if (xText.empty()) {
            continue;
        }
        const std::string_view yText = base::SubStr(line, yStart, 8, true);
        if (yText.empty()) {
            continue;
        }
        const shapes::TSFPoint point{ReadKsjCoord(xText), ReadKsjCoord(yText)};
        row.Clear();
        columns.AppendRow(line, row);
        ctx.Out.WritePoint(point, row);
    }
}

} // namespace

void ConvertPoint(TConvertContext& ctx)
{
    ConvertPoints(ctx, 'P', 10, 18);
}

void ConvertNode(TConvertContext& ctx)
{
    ConvertPoints(ctx, 'N', 16, 24);
}

} // namespace tolvane::ksj
