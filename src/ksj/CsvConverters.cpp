// Comma-separated point lists.
#include "ksj/CsvConverters.h"

#include <string>

#include "base/AppError.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"

namespace tolvane::ksj {

namespace {

double SecondsToDegree(double seconds)
{
    return seconds / 60 / 60;
}

void ConvertCsvPoints(TConvertContext& ctx, std::int64_t xField, std::int64_t yField)
{
    ctx.Src.Rewind();
    if (ctx.Src.Eof()) {
        return;
    }
    ctx.Src.ReadLineView(); // the header line
    ctx.Progress.Step();
    // The line becomes the MID row: with fewer fields than the declared columns no reader
    // would accept the file.
    const std::size_t columns = ctx.ColumnDefLines.size();
    shapes::TSFRow row;
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        // These lists are converted without processing window events.
        ctx.Progress.Step();
        const shapes::TSFPoint point{
            SecondsToDegree(base::StrToFloat(base::GetField(line, xField, ','))),
            SecondsToDegree(base::StrToFloat(base::GetField(line, yField, ',')))};
        if (!base::HasDelimitedFields(line, ',', columns)) {
            throw base::TDataError(base::FormatMessage(
                base::kMsgTooFewFields,
                {std::to_string(base::CountDelimitedFields(line, ',')), std::to_string(columns)}));
        }
        // The line is the row, delimiters and all.
        row.Clear();
        row.AddRaw(line);
        ctx.Out.WritePoint(point, row);
    }
}

} // namespace

void ConvertPointCsv(TConvertContext& ctx)
{
    ConvertCsvPoints(ctx, 2, 3);
}

void ConvertPointCsv2(TConvertContext& ctx)
{
    ConvertCsvPoints(ctx, 1, 2);
}

} // namespace tolvane::ksj
