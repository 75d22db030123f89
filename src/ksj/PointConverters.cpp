// Point and node files.
#include "ksj/PointConverters.h"

#include <string>

#include "convert/uniFields.h"
#include "ksj/uniKsjLinks.h"
#include "mif/uniMifUtils.h"

namespace tolvane::ksj {

namespace {

constexpr std::int64_t kPumpInterval = 10000;

void ConvertPoints(convert::TConvertContext& ctx, char letter, std::int64_t xStart,
                   std::int64_t yStart)
{
    convert::TColumnSlices columns(ctx.ColumnDefLines);
    std::string row;
    ctx.Src.Rewind();
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(kPumpInterval);
        if (line.empty() || line.front() != letter) {
            continue;
        }
        // A record without coordinates yields neither object nor row.
        const std::string_view xText = convert::SubStr(line, xStart, 8, true);
        if (xText.empty()) {
            continue;
        }
        const std::string_view yText = convert::SubStr(line, yStart, 8, true);
        if (yText.empty()) {
            continue;
        }
        const mif::TSFPoint point{ReadKsjCoord(xText), ReadKsjCoord(yText)};
        mif::WriteMifPoint(ctx.Mif, point);
        row.clear();
        columns.AppendRow(line, row);
        ctx.Mid.WriteLine(row);
    }
}

} // namespace

void ConvertPoint(convert::TConvertContext& ctx)
{
    ConvertPoints(ctx, 'P', 10, 18);
}

void ConvertNode(convert::TConvertContext& ctx)
{
    ConvertPoints(ctx, 'N', 16, 24);
}

} // namespace tolvane::ksj
