// Comma-separated point lists.
#include "ksj/CsvConverters.h"

#include "convert/uniFields.h"
#include "convert/uniNumbers.h"
#include "mif/uniMifUtils.h"

namespace tolvane::ksj {

namespace {

double SecondsToDegree(double seconds)
{
    return seconds / 60 / 60;
}

void ConvertCsvPoints(convert::TConvertContext& ctx, std::int64_t xField, std::int64_t yField)
{
    ctx.Src.Rewind();
    if (ctx.Src.Eof()) {
        return;
    }
    ctx.Src.ReadLineView(); // the header line
    ctx.Progress.Step();
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        // These lists are converted without processing window events.
        ctx.Progress.Step();
        const mif::TSFPoint point{
            SecondsToDegree(convert::StrToFloat(convert::GetField(line, xField, ','))),
            SecondsToDegree(convert::StrToFloat(convert::GetField(line, yField, ',')))};
        mif::WriteMifPoint(ctx.Mif, point);
        ctx.Mid.WriteLine(line);
    }
}

} // namespace

void ConvertPointCsv(convert::TConvertContext& ctx)
{
    ConvertCsvPoints(ctx, 2, 3);
}

void ConvertPointCsv2(convert::TConvertContext& ctx)
{
    ConvertCsvPoints(ctx, 1, 2);
}

} // namespace tolvane::ksj
