// The mesh converters on small sources: record selection, objects, rows, parameters, errors and
// progress; and the shared-coordinate output of the subdivided formats against cell-by-cell
// shapes written by the MIF writer.
#include "ksj/MeshConv.h"

#include <random>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "base/uniFields.h"
#include "driver/ItemDefs.h"
#include "ksj/TabMeshConv.h"
#include "ksj/uniKsjUtils.h"
#include "mif/uniMifUtils.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using namespace tolvane::ksj;
using tolvane::shapes::TSFPoint;
using tolvane::shapes::TSFPolygon;
using tolvane::shapes::TSFRow;
using tolvane::test::CountOf;
using tolvane::test::CrLf;
using tolvane::test::Record;
using tolvane::test::Sjis;
using tolvane::test::TMeshJob;
using tolvane::test::TMeshRun;
using tolvane::test::WriteBytes;

namespace {

const std::string kM2Region = "Region 1\r\n  5\r\n"
                              "139.62500000 35.66666667\r\n"
                              "139.62500000 35.75000000\r\n"
                              "139.75000000 35.75000000\r\n"
                              "139.75000000 35.66666667\r\n"
                              "139.62500000 35.66666667\r\n\r\n";

class MeshConv : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Job.SetParams({"title", "6", "0", "1"});
        Job.SetColumns({"MESH,schar,6,6"});
    }
    TMeshJob Job;
};

} // namespace

