// The tab-separated mesh converter.
#include "ksj/TabMeshConv.h"

#include <string>

#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "base/uniTextFile.h"
#include "ksj/uniKsjUtils.h"

namespace tolvane::ksj {

using namespace tolvane::base;

namespace {

constexpr std::string_view kHeaderFile = "S04_AC.txt";

/// The fields of a record: its tab-separated pieces, empty ones included.
void SplitTabs(std::string_view line, shapes::TSFRow& row)
{
    row.Clear();
    for (;;) {
        const std::size_t tab = line.find('\t');
        row.Add(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            return;
        }
        line.remove_prefix(tab + 1);
    }
}

} // namespace

void ConvertM3NS(TConvertContext& ctx)
{
    const std::vector<std::string> header =
        LoadLines(ctx.DefineDir / base::Utf8ToPath(kHeaderFile));
    // Without a table (an item whose ledger takes the CSV's place) the copy is not written.
    shapes::TTableOutput* csv = ctx.CsvCopy;
    shapes::TSFRow row;
    for (const std::string& line : header) {
        row.Clear();
        row.AddRaw(line);
        if (csv != nullptr) {
            csv->WriteHeader(row);
        }
    }

    shapes::TSFPolygon shape;
    shapes::TSFRow fields(false);
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step(kPumpInterval);
        if (!line.empty() && line.front() == 'H') {
            continue;
        }
        Mesh3ToPolygon(SubStr(line, 1, 4, false), SubStr(line, 5, 2, false),
                       SubStr(line, 7, 2, false), shape);
        row.Clear();
        row.Add(SubStr(line, 1, 8, false));
        ctx.Out.WriteRegion(shape, row);
        if (csv != nullptr) {
            SplitTabs(line, fields);
            csv->WriteRow(fields);
        }
    }
}

} // namespace tolvane::ksj
