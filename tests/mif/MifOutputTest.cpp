// The outputs: grid cells as their shapes, and tables as CSV.
#include "mif/MifOutput.h"

#include <random>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/OutputFiles.h"
#include "support/TestSupport.h"

using namespace tolvane::mif;
using namespace tolvane::shapes;
using tolvane::base::TFileError;
using tolvane::base::TOnFailure;
using tolvane::base::TOutputFiles;
using tolvane::test::ReadBytes;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

// An output that takes the interface's own way for grid cells: each cell's shape, written by
// the MIF output's plain calls.
class TPlainGridOutput : public TFeatureOutput
{
public:
    explicit TPlainGridOutput(TMifOutput& out) : m_out(out) {}
    void Begin(const TSFColumns& columns) override { m_out.Begin(columns); }
    void WritePoint(const TSFPoint& point, const TSFRow& row) override
    {
        m_out.WritePoint(point, row);
    }
    void WriteRegion(TSFPolygon& shape, const TSFRow& row) override
    {
        m_out.WriteRegion(shape, row);
    }
    void WritePLine(const TSFPolyLine& shape, const TSFRow& row) override
    {
        m_out.WritePLine(shape, row);
    }
    void WriteNone(const TSFRow& row) override { m_out.WriteNone(row); }
    void Finish() override { m_out.Finish(); }

private:
    TMifOutput& m_out;
};

// Grids of random closed rings, some clockwise and some not, some with repeated values, and
// centres.
void WriteGrids(TFeatureOutput& out, bool centres)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(120.0, 150.0);
    TSFGrid grid;
    TSFRow row;
    for (int record = 0; record < 20; ++record) {
        grid.N = record % 2 == 0 ? 10 : 4;
        grid.Centres = centres;
        for (std::size_t i = 0; i < TSFGrid::kMaxCells; ++i) {
            for (std::size_t v = 0; v + 1 < TSFGrid::kRingPoints; ++v) {
                grid.X[i][v] = v > 0 && random() % 3 == 0 ? grid.X[i][v - 1] : value(random);
                grid.Y[i][v] = value(random);
            }
            grid.X[i].back() = grid.X[i].front();
            grid.Y[i].back() = grid.Y[i].front();
            grid.CenterX[i] = value(random);
            grid.CenterY[i] = value(random);
        }
        out.BeginGrid(grid);
        for (std::int32_t r = 0; r < grid.N; ++r) {
            for (std::int32_t c = 0; c < grid.N; ++c) {
                row.Clear();
                row.Add(std::to_string(r * 10 + c));
                out.WriteGridCell(r, c, row);
            }
        }
    }
}

} // namespace

TEST(TMifOutput, GridCellsAreByteForByteTheirShapes)
{
    for (const bool centres : {false, true}) {
        SCOPED_TRACE(centres ? "centres" : "regions");
        TTempDir dir;
        {
            TMifOutput fast(dir / "fast.mif", dir / "fast.mid", 0);
            WriteGrids(fast, centres);
            fast.Finish();
            TMifOutput plain(dir / "plain.mif", dir / "plain.mid", 0);
            TPlainGridOutput shapes(plain);
            WriteGrids(shapes, centres);
            shapes.Finish();
        }
        const std::string fast = ReadBytes(dir / "fast.mif");
        EXPECT_GT(fast.size(), 1000U);
        EXPECT_EQ(fast, ReadBytes(dir / "plain.mif"));
        EXPECT_EQ(ReadBytes(dir / "fast.mid"), ReadBytes(dir / "plain.mid"));
    }
}

TEST(TCsvOutput, QuotedValuesRawTextAndCrLf)
{
    TTempDir dir;
    TCsvOutput csv(dir / "out.csv");
    TSFRow row;
    row.Add("名前");
    row.Add("say \"hi\"");
    csv.WriteHeader(row);
    row.Clear();
    row.Add("");
    row.AddRaw("a,\"b\"");
    csv.WriteRow(row);
    csv.Finish();
    EXPECT_EQ(ReadBytes(dir / "out.csv"), "\"名前\",\"say \"\"hi\"\"\"\r\n\"\",a,\"b\"\r\n");
}

// Written through the job's output files, as the driver writes a converter's CSV copy: the
// earlier file stays until the output is put in place, and no temporary file outlives it.
TEST(TCsvOutput, ThroughOutputFilesKeepsTheEarlierFileUntilPlaced)
{
    TTempDir dir;
    WriteBytes(dir / "out.csv", "earlier");
    TSFRow row;
    row.Add("new");
    {
        TOutputFiles outputs({{dir / "out.csv", TOnFailure::Drop}});
        TCsvOutput abandoned(outputs.WritePath(0));
        abandoned.WriteRow(row);
        abandoned.Finish();
        outputs.Place(false);
    }
    EXPECT_EQ(ReadBytes(dir / "out.csv"), "earlier");
    {
        TOutputFiles outputs({{dir / "out.csv", TOnFailure::Drop}});
        TCsvOutput finished(outputs.WritePath(0));
        finished.WriteRow(row);
        finished.Finish();
        EXPECT_EQ(ReadBytes(dir / "out.csv"), "earlier");
        outputs.Place(true);
    }
    EXPECT_EQ(ReadBytes(dir / "out.csv"), "\"new\"\r\n");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 1U);
    EXPECT_THROW(TOutputFiles({{dir / "missing" / "out.csv", TOnFailure::Drop}}), TFileError);
}
