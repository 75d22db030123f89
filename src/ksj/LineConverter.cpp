// Line files.
#include "ksj/LineConverter.h"

#include <string>

#include "convert/AppError.h"
#include "ksj/uniKsjLinks.h"
#include "mif/uniMifUtils.h"

namespace tolvane::ksj {

namespace {

constexpr std::int64_t kPumpInterval = 10000;

} // namespace

void ConvertLine(convert::TConvertContext& ctx)
{
    convert::TColumnSlices columns(ctx.ColumnDefLines);
    std::string header;
    std::string text;
    std::string row;
    mif::TSFPolyLine shape;
    shape.NumParts = 1;
    shape.Parts.assign(1, 0);
    ctx.Src.Rewind();
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(kPumpInterval);
        if (line.empty() || line.front() != 'L') {
            continue;
        }
        header.assign(line);
        const std::int64_t headerLineNo = ctx.Src.LineNo();
        const std::int32_t count = ReadKsjCount(header, 46);
        text.clear();
        for (std::int32_t k = ContinuationLines(count, kPointsPerLine); k > 0; --k) {
            text.append(ctx.Src.ReadLineView());
            ctx.Progress.Step();
        }
        shape.Points.clear();
        try {
            DecodeKsjPoints(text, count, false, false, shape.Points);
        } catch (convert::TAppError& error) {
            // Named by the chain's header, as for the chains of surface and area files.
            error.SetPlace(ctx.Src.FileName(), headerLineNo);
            throw;
        }
        shape.NumPoints = count;
        mif::CalcBounds(shape);
        mif::WriteMifPLine(ctx.Mif, shape);
        row.clear();
        columns.AppendRow(header, row);
        ctx.Mid.WriteLine(row);
    }
}

} // namespace tolvane::ksj