TEST_F(MeshConv, SecondLevelRecordIsWrittenClockwise)
{
    const TMeshRun run = Job.Run(&ConvertM2, CrLf({"M  2 533945 rest"}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(run.Mif, kM2Region);
    EXPECT_EQ(run.Mid, "533945\r\n");
}

TEST_F(MeshConv, OnlyLinesStartingWithCapitalMAreRecords)
{
    const TMeshRun run =
        Job.Run(&ConvertM2, CrLf({"m  2 533945", "", "H  2 533945", " M 2 533945", "M  2 533945"}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(run.Mif, kM2Region);
    EXPECT_EQ(run.Mid, "533945\r\n");
    EXPECT_EQ(run.Position, 5); // every line read counts
}

TEST_F(MeshConv, SourceWithoutRecordsWritesNothing)
{
    const TMeshRun run = Job.Run(&ConvertM3_10, CrLf({"H header", "x"}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(run.Mif, "");
    EXPECT_EQ(run.Mid, "");
}

TEST_F(MeshConv, KindDigitAtByte12SelectsTheConverter)
{
    const std::string source = CrLf({"M  2 5339452 x"});
    const std::pair<TConverterFn, bool> cases[] = {{&ConvertM21, false},
                                                   {&ConvertM22, true},
                                                   {&ConvertM23, false},
                                                   {&ConvertM24, false},
                                                   {&ConvertM2, true}};
    int index = 0;
    for (const auto& [convert, converts] : cases) {
        SCOPED_TRACE(index++);
        const TMeshRun run = Job.Run(convert, source);
        ASSERT_FALSE(run.Failed) << run.Error;
        EXPECT_EQ(run.Mif, converts ? kM2Region : "");
        EXPECT_EQ(run.Mid, converts ? "533945\r\n" : "");
    }
}

TEST_F(MeshConv, ColumnSlicesFormTheRow)
{
    // Bytes 12 to 16 blank: the row starts with an empty value. A column beyond the end of the
    // record is empty too, and still takes its place.
    Job.SetColumns({"A,char,12,5", "B,char,17,3", "C,char,20,4", "D,char,40,2"});
    const std::string record = Record(23, {{1, "M"}, {6, "533945"}, {17, "xy "}, {20, " 7 8"}});
    const TMeshRun run = Job.Run(&ConvertM2, CrLf({record}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(run.Mid, ",xy,7 8,\r\n");

    Job.SetColumns({});
    EXPECT_EQ(Job.Run(&ConvertM2, CrLf({record, record})).Mid, "\r\n\r\n");
}

TEST_F(MeshConv, QuarterNumberAtByte14)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1", "139.71250000 35.68333333"}, {"2", "139.71875000 35.68333333"},
        {"3", "139.71250000 35.68750000"}, {"4", "139.71875000 35.68750000"},
        {"0", "139.71250000 35.68333333"}, {"5", "139.71250000 35.68333333"}};
    for (const auto& [quarter, southWest] : cases) {
        SCOPED_TRACE(quarter);
        const TMeshRun run = Job.Run(&ConvertM4, CrLf({std::string("M  4 53394527") + quarter}));
        ASSERT_FALSE(run.Failed) << run.Error;
        EXPECT_EQ(run.Mif.substr(15, 26), std::string(southWest) + "\r\n");
    }
    for (const char* bad : {"M  4 53394527X", "M  4 53394527"}) {
        SCOPED_TRACE(bad);
        const TMeshRun run = Job.Run(&ConvertM4, CrLf({"M  4 533945271", bad}));
        EXPECT_TRUE(run.Failed);
        EXPECT_EQ(run.Error,
                  bad[13] == 'X' ? "'X' は整数ではありません" : "'' は整数ではありません");
        EXPECT_EQ(run.LineNo, 2);
        EXPECT_EQ(CountOf(run.Mif, "Region"), 1U);
        EXPECT_EQ(CountOf(run.Mid, "\r\n"), 1U);
    }
}

TEST_F(MeshConv, BadMeshCodeFailsBeforeTheRecordsObjects)
{
    const std::pair<TConverterFn, const char*> cases[] = {{&ConvertM2, "M  2 53A945"},
                                                          {&ConvertM3, "M  3 5339452"},
                                                          {&ConvertM4, "M"},
                                                          {&ConvertM3_10, "M  3 5339  27"},
                                                          {&ConvertM3_4P, "M  3 533945"}};
    for (const auto& [convert, bad] : cases) {
        SCOPED_TRACE(bad);
        const TMeshRun run = Job.Run(convert, CrLf({"M  3 5339452711", bad, "M  3 5339452711"}));
        EXPECT_TRUE(run.Failed);
        EXPECT_NE(run.Error.find("は浮動小数点数ではありません"), std::string::npos) << run.Error;
        EXPECT_EQ(run.LineNo, 2);
        // Only the first record's objects and rows are there.
        const auto objects = CountOf(run.Mid, "\r\n");
        EXPECT_TRUE(objects == 1 || objects == 16 || objects == 100) << objects;
        EXPECT_EQ(CountOf(run.Mif, "Region") + CountOf(run.Mif, "Point"), objects);
    }
}

TEST_F(MeshConv, BadColumnLineFailsAtTheFirstObjectWithMifAndMidInStep)
{
    // An object goes out with its row or not at all.
    Job.SetColumns({"MESH,schar,6,6", "BAD,char,x,2"});
    const TMeshRun run = Job.Run(&ConvertM2, CrLf({"H", "M  2 533945", "M  2 533945"}));
    EXPECT_TRUE(run.Failed);
    EXPECT_EQ(run.Error, "'x' は整数ではありません");
    EXPECT_EQ(run.ErrorFile, Job.Columns.FileName);
    EXPECT_EQ(run.Mif, "");
    EXPECT_EQ(run.Mid, "");

    // The subdivided formats never read the lines of their generated values.
    Job.SetColumns({"A,schar,-,-", "B,schar,-,-", "C,schar,-,-", "D,schar,-,-", "E,char,1,y"});
    const TMeshRun sub = Job.Run(&ConvertM3_10, CrLf({"M  3 53394527"}));
    EXPECT_TRUE(sub.Failed);
    EXPECT_EQ(sub.Error, "'y' は整数ではありません");
    EXPECT_EQ(CountOf(sub.Mif, "Region"), 0U);
    EXPECT_EQ(sub.Mid, "");
}

TEST_F(MeshConv, ParameterFileIsReadBeforeTheFirstLine)
{
    struct TCase
    {
        std::vector<std::string> Params;
        const char* Error;
    };
    const TCase cases[] = {
        {{"title", "6", "0"}, "リストのインデックスが範囲を超えています (3)"},
        {{}, "リストのインデックスが範囲を超えています (1)"},
        {{"title", "5 ", "13", "6"}, "'5 ' は整数ではありません"},
        {{"title", "6", "", "1"}, "'' は整数ではありません"},
        {{"title", "6", "0", "K"}, "'K' は整数ではありません"},
    };
    for (const TConverterFn convert :
         {&ConvertM3_10, &ConvertM3_10P, &ConvertM3_4, &ConvertM3_4P}) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(c.Error);
            Job.SetParams(c.Params);
            const TMeshRun run = Job.Run(convert, CrLf({"M  3 53394527"}));
            EXPECT_TRUE(run.Failed);
            EXPECT_EQ(run.Error, c.Error);
            EXPECT_EQ(run.ErrorFile, Job.Params.FileName);
            EXPECT_EQ(run.LineNo, 0);
            EXPECT_EQ(run.Position, 0);
            EXPECT_EQ(run.Mif, "");
        }
    }
    // Leading blanks, a sign and hexadecimal are integers; lines after the fourth are ignored.
    Job.SetParams({"title", " +6", "$0", "0x1", "junk"});
    EXPECT_FALSE(Job.Run(&ConvertM3_10, CrLf({"M  3 53394527"})).Failed);
}

TEST_F(MeshConv, TenByTenRowsAndValueBlocks)
{
    // S = 6, B = 14, K = 5: the value of cell k for a column at start 1, length 5 lies at
    // 1 + k × 5 + 14.
    Job.SetParams({"title", "6", "14", "5"});
    Job.SetColumns(
        {"M1,schar,-,-", "M2,schar,-,-", "M3,schar,-,-", "CELL,schar,-,-", "V,char,1,5"});
    std::string record = Record(14, {{1, "M"}, {4, " 3"}, {6, "53394527"}});
    for (int k = 0; k < 100; ++k) {
        record += "v" + std::to_string(1000 + k);
    }
    const TMeshRun run = Job.Run(&ConvertM3_10, CrLf({record}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(CountOf(run.Mif, "Region 1\r\n"), 100U);
    std::vector<std::string> rows;
    for (std::size_t at = 0; at < run.Mid.size();) {
        const std::size_t end = run.Mid.find("\r\n", at);
        rows.push_back(run.Mid.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(rows.size(), 100U);
    EXPECT_EQ(rows[0], "5339,45,27,00,v1000");
    EXPECT_EQ(rows[37], "5339,45,27,37,v1037");
    EXPECT_EQ(record.substr(199, 5), "v1037");
    EXPECT_EQ(rows[99], "5339,45,27,99,v1099");

    // The first region is the south-west cell, the 100th the north-east cell.
    EXPECT_EQ(run.Mif.substr(15, 26), "139.71250000 35.68333333\r\n");
    const std::size_t last = run.Mif.rfind("Region 1");
    EXPECT_EQ(run.Mif.substr(last + 15, 26), "139.72375000 35.69083333\r\n");

    // Four column lines or fewer: the four generated values only.
    Job.SetColumns({"M1,schar,-,-", "M2,schar,-,-"});
    const TMeshRun bare = Job.Run(&ConvertM3_10P, CrLf({record}));
    EXPECT_EQ(bare.Mid.substr(0, 17), "5339,45,27,00\r\n53");
}

TEST_F(MeshConv, TenByTenPointsHaveNoEmptyLines)
{
    const TMeshRun run = Job.Run(&ConvertM3_10P, CrLf({"M  3 53394527", "M  3 53394528"}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(CountOf(run.Mif, "Point "), 200U);
    EXPECT_EQ(CountOf(run.Mif, "\r\n"), 200U);
    EXPECT_EQ(run.Mif.find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(run.Mif.substr(0, 32), "Point 139.71312500 35.68375000\r\n");
    EXPECT_EQ(CountOf(run.Mid, "\r\n"), 200U);
}

TEST_F(MeshConv, FourByFourRunsFromTheNorthWest)
{
    Job.SetParams({"title", "6", "0", "2"});
    Job.SetColumns({"M1,schar,-,-", "M2,schar,-,-", "M3,schar,-,-", "V,char,14,2"});
    std::string record = Record(13, {{1, "M"}, {6, "53394527"}});
    for (int k = 0; k < 16; ++k) {
        record += std::string(1, static_cast<char>('a' + k)) + "z";
    }
    const TMeshRun run = Job.Run(&ConvertM3_4, CrLf({record}));
    ASSERT_FALSE(run.Failed) << run.Error;
    EXPECT_EQ(CountOf(run.Mif, "Region 1\r\n"), 16U);
    EXPECT_EQ(run.Mid.substr(0, 15), "5339,45,27,az\r\n");
    EXPECT_EQ(run.Mid.substr(run.Mid.size() - 15), "5339,45,27,pz\r\n");
    // North-west cell first, written from its north-west corner eastward.
    const std::string northWest = "Region 1\r\n  5\r\n139.71250000 35.69166667\r\n"
                                  "139.71562500 35.69166667\r\n139.71562500 35.68958333\r\n";
    EXPECT_EQ(run.Mif.substr(0, northWest.size()), northWest);
    // South-east cell last.
    const std::size_t last = run.Mif.rfind("Region 1");
    EXPECT_EQ(run.Mif.substr(last + 15, 26), "139.72187500 35.68541667\r\n");

    const TMeshRun points = Job.Run(&ConvertM3_4P, CrLf({record}));
    EXPECT_EQ(CountOf(points.Mif, "Point "), 16U);
    EXPECT_EQ(points.Mif.substr(0, 32), "Point 139.71406250 35.69062500\r\n");
    EXPECT_EQ(points.Mid, run.Mid);
}

// ---------------------------------------------------------------------------------------------
// Progress

TEST_F(MeshConv, EventsArePumpedEveryTenThousandOrThousandLines)
{
    WriteBytes(Job.Define() / "S04_AC.txt", CrLf({"head"}));
    // Lines that no converter takes as a record (M3NS skips only "H" lines).
    std::string others;
    std::string headers;
    for (int i = 0; i < 25000; ++i) {
        others += "x\r\n";
        headers += "H\r\n";
    }
    const std::pair<TConverterFn, int> cases[] = {
        {&ConvertM2, 10000},    {&ConvertM21, 10000}, {&ConvertM22, 10000},  {&ConvertM23, 10000},
        {&ConvertM24, 10000},   {&ConvertM3, 10000},  {&ConvertM4, 1000},    {&ConvertM3_10, 1000},
        {&ConvertM3_10P, 1000}, {&ConvertM3_4, 1000}, {&ConvertM3_4P, 1000}, {&ConvertM3NS, 10000}};
    int index = 0;
    for (const auto& [convert, interval] : cases) {
        SCOPED_TRACE(index++);
        Job.Observer = {};
        const TMeshRun run = Job.Run(convert, convert == &ConvertM3NS ? headers : others);
        ASSERT_FALSE(run.Failed) << run.Error;
        EXPECT_EQ(run.Position, 25000);
        const int pumps = 25000 / interval;
        EXPECT_EQ(Job.Observer.EventPumps, pumps);
        ASSERT_EQ(Job.Observer.Positions.size(), static_cast<std::size_t>(pumps));
        EXPECT_EQ(Job.Observer.Positions.front(), interval);
        EXPECT_EQ(Job.Observer.Positions.back(), pumps * interval);
    }
}

// ---------------------------------------------------------------------------------------------
// The subdivided formats format each distinct coordinate of a record once and assemble the
// objects from the pieces. Cell by cell, the shapes of the decoding operations written by the
// MIF writer must give the same bytes.

namespace {

struct TSubdivided
{
    const char* Name;
    TConverterFn Convert;
    int Size;
    bool Points;
};

void PrintTo(const TSubdivided& c, std::ostream* os)
{
    *os << c.Name;
}

// The plain way: one shape per cell, handed to the output as a region or point with the row
// from the column lines.
void ConvertCellByCell(TConvertContext& ctx, const TSubdivided& format)
{
    const std::int64_t s = ReadDefInteger(ctx.ParamLines, 1);
    const std::int64_t b = ReadDefInteger(ctx.ParamLines, 2);
    const std::int64_t k = ReadDefInteger(ctx.ParamLines, 3);
    const int n = format.Size;
    const std::size_t firstValue = n == 10 ? 4 : 3;
    TSFPolygon shape;
    TSFPoint point;
    while (!ctx.Src.Eof()) {
        const std::string_view line = ctx.Src.ReadLineView();
        ctx.Progress.Step();
        if (line.empty() || line[0] != 'M') {
            continue;
        }
        double lat = 0;
        double lon = 0;
        Mesh3Origin(SubStr(line, s, 4, false), SubStr(line, s + 4, 2, false),
                    SubStr(line, s + 6, 2, false), lat, lon);
        for (int row = 0; row < n; ++row) {
            for (int column = 0; column < n; ++column) {
                TSFRow values;
                values.Add(SubStr(line, s, 4, true));
                values.Add(SubStr(line, s + 4, 2, true));
                values.Add(SubStr(line, s + 6, 2, true));
                if (n == 10) {
                    values.Add(std::to_string(row) + std::to_string(column));
                }
                const std::int64_t cell = row * n + column;
                for (std::size_t i = firstValue; i < ctx.ColumnDefLines.size(); ++i) {
                    const std::int64_t start = ReadDefField(ctx.ColumnDefLines, i, 3);
                    const std::int64_t length = ReadDefField(ctx.ColumnDefLines, i, 4);
                    values.Add(SubStr(line, start + cell * k + b, length, true));
                }
                if (format.Points) {
                    (n == 10 ? Mesh3Sub10Center : Mesh3Sub4Center)(column, row, point, lat, lon);
                    ctx.Out.WritePoint(point, values);
                } else {
                    (n == 10 ? Mesh3Sub10ToPolygon : Mesh3Sub4ToPolygon)(column, row, shape, lat,
                                                                         lon);
                    ctx.Out.WriteRegion(shape, values);
                }
            }
        }
    }
}

// Records over the whole range of codes, including signed and blank digit groups that the
// general conversion reads, with value blocks of varying length.
std::string GeneratedSource(int records, unsigned seed)
{
    std::mt19937 random(seed);
    auto digit = [&] { return static_cast<char>('0' + random() % 10); };
    std::string source;
    for (int i = 0; i < records; ++i) {
        std::string code;
        switch (random() % 10) {
        case 0:
            code = std::string("-") + digit() + "+" + digit();
            break;
        case 1:
            code = std::string(" ") + digit() + digit() + " ";
            break;
        default:
            code = std::string() + digit() + digit() + digit() + digit();
            break;
        }
        for (int d = 0; d < 4; ++d) {
            code += digit();
        }
        source += "M  3 " + code;
        const int blocks = static_cast<int>(random() % 120);
        for (int b = 0; b < blocks; ++b) {
            source += static_cast<char>('A' + random() % 26);
            source += random() % 5 == 0 ? ',' : static_cast<char>('a' + random() % 26);
        }
        source += "\r\n";
        if (random() % 50 == 0) {
            source += "H not a record\r\n";
        }
    }
    return source;
}

} // namespace

class MeshSubdivided : public ::testing::TestWithParam<TSubdivided>
{
};

TEST_P(MeshSubdivided, SameBytesAsCellByCellShapes)
{
    const TSubdivided& format = GetParam();
    TMeshJob job;
    job.SetParams({"title", "6", "1", "2"});
    std::vector<std::string> columns = {"A,schar,-,-", "B,schar,-,-", "C,schar,-,-", "E,char,13,1",
                                        "F,char,13,2"};
    if (format.Size == 10) {
        columns.insert(columns.begin() + 3, "CELL,schar,-,-");
    }
    job.SetColumns(columns);
    const std::string source = GeneratedSource(format.Size == 10 ? 2000 : 5000, 20240611U);

    const TMeshRun fast = job.Run(format.Convert, source);
    ASSERT_FALSE(fast.Failed) << fast.Error;

    TMeshJob plain;
    plain.Params = job.Params;
    plain.Columns = job.Columns;
    static const TSubdivided* current = nullptr;
    current = &format;
    const TMeshRun expected =
        plain.Run([](TConvertContext& ctx) { ConvertCellByCell(ctx, *current); }, source);
    ASSERT_FALSE(expected.Failed) << expected.Error;

    ASSERT_EQ(fast.Mif.size(), expected.Mif.size());
    EXPECT_TRUE(fast.Mif == expected.Mif);
    EXPECT_TRUE(fast.Mid == expected.Mid);
    EXPECT_NE(fast.Mif.find(" -"), std::string::npos); // negative latitudes were reached
}

INSTANTIATE_TEST_SUITE_P(Formats, MeshSubdivided,
                         ::testing::Values(TSubdivided{"M3_10", &ConvertM3_10, 10, false},
                                           TSubdivided{"M3_10P", &ConvertM3_10P, 10, true},
                                           TSubdivided{"M3_4", &ConvertM3_4, 4, false},
                                           TSubdivided{"M3_4P", &ConvertM3_4P, 4, true}),
                         [](const auto& info) { return std::string(info.param.Name); });
