// The point, line, surface, area and coordinate CSV converters on small sources: failures and
// their places, progress, and the dispatch rows. Whole outputs are pinned by the golden files
// under tests/data/vector.
#include <gtest/gtest.h>

#include "base/AppError.h"
#include "ksj/AreaConverters.h"
#include "ksj/CsvConverters.h"
#include "ksj/KsjTestLines.h"
#include "ksj/LineConverter.h"
#include "ksj/PointConverters.h"
#include "mif/MifOutput.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using namespace tolvane::ksj;
using namespace tolvane::test;

namespace {

struct TResult
{
    std::string Mif; ///< the objects (the driver writes the header)
    std::string Mid;
    std::string Error;          ///< text of the failure, if any
    std::int64_t ErrorLine = 0; ///< where it is reported, as the driver would
    std::int64_t Progress = 0;
    int Pumps = 0;
};

TResult RunConverter(TConverterFn convert, const std::vector<std::string>& source,
                     const std::vector<std::string>& columns = {}, bool closedOnly = false)
{
    TTempDir dir;
    WriteBytes(dir / "src.txt", CrLf(source));
    const TDefLines columnDefs{"col.txt", columns};
    const TDefLines params;
    TRecordingObserver observer;
    TProgress progress(observer);
    TResult result;
    {
        TSjisLineReader src(dir / "src.txt");
        tolvane::mif::TMifOutput out(dir / "o.mif", dir / "o.mid", 0);
        TConvertContext ctx{src, out, columnDefs, params, progress, dir.Path(), closedOnly, {}};
        try {
            convert(ctx);
        } catch (const TAppError& e) {
            result.Error = e.Text();
            result.ErrorLine = e.HasPlace() ? e.LineNo() : src.LineNo();
        }
        out.Finish();
    }
    result.Mif = ReadBytes(dir / "o.mif");
    result.Mid = ReadBytes(dir / "o.mid");
    result.Progress = progress.Position();
    result.Pumps = observer.EventPumps;
    return result;
}

std::size_t RowCount(const std::string& text)
{
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
        ++n;
    }
    return n;
}

std::string Point(const std::string& x, const std::string& y)
{
    return "P  533945" + Right(x, 8) + Right(y, 8);
}

const std::vector<std::string> kSquare = Chain(1, 1, {{5022000, 1278000}, {5022360, 1278000}}) +
                                         Chain(1, 2, {{5022360, 1278000}, {5022000, 1278000}});

} // namespace

