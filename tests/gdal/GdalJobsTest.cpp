// GeoPackage and GeoJSON through whole jobs: each kind of item's sample converted to MIF and to
// each format and both read back with GDAL; a batch merged into each format; a job that meets a
// full disk; the command line's --to-crs.
#include <cmath>

#include <gtest/gtest.h>

#include "GdalReadBack.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "batch/BatchRunner.h"
#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "gen/GenProfiles.h"
#include "support/OgrInfo.h"
#include "support/TestSupport.h"

using namespace tolvane::driver;
using namespace tolvane::test;
using tolvane::shapes::TCoordSysIndex;

namespace {

constexpr const char* kShipped = "data/Define";
constexpr const char* kShippedSamples = "data/samples";
constexpr const char* kTest = "tests/data/gen/Define";
constexpr const char* kTestSamples = "tests/data/gen/samples";

struct TItemCase
{
    const char* Name;
    const char* Define;
    const char* Samples;
    const char* Sample;
    int Item;
    TCoordSysIndex CoordSys;
    int Epsg;
    const char* FirstField; ///< the first column's name, as GDAL reads it
    const char* Table;      ///< the suffix of a GeoPackage's table: "_ledger", "_csv"; or nullptr
    std::size_t TableRows;
};

// One item of each geometry kind, and the mesh format that writes a CSV copy. The area sample
// is changed so that one area names only chains that are not in the file: an object without
// geometry.
const TItemCase kItems[] = {
    {"MeshRegion", kShipped, kShippedSamples, "L03-51M-13.txt", 2, 0, 4301, "メッシュコード",
     nullptr, 0},
    {"Point", kShipped, kShippedSamples, "L01-08P-13.txt", 0, 1, 4326, "メッシュコード", nullptr,
     0},
    {"Line", kShipped, kShippedSamples, "C28-59L-48.txt", 8, 2, 4612, "起点メッシュ", nullptr, 0},
    {"AreaWithNone", kTest, kTestSamples, "X05-57A-39.txt", 12, 0, 4301, "メッシュコード",
     "_ledger", 80},
    {"CoordinateCsv", kShipped, kShippedSamples, "L02-24P-2K_13.csv", 1, 2, 4612, "経度", nullptr,
     0},
    {"MeshCsvCopy", kTest, kTestSamples, "S04-13.txt", 6, 0, 4301, "メッシュコード", "_csv", 200},
};

struct TFormatCase
{
    const char* Name;
    const char* Extension;
};

const TFormatCase kFormats[] = {{"GeoPackage", ".gpkg"}, {"GeoJson", ".geojson"}};

// The sample of `c` in `dir`; the area sample's first area loses its chains.
std::filesystem::path PrepareSource(const TItemCase& c, const std::filesystem::path& dir)
{
    std::string bytes = ReadBytes(SourceDir() / c.Samples / c.Sample);
    if (c.Item == 12 && c.Define == kTest) {
        const std::string refs =
            "\r\n493234    -1 0493244    -2 0493244    -4 0493244    -3 0493244     1 0\r\n";
        const std::size_t at = bytes.find(refs);
        EXPECT_NE(at, std::string::npos) << "the sample's first area changed";
        if (at != std::string::npos) {
            bytes.replace(at, refs.size(),
                          "\r\n999999    -1 0999999    -2 0999999    -4 0999999    -3 0999999     "
                          "1 0\r\n");
        }
    }
    const std::filesystem::path source = dir / c.Sample;
    WriteBytes(source, bytes);
    return source;
}

std::size_t CountNoGeometry(const TLayerRead& layer)
{
    std::size_t count = 0;
    for (const auto& geometry : layer.Geometries) {
        count += geometry == nullptr ? 1U : 0U;
    }
    return count;
}

class GdalJobs : public testing::TestWithParam<std::tuple<TFormatCase, TItemCase>>
{
};

TEST_P(GdalJobs, HoldWhatGdalReadsFromTheMifOfTheSameJob)
{
    const auto& [format, c] = GetParam();
    const TTempDir dir;
    const TCatalogue catalogue = LoadCatalogue(SourceDir() / c.Define);
    const std::filesystem::path source = PrepareSource(c, dir.Path());
    TRecordingObserver observer;
    ASSERT_TRUE(ConvertRecorded(catalogue, c.Item, source, dir / "m.mif", c.CoordSys, observer));
    const std::filesystem::path output = dir / (std::string("x") + format.Extension);
    const TJobResult result =
        ConvertRecorded(catalogue, c.Item, source, output, c.CoordSys, observer);
    ASSERT_TRUE(result) << (observer.Failures.empty() ? "" : observer.Failures.back());

    const TLayerRead expected = ReadLayer(dir / "m.mif");
    const TLayerRead actual = ReadLayer(output, "x");
    ExpectSameLayer(expected, actual, true);
    EXPECT_EQ(result.Objects, static_cast<std::int64_t>(actual.Values.size()));
    EXPECT_EQ(actual.Epsg, c.Epsg);
    ASSERT_FALSE(actual.Fields.empty());
    EXPECT_EQ(actual.Fields.front(), c.FirstField);
    if (std::string_view(c.Name) == "AreaWithNone") {
        EXPECT_EQ(CountNoGeometry(expected), 1U);
    }

    // The ledger or CSV copy: a table in the GeoPackage, a UTF-8 CSV beside the GeoJSON file
    // that is the MIF job's CSV decoded.
    std::vector<std::filesystem::path> files{output};
    if (c.Table != nullptr) {
        if (output.extension() == ".gpkg") {
            const TLayerRead table = ReadLayer(output, std::string("x") + c.Table);
            EXPECT_EQ(table.Values.size(), c.TableRows);
        } else {
            EXPECT_EQ(ReadBytes(dir / "x.csv"),
                      tolvane::base::SjisToUtf8(ReadBytes(dir / "m.csv")));
            files.push_back(dir / "x.csv");
        }
    }
    if (std::string_view(c.Table != nullptr ? c.Table : "") == "_ledger") {
        EXPECT_EQ(result.LedgerRows, static_cast<std::int64_t>(c.TableRows));
    }
    EXPECT_EQ(result.Files, files);
}

INSTANTIATE_TEST_SUITE_P(Samples, GdalJobs,
                         testing::Combine(testing::ValuesIn(kFormats), testing::ValuesIn(kItems)),
                         [](const testing::TestParamInfo<GdalJobs::ParamType>& info) {
                             return std::string(std::get<0>(info.param).Name) + "_" +
                                    std::get<1>(info.param).Name;
                         });

// Rows' objects and ledgers, one file after the other.
TLayerRead Joined(TLayerRead first, TLayerRead second)
{
    for (std::size_t i = 0; i < second.Values.size(); ++i) {
        first.Values.push_back(std::move(second.Values[i]));
        first.Geometries.push_back(std::move(second.Geometries[i]));
    }
    return first;
}

class GdalMerge : public testing::TestWithParam<TFormatCase>
{
};

TEST_P(GdalMerge, JoinsTheRowsObjectsAndLedgersInRowOrder)
{
    const TFormatCase& format = GetParam();
    const std::string ext = format.Extension;
    const TTempDir dir;
    const TCatalogue catalogue = LoadCatalogue(SourceDir() / kTest);
    constexpr int kArea = 12;
    const std::filesystem::path first = SourceDir() / kTestSamples / "X05-57A-39.txt";
    const tolvane::gen::TGenProfile* profile =
        tolvane::gen::FindProfileForItem(catalogue.Item(kArea));
    ASSERT_NE(profile, nullptr);
    tolvane::gen::TGenRequest request = tolvane::gen::SampleRequest(*profile);
    request.Seed = 7;
    const std::filesystem::path second = dir / "X05-57A-40.txt";
    tolvane::gen::GenerateFile(*profile, request, second);

    tolvane::batch::TBatchList list;
    for (const auto& [source, name] : {std::pair{first, "a"}, std::pair{second, "b"}}) {
        tolvane::batch::TBatchEntry entry;
        entry.ItemIndex = kArea;
        entry.SrcFile = source.string();
        entry.DstFile = (dir / (name + ext)).string();
        list.Entries.push_back(entry);
    }
    list.Combine = true;
    // The clash checks know the new files: a merged GeoPackage that is a row's output, a merged
    // GeoJSON file whose ledger CSV is a row's.
    list.CombineFile = (dir / (ext == ".gpkg" ? "a.gpkg" : "a.json")).string();
    EXPECT_EQ(tolvane::batch::CheckBatchRun(catalogue, list),
              std::string(tolvane::base::kMsgCombineFileIsInput));
    list.CombineFile = (dir / "all.mif").string();
    EXPECT_NE(tolvane::batch::CheckBatchRun(catalogue, list), std::nullopt) << "formats differ";
    list.CombineFile = (dir / ("all" + ext)).string();
    ASSERT_EQ(tolvane::batch::CheckBatchRun(catalogue, list), std::nullopt);

    tolvane::batch::TBatchObserver observer;
    tolvane::batch::RunBatch(catalogue, list, observer, 2);
    for (const auto& entry : list.Entries) {
        ASSERT_EQ(entry.Status, tolvane::batch::TEntryStatus::Converted) << entry.FailReason;
    }
    TLayerRead a = ReadLayer(dir / ("a" + ext), "a");
    TLayerRead b = ReadLayer(dir / ("b" + ext), "b");
    ASSERT_FALSE(a.Values.empty());
    ASSERT_FALSE(b.Values.empty());
    const TLayerRead merged = ReadLayer(dir / ("all" + ext), "all");
    ExpectSameLayer(Joined(std::move(a), std::move(b)), merged, true);
    EXPECT_EQ(merged.Epsg, 4301);
    if (ext == ".gpkg") {
        const TLayerRead ledger = ReadLayer(dir / "all.gpkg", "all_ledger");
        ExpectSameLayer(
            Joined(ReadLayer(dir / "a.gpkg", "a_ledger"), ReadLayer(dir / "b.gpkg", "b_ledger")),
            ledger, true);
        EXPECT_EQ(ledger.Values.size(), 160U);
    } else {
        const std::string rows = ReadBytes(dir / "b.csv");
        EXPECT_EQ(ReadBytes(dir / "all.csv"),
                  ReadBytes(dir / "a.csv") + rows.substr(rows.find('\n') + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, GdalMerge, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<TFormatCase>& info) {
                             return std::string(info.param.Name);
                         });

class GdalJobFailure : public testing::TestWithParam<TFormatCase>
{
};

TEST_P(GdalJobFailure, FullDiskFailsTheJobAndLeavesTheEarlierFile)
{
    const TTempDir dir;
    const TCatalogue catalogue = LoadCatalogue(SourceDir() / kShipped);
    const std::filesystem::path source = SourceDir() / kShippedSamples / "L03-18M-13-jgd.dat";
    const std::filesystem::path output = dir / (std::string("x") + GetParam().Extension);
    WriteBytes(output, "earlier");
    TJobResult result;
    {
        const TFileSizeLimit limit(256 * 1024);
        TRecordingObserver observer;
        result = ConvertDataItem(catalogue, 4, source, output, 2, observer);
    }
    ASSERT_FALSE(result.Succeeded);
    ASSERT_TRUE(result.Failure.has_value());
    EXPECT_EQ(result.Failure->FileName(), source.string());
    EXPECT_NE(result.Failure->Text().find(output.string()), std::string::npos)
        << result.Failure->Text();
    EXPECT_EQ(result.Failure->Text().find(".tmp"), std::string::npos) << result.Failure->Text();
    // GDAL's message, short enough to read (it may quote megabytes of SQL).
    EXPECT_LT(result.Failure->Text().size(), 700U) << result.Failure->Text();
    EXPECT_TRUE(result.Files.empty());
    EXPECT_EQ(ReadBytes(output), "earlier");
    std::vector<std::string> left;
    for (const auto& file : std::filesystem::directory_iterator(dir.Path())) {
        left.push_back(file.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{output.filename().string()});
}

INSTANTIATE_TEST_SUITE_P(Formats, GdalJobFailure, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<TFormatCase>& info) {
                             return std::string(info.param.Name);
                         });

// --to-crs moves every coordinate as PROJ does, and says which transformation it used.
TEST(GdalJobs, ToCrsReprojectsAndNamesTheTransformation)
{
    const TTempDir dir;
    const std::string cli = "LC_ALL=C '" + (BinDir() / "tolvane-cli").string() +
                            "' convert --item 0 '" +
                            (SourceDir() / kShippedSamples / "L01-08P-13.txt").string() + "' ";
    const TShellResult plain = Shell(cli + "'" + (dir / "tokyo.gpkg").string() + "' 2>&1");
    ASSERT_EQ(plain.Status, 0) << plain.Output;
    const TShellResult moved =
        Shell(cli + "--to-crs EPSG:4612 '" + (dir / "jgd.gpkg").string() + "' 2>&1");
    ASSERT_EQ(moved.Status, 0) << moved.Output;
    EXPECT_NE(moved.Output.find("Transformation: Tokyo to JGD2000 (1) (EPSG:15483), accuracy "),
              std::string::npos)
        << moved.Output;
    EXPECT_NE(moved.Output.find(" m (EPSG:4301 to EPSG:4612)"), std::string::npos) << moved.Output;

    const TLayerRead tokyo = ReadLayer(dir / "tokyo.gpkg");
    const TLayerRead jgd = ReadLayer(dir / "jgd.gpkg");
    EXPECT_EQ(tokyo.Epsg, 4301);
    EXPECT_EQ(jgd.Epsg, 4612);
    ASSERT_EQ(jgd.Values, tokyo.Values);
    const auto* from = dynamic_cast<const OGRPoint*>(tokyo.Geometries.front().get());
    const auto* to = dynamic_cast<const OGRPoint*>(jgd.Geometries.front().get());
    ASSERT_TRUE(from != nullptr && to != nullptr);
    // Tokyo datum to JGD2000 near Tokyo: some 460 m (about 12 seconds of arc westward and north).
    const double metresPerDegree = 111'320.0;
    const double dx =
        (to->getX() - from->getX()) * metresPerDegree * std::cos(from->getY() * M_PI / 180);
    const double dy = (to->getY() - from->getY()) * metresPerDegree;
    const double distance = std::hypot(dx, dy);
    EXPECT_GT(distance, 350.0);
    EXPECT_LT(distance, 550.0);

    const TShellResult mif =
        Shell(cli + "--to-crs EPSG:4612 '" + (dir / "x.mif").string() + "' 2>&1");
    EXPECT_EQ(mif.Status, 2) << mif.Output;
    EXPECT_NE(mif.Output.find("only into GeoPackage (.gpkg) and GeoJSON"), std::string::npos)
        << mif.Output;
    EXPECT_FALSE(std::filesystem::exists(dir / "x.mif"));
}

} // namespace