TEST(VectorConverters, FailuresStopAfterTheEarlierRecordsWithTheirPlace)
{
    std::vector<std::string> strippedChain = Chain(1, 1,
                                                   {{5022000, 1278000},
                                                    {5022360, 1278000},
                                                    {5022000, 1278360},
                                                    {5022360, 1278360},
                                                    {5022000, 1278000},
                                                    {5023000, 1279000},
                                                    {5024000, 1280000}});
    strippedChain[1].replace(72, 8, "1278"); // left-aligned, its trailing blanks stripped
    std::string badKey2 = ChainHeader(1, 1, "0");
    badKey2.replace(27, 6, "  x  1");
    struct TCase
    {
        const char* Name;
        TConverterFn Convert;
        std::vector<std::string> Source;
        std::string Error;
        std::int64_t Line;
        std::size_t Rows; // written before the failure
        std::vector<std::string> Columns = {"K,char,1,3"};
    };
    const TCase cases[] = {
        {"point letters",
         &ConvertPoint,
         {Point("5022000", "1278000"), Point("50a2000", "1278000")},
         "'50a2000' は浮動小数点数ではありません",
         2,
         1},
        {"count with a trailing blank", &ConvertLine,
         kSquare + std::vector<std::string>{ChainHeader(1, 3, "2 ")},
         "'    2 ' は整数ではありません", 5, 2},
        {"negative count",
         &ConvertLine,
         {ChainHeader(1, 3, "-2")},
         "'    -2' は正しい個数ではありません",
         1,
         0},
        {"stripped coordinate line", &ConvertLine, strippedChain,
         "'1278 502' は浮動小数点数ではありません", 1, 0},
        {"file ends inside a chain",
         &ConvertLine,
         {ChainHeader(1, 1, "6"), std::string(80, '1')},
         "'' は浮動小数点数ではありません",
         1,
         0},
        {"blank third reference field", &ConvertArea,
         kSquare + Feature('A', 46, {Ref(1, 1)}) + Feature('A', 46, {Ref(1, 1), Ref(1, 2, "  ")}),
         "'' は整数ではありません", 8, 1},
        {"bad chain key before any feature", &ConvertArea,
         Feature('A', 46, {Ref(1, 1)}) + std::vector<std::string>{badKey2},
         "'  x  1' は整数ではありません", 3, 0},
        // Chains are decoded when named: the bad point of chain (1, 4) goes unnoticed.
        {"bad point of a named chain", &ConvertArea,
         kSquare + Feature('A', 46, {Ref(1, 2)}) + Feature('A', 46, {Ref(1, 3)}) +
             std::vector<std::string>{ChainHeader(1, 4, "1"), "xxxxxxxxxxxxxxxx",
                                      ChainHeader(1, 3, "1"), "   -      1"},
         "'-' は浮動小数点数ではありません", 11, 1},
        {"negative reference count",
         &ConvertSurface,
         {"S" + std::string(46, ' ') + "    -1"},
         "'    -1' は正しい個数ではありません",
         1,
         0},
        {"blank csv line",
         &ConvertPointCsv,
         {"name,x,y", "a,502200,127800", "", "b,502200,127800"},
         "'' は浮動小数点数ではありません",
         3,
         1},
        {"blank inside an unquoted csv field",
         &ConvertPointCsv,
         {"name,x,y", "New York,502200,127800"},
         "'York' は浮動小数点数ではありません",
         2,
         0},
        // The line becomes the MID row: one with fewer fields than the columns no reader takes.
        // A comma inside quotes separates nothing.
        {"csv line with fewer fields than columns",
         &ConvertPointCsv2,
         {"x,y,name", "502200,127800,\"a,b\"", "502200,127800", "502200,127800,c"},
         "この行のフィールドは 2 個で、列定義の 3 列に足りません",
         3,
         1,
         {"X,float,1,1", "Y,float,1,1", "NAME,char,1,1"}},
        {"csv line whose third field is quoted commas",
         &ConvertPointCsv2,
         {"x,y,name,note", "502200,127800,\"a,b,c\""},
         "この行のフィールドは 3 個で、列定義の 4 列に足りません",
         2,
         0,
         {"X,float,1,1", "Y,float,1,1", "NAME,char,1,1", "NOTE,char,1,1"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TResult result = RunConverter(c.Convert, c.Source, c.Columns);
        EXPECT_EQ(result.Error, c.Error);
        EXPECT_EQ(result.ErrorLine, c.Line);
        EXPECT_EQ(RowCount(result.Mid), c.Rows);
    }
}

TEST(VectorConverters, ProgressCountsEveryLineAndPumpsOnlyBetweenRecords)
{
    // The 10000th line is the second coordinate line of a chain: no pump there.
    std::vector<std::string> source(9998, "junk");
    TPts ten(10, {5022000, 1278000});
    source = source + Chain(1, 1, ten) + std::vector<std::string>(10, "junk");
    const TResult line = RunConverter(&ConvertLine, source);
    EXPECT_EQ(line.Error, "");
    EXPECT_EQ(line.Progress, 10011);
    EXPECT_EQ(line.Pumps, 0);

    source.insert(source.begin(), "junk");
    EXPECT_EQ(RunConverter(&ConvertLine, source).Pumps, 1);

    // Chains are read first without progress; only the feature pass counts.
    const std::vector<std::string> area = kSquare + Feature('A', 46, {Ref(1, 1), Ref(1, 2)});
    const TResult areaResult = RunConverter(&ConvertArea, area);
    EXPECT_EQ(areaResult.Progress, static_cast<std::int64_t>(area.size()));
    EXPECT_EQ(areaResult.Mid, "\r\n");

    // Coordinate lists process no window events at all.
    std::vector<std::string> csv(10001, "a,502200,127800");
    const TResult csvResult = RunConverter(&ConvertPointCsv, csv);
    EXPECT_EQ(csvResult.Progress, 10001);
    EXPECT_EQ(csvResult.Pumps, 0);
    EXPECT_EQ(RowCount(csvResult.Mid), 10000U);
}

TEST(VectorConverters, OutlinesFarBeyondTheFilesPointsAreRefused)
{
    // 1100 references to one chain of 1000 points ask for 1.1 million points from a file of
    // 1000: beyond twice the file's points and beyond the floor of 2^20.
    const std::vector<std::string> chain = Chain(1, 1, TPts(1000, {5022000, 1278000}));
    for (const auto& [letter, countStart] : {std::pair{'A', 46}, std::pair{'S', 48}}) {
        SCOPED_TRACE(letter);
        const TResult few = RunConverter(
            letter == 'A' ? &ConvertArea : &ConvertSurface,
            chain + Feature(letter, countStart, std::vector<std::string>(500, Ref(1, 1))));
        EXPECT_EQ(few.Error, "");
        const TResult many = RunConverter(
            letter == 'A' ? &ConvertArea : &ConvertSurface,
            chain + Feature(letter, countStart, std::vector<std::string>(1100, Ref(1, 1))));
        EXPECT_EQ(many.Error, "図形の点が 1048576 個を超えています");
        EXPECT_EQ(many.Mid, "");
    }
}

TEST(VectorConverters, EmptyAndHeaderOnlySourcesWriteNothing)
{
    for (TConverterFn convert : {&ConvertPoint, &ConvertNode, &ConvertLine, &ConvertSurface,
                                 &ConvertArea, &ConvertPointCsv, &ConvertPointCsv2}) {
        for (const auto& source :
             {std::vector<std::string>{}, std::vector<std::string>{"name,x,y"}}) {
            const TResult result = RunConverter(convert, source, {"K,char,1,3"});
            EXPECT_EQ(result.Error, "");
            EXPECT_EQ(result.Mif + result.Mid, "");
        }
    }
    // Without columns every object still gets its row, empty.
    EXPECT_EQ(RunConverter(&ConvertPoint, {Point("5022000", "1278000")}).Mid, "\r\n");
}
