// The GDAL outputs against the MIF output: the same calls on both, both read back with GDAL.
#include "gdal/GdalOutput.h"

#include <gtest/gtest.h>

#include "GdalReadBack.h"
#include "base/AppError.h"
#include "gdal/Utf8CsvOutput.h"
#include "mif/MifOutput.h"
#include "support/TestSupport.h"

using namespace tolvane::gdal;
using namespace tolvane::shapes;
using tolvane::base::TFileError;
using tolvane::test::ExpectSameLayer;
using tolvane::test::LayerNames;
using tolvane::test::QueryText;
using tolvane::test::ReadBytes;
using tolvane::test::ReadLayer;
using tolvane::test::Sjis;
using tolvane::test::TFileSizeLimit;
using tolvane::test::TLayerRead;
using tolvane::test::TTempDir;

namespace {

TSFColumns Columns(std::initializer_list<std::pair<std::string_view, TColType>> columns)
{
    TSFColumns result;
    for (const auto& [name, type] : columns) {
        result.push_back(TSFColumn{Sjis(name), type, 20});
    }
    return result;
}

TSFRow Row(std::initializer_list<std::string_view> values)
{
    TSFRow row;
    for (const std::string_view value : values) {
        row.Add(Sjis(value));
    }
    return row;
}

TSFRow RawRow(std::string_view text)
{
    TSFRow row;
    row.AddRaw(Sjis(text));
    return row;
}

template <class TShape>
TShape Shape(std::vector<TSFPoint> points, std::vector<std::int32_t> parts = {0})
{
    TShape shape;
    shape.Points = std::move(points);
    shape.NumPoints = static_cast<std::int32_t>(shape.Points.size());
    shape.Parts = std::move(parts);
    shape.NumParts = static_cast<std::int32_t>(shape.Parts.size());
    CalcBounds(shape);
    return shape;
}

// Third-level mesh cells divided 3 × 3, counter-clockwise rings (reversed by the writers) in the
// first record and clockwise ones in the second; coordinates that eight decimals round.
void FeedMesh(TFeatureOutput& out)
{
    out.Begin(Columns({{"メッシュコード", TColType::Char},
                       {"土地利用", TColType::Char},
                       {"面積", TColType::Integer}}));
    TSFGrid grid;
    grid.N = 3;
    const double dx = 45.0 / 3600 / 3;
    const double dy = 30.0 / 3600 / 3;
    for (int record = 0; record < 2; ++record) {
        const double x0 = 139.7 + record * 45.0 / 3600;
        const double y0 = 35.0 + 2.0 / 3;
        for (std::size_t i = 0; i < 3; ++i) {
            const double xa = x0 + static_cast<double>(i) * dx;
            const double xb = xa + dx;
            const double ya = y0 + static_cast<double>(i) * dy;
            const double yb = ya + dy;
            grid.X[i] = record == 0 ? TSFGrid::TRing{xa, xb, xb, xa, xa}
                                    : TSFGrid::TRing{xa, xa, xb, xb, xa};
            grid.Y[i] = TSFGrid::TRing{ya, ya, yb, yb, ya};
        }
        out.BeginGrid(grid);
        for (std::int32_t r = 0; r < 3; ++r) {
            for (std::int32_t c = 0; c < 3; ++c) {
                const std::string code = "5339456" + std::to_string(record);
                const std::string use = "0" + std::to_string(r * 3 + c);
                out.WriteGridCell(r, c, Row({code, use, std::to_string(100 * r + c)}));
            }
        }
    }
}

// Points whose rows hold every column type, with the values GDAL's MapInfo reader reads in its
// own way, and the centres of a grid.
void FeedPoints(TFeatureOutput& out)
{
    out.Begin(Columns({{"名称", TColType::Char},
                       {"価格", TColType::Integer},
                       {"面積", TColType::Float},
                       {"調査日", TColType::Date},
                       {"確認日", TColType::Date},
                       {"公示", TColType::Logical},
                       {"code", TColType::Char},
                       {"CODE", TColType::Char},
                       {"あいうえおかきくけこさしすせそたちつてと", TColType::Char}}));
    const std::vector<TSFRow> rows{
        Row({"東京都千代田区丸の内一丁目", "12", "1.5", "19840101", "20000507", "T", "0012", "a,b",
             "x"}),
        Row({"He said \"hi\"", "12abc", "1.5e3", "19840231", "1984/1/1", "F", "", "", ""}),
        Row({" spaced ", "  42 ", " 2.5 ", "1984-01-01", "", "", "\"q\"", "ｱｲｳ", "x"}),
        Row({"", "abc", "abc", "", "00000101", "1", "", "", ""}),
        Row({"x", "99999999999", "-0.5", "20201231", "abcdefgh", "t", "", "", ""}),
        Row({"x", "", "", "+2001231", "2001 2 3", "", "", "", ""}),
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out.WritePoint(TSFPoint{139.123456789 + static_cast<double>(i) / 3, 35.6 + 1e-9}, rows[i]);
    }
    TSFGrid grid;
    grid.N = 2;
    grid.Centres = true;
    grid.CenterX = {140.0 / 3, 141.0 / 3};
    grid.CenterY = {35.0 / 3, 36.0 / 3};
    out.BeginGrid(grid);
    out.WriteGridCell(0, 1, Row({"中心", "1", "2", "20240229", "", "T", "", "", ""}));
    out.WriteGridCell(1, 0, Row({"中心", "2", "3", "", "", "F", "", "", ""}));
}

// Polylines of one and two sections, and one of a single point (no geometry).
void FeedLines(TFeatureOutput& out)
{
    out.Begin(Columns({{"起点ノード番号", TColType::Integer},
                       {"リンク属性番号", TColType::Char},
                       {"構成点数", TColType::Integer}}));
    out.WritePLine(Shape<TSFPolyLine>(
                       {{139.7, 35.6}, {139.71, 35.61}, {139.72, 35.6}, {139.7 + 1.0 / 3, 35.7}}),
                   Row({"1", "河川", "4"}));
    out.WritePLine(
        Shape<TSFPolyLine>(
            {{139.0, 35.0}, {139.1, 35.1}, {139.2, 35.0}, {140.0, 36.0}, {140.1, 36.2}}, {0, 3}),
        Row({"2", "道路", "5"}));
    out.WritePLine(Shape<TSFPolyLine>({{139.0, 35.0}}), Row({"3", "点", "1"}));
}

// Regions: one ring counter-clockwise and open, two points, an object without geometry, an outer
// ring with a hole, two separate rings, a single point; fields named like GeoPackage's columns.
void FeedAreas(TFeatureOutput& out)
{
    out.Begin(Columns({{"行政コード", TColType::Char},
                       {"名称", TColType::Char},
                       {"fid", TColType::Integer},
                       {"geom", TColType::Char},
                       {"面積", TColType::Float}}));
    TSFPolygon ring =
        Shape<TSFPolygon>({{139.0, 35.0}, {139.5, 35.0}, {139.5, 35.5}, {139.0, 35.5}});
    out.WriteRegion(ring, Row({"13101", "千代田区", "7", "a", "11.66"}));
    TSFPolygon two = Shape<TSFPolygon>({{139.0, 35.0}, {139.5, 35.5}});
    out.WriteRegion(two, Row({"13102", "中央区", "8", "b", "10.21"}));
    out.WriteNone(Row({"13103", "港区", "9", "c", "20.37"}));
    TSFPolygon holed = Shape<TSFPolygon>({{139.0, 35.0},
                                          {139.0, 36.0},
                                          {140.0, 36.0},
                                          {140.0, 35.0},
                                          {139.0, 35.0},
                                          {139.2, 35.2},
                                          {139.4, 35.2},
                                          {139.4, 35.4},
                                          {139.2, 35.2}},
                                         {0, 5});
    out.WriteRegion(holed, Row({"13104", "新宿区", "10", "d", "18.22"}));
    TSFPolygon apart = Shape<TSFPolygon>({{139.0, 35.0},
                                          {139.0, 35.1},
                                          {139.1, 35.1},
                                          {139.1, 35.0},
                                          {141.0, 36.0},
                                          {141.0, 36.1},
                                          {141.1, 36.1}},
                                         {0, 4});
    out.WriteRegion(apart, Row({"13105", "文京区", "11", "e", "11.29"}));
    TSFPolygon point = Shape<TSFPolygon>({{139.0, 35.0}});
    out.WriteRegion(point, Row({"13106", "台東区", "12", "f", "10.11"}));
}

// A coordinate list: rows of raw text standing for several columns, quoted in several ways, one
// with a value too many, and a plain row.
void FeedCsv(TFeatureOutput& out)
{
    out.Begin(Columns({{"経度", TColType::Float},
                       {"緯度", TColType::Float},
                       {"所在地コード", TColType::Char},
                       {"名称", TColType::Char},
                       {"連番", TColType::Integer}}));
    out.WritePoint({139.7, 35.6}, RawRow("502920.0,128160.0,\"0012\",\"東京,駅\",5"));
    out.WritePoint({139.8, 35.7}, RawRow("1,2,00130,\"ab\"cd,7,surplus"));
    out.WritePoint({139.9, 35.8}, RawRow("3,4,x\"y\",東京\"駅\",8"));
    out.WritePoint({140.0, 35.9}, RawRow("5,6,\"He said \"\"hi\"\"\",,"));
    out.WritePoint({140.1, 36.0}, Row({"5", "6", "0014", "名前", "9"}));
}

struct TScenario
{
    const char* Name;
    void (*Feed)(TFeatureOutput&);
    TCoordSysIndex CoordSys;
    int Epsg; ///< the layer's EPSG code; 0 for no CRS
    std::size_t Count;
    std::string_view Field; ///< a field, and its value in the first feature
    std::string_view Value;
};

const TScenario kScenarios[] = {
    {"Mesh", FeedMesh, 0, 4301, 18, "メッシュコード", "53394560"},
    {"Points", FeedPoints, 1, 4326, 8, "名称", "東京都千代田区丸の内一丁目"},
    {"Lines", FeedLines, 2, 4612, 3, "リンク属性番号", "河川"},
    {"Areas", FeedAreas, 0, 4301, 6, "名称", "千代田区"},
    {"Csv", FeedCsv, 7, 0, 5, "名称", "東京,駅"},
};

const char* Extension(TGdalFormat format)
{
    return format == TGdalFormat::GeoPackage ? ".gpkg" : ".geojson";
}

const char* FormatName(TGdalFormat format)
{
    return format == TGdalFormat::GeoPackage ? "GeoPackage" : "GeoJson";
}

class GdalReadBack : public testing::TestWithParam<std::tuple<TGdalFormat, TScenario>>
{
};

TEST_P(GdalReadBack, HoldsWhatGdalReadsFromTheMif)
{
    const auto& [format, scenario] = GetParam();
    const TTempDir dir;
    {
        tolvane::mif::TMifOutput mif(dir / "out.mif", dir / "out.mid", scenario.CoordSys);
        scenario.Feed(mif);
        mif.Finish();
    }
    const std::string layer = "土地利用";
    const auto path = dir / (layer + Extension(format));
    {
        TGdalDataset dataset(format, path);
        const auto out = dataset.CreateFeatureOutput({layer, scenario.CoordSys, "", 0});
        scenario.Feed(*out);
        out->Finish();
        dataset.Finish();
    }
    const TLayerRead expected = ReadLayer(dir / "out.mif");
    const TLayerRead actual = ReadLayer(path);
    ASSERT_EQ(expected.Values.size(), scenario.Count) << "GDAL stopped reading the MIF";
    ExpectSameLayer(expected, actual, true);
    EXPECT_EQ(actual.Name, layer);
    if (scenario.Epsg != 0) {
        EXPECT_EQ(actual.Epsg, scenario.Epsg);
    } else if (format == TGdalFormat::GeoPackage) {
        // GeoPackage's own "no CRS" for longitude and latitude (srs_id 0).
        EXPECT_EQ(actual.Epsg, 0);
        EXPECT_EQ(actual.SrsName, "Undefined geographic SRS");
    } else {
        // GeoJSON cannot say so: no "crs" member (GDAL then reads WGS84, as it reads one of null).
        EXPECT_EQ(ReadBytes(path).find("\"crs\""), std::string::npos);
    }
    const auto field = std::find(actual.Fields.begin(), actual.Fields.end(), scenario.Field);
    ASSERT_NE(field, actual.Fields.end()) << scenario.Field;
    EXPECT_EQ(actual.Values[0][static_cast<std::size_t>(field - actual.Fields.begin())],
              scenario.Value);
}

INSTANTIATE_TEST_SUITE_P(Items, GdalReadBack,
                         testing::Combine(testing::Values(TGdalFormat::GeoPackage,
                                                          TGdalFormat::GeoJson),
                                          testing::ValuesIn(kScenarios)),
                         [](const testing::TestParamInfo<GdalReadBack::ParamType>& info) {
                             return std::string(FormatName(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param).Name;
                         });

TEST(GdalOutput, RowsShortOfColumnsGiveNullsAndNamesAreMadeUnique)
{
    // GDAL's MapInfo reader stops at such a row and keeps repeated Japanese names, which a
    // GeoPackage refuses; a nameless column makes the MIF unreadable.
    const TTempDir dir;
    const auto path = dir / "x.gpkg";
    {
        TGdalDataset dataset(TGdalFormat::GeoPackage, path);
        const auto out = dataset.CreateFeatureOutput({"x", 0, "", 0});
        out->Begin(Columns({{"名称", TColType::Char},
                            {"名称", TColType::Integer},
                            {"", TColType::Date},
                            {"GEOM", TColType::Char}}));
        out->WritePoint({139.0, 35.0}, RawRow("a,1"));
        out->WritePoint({139.0, 35.0}, Row({}));
        out->WritePoint({139.0, 35.0}, Row({"b", "2", "1984-1-1", "g"}));
        out->Finish();
        dataset.Finish();
    }
    const TLayerRead read = ReadLayer(path);
    EXPECT_EQ(read.Fields, (std::vector<std::string>{"名称", "名称_1", "field_3", "GEOM"}));
    ASSERT_EQ(read.Values.size(), 3U);
    EXPECT_EQ(read.Values[0], (std::vector<std::string>{"a", "1", "(null)", "(null)"}));
    EXPECT_EQ(read.Values[1], (std::vector<std::string>{"", "(null)", "(null)", "(null)"}));
    EXPECT_EQ(read.Values[2], (std::vector<std::string>{"b", "2", "(null)", "g"}));
}

TEST(GdalOutput, GeoPackageHoldsTheLayerItsTablesDescriptionAndIndex)
{
    const TTempDir dir;
    const auto path = dir / "L03-18M.gpkg";
    // An earlier file is replaced.
    tolvane::test::WriteBytes(path, "not a GeoPackage");
    const std::string description = SourceDescription(Sjis("土地利用"), "/data/L03-18M-13-jgd.dat");
    EXPECT_EQ(description, std::string("土地利用 (変換元 L03-18M-13-jgd.dat、Tolvane Converter ") +
                               TOLVANE_VERSION + ")");
    {
        TGdalDataset dataset(TGdalFormat::GeoPackage, path);
        ASSERT_TRUE(dataset.HoldsTables());
        const auto out = dataset.CreateFeatureOutput({"L03-18M", 2, description, 0});
        FeedAreas(*out);
        out->Finish();
        // The ledger comes after the objects are finished, as a job writes it.
        const auto ledger = dataset.CreateTableOutput("L03-18M_ledger");
        ledger->WriteHeader(Row({"行政コード", "名称", "名称", "fid"}));
        ledger->WriteRow(Row({"00130", "東京", "x", "1"}));
        TSFRow raw = Row({"00140"});
        raw.AddRaw(Sjis("\"a,b\",c,d,e"));
        ledger->WriteRow(raw);
        ledger->WriteRow(Row({"9"}));
        ledger->Finish();
        const auto copy = dataset.CreateTableOutput("L03-18M_csv");
        copy->WriteHeader(RawRow("\"メッシュコード\",\"人口総数\""));
        copy->WriteRow(Row({"53394567", "120"}));
        copy->Finish();
        dataset.Finish();
    }
    EXPECT_EQ(LayerNames(path),
              (std::vector<std::string>{"L03-18M", "L03-18M_ledger", "L03-18M_csv"}));
    EXPECT_EQ(QueryText(path, "SELECT description FROM gpkg_contents WHERE table_name = 'L03-18M'"),
              description);
    // The spatial index holds every object with a geometry; the field "geom" moved the
    // geometry column's name.
    EXPECT_EQ(QueryText(path, "SELECT COUNT(*) FROM \"rtree_L03-18M_geom_1\""), "4");
    EXPECT_EQ(QueryText(path, "SELECT rtreecheck('rtree_L03-18M_geom_1')"), "ok");

    const TLayerRead ledger = ReadLayer(path, "L03-18M_ledger");
    EXPECT_EQ(ledger.GeometryType, wkbNone);
    EXPECT_FALSE(ledger.HasSrs);
    EXPECT_EQ(ledger.Fields,
              (std::vector<std::string>{"行政コード", "名称", "名称_1", "fid", "field_5"}));
    EXPECT_EQ(ledger.Values, (std::vector<std::vector<std::string>>{
                                 {"00130", "東京", "x", "1", "(null)"},
                                 {"00140", "a,b", "c", "d", "e"},
                                 {"9", "(null)", "(null)", "(null)", "(null)"}}));
    const TLayerRead copy = ReadLayer(path, "L03-18M_csv");
    EXPECT_EQ(copy.Fields, (std::vector<std::string>{"メッシュコード", "人口総数"}));
    EXPECT_EQ(copy.Values, (std::vector<std::vector<std::string>>{{"53394567", "120"}}));
}

TEST(GdalOutput, SpatialIndexHoldsEveryObject)
{
    // 2,600 cells: leaves, a level of nodes above them and the root; objects without geometry
    // and a grid of a second shape in between.
    const TTempDir dir;
    const auto path = dir / "x.gpkg";
    std::size_t inside = 0;
    {
        TGdalDataset dataset(TGdalFormat::GeoPackage, path);
        const auto out = dataset.CreateFeatureOutput({"x", 0, "", 0});
        out->Begin(Columns({{"n", TColType::Integer}}));
        TSFGrid grid;
        grid.N = 10;
        for (int record = 0; record < 26; ++record) {
            for (std::size_t i = 0; i < 10; ++i) {
                const double x = 139.0 + record * 0.1 + static_cast<double>(i) * 0.01;
                const double y = 35.0 + static_cast<double>(i) * 0.01 + record % 3 * 0.1;
                grid.X[i] = {x, x + 0.01, x + 0.01, x, x};
                grid.Y[i] = {y, y, y + 0.01, y + 0.01, y};
            }
            out->BeginGrid(grid);
            for (std::int32_t cell = 0; cell < 100; ++cell) {
                out->WriteGridCell(cell / 10, cell % 10, Row({std::to_string(record)}));
                // The window below, its edges inside cells: x 139.505 to 139.995, y 35.005 to
                // 35.045.
                const double x = grid.X[static_cast<std::size_t>(cell % 10)][0];
                const double y = grid.Y[static_cast<std::size_t>(cell / 10)][0];
                inside +=
                    x + 0.01 > 139.505 && x < 139.995 && y + 0.01 > 35.005 && y < 35.045 ? 1 : 0;
            }
            out->WriteNone(Row({"-1"}));
        }
        out->Finish();
        dataset.Finish();
    }
    EXPECT_EQ(QueryText(path, "SELECT rtreecheck('rtree_x_geom')"), "ok");
    EXPECT_EQ(QueryText(path, "SELECT COUNT(*) FROM rtree_x_geom"), "2600");
    EXPECT_EQ(QueryText(path, "SELECT COUNT(*) FROM rtree_x_geom WHERE maxx > 139.505 AND minx < "
                              "139.995 AND maxy > 35.005 AND miny < 35.045"),
              std::to_string(inside));
    EXPECT_GT(inside, 50U);
    // Objects added later are indexed by GeoPackage's own trigger again.
    EXPECT_EQ(QueryText(path, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'trigger' AND "
                              "name = 'rtree_x_geom_insert'"),
              "1");
}

TEST(GdalOutput, WithoutFinishNothingOfTheJobIsCommitted)
{
    const TTempDir dir;
    const auto path = dir / "x.gpkg";
    {
        TGdalDataset dataset(TGdalFormat::GeoPackage, path);
        const auto out = dataset.CreateFeatureOutput({"x", 0, "", 0});
        FeedAreas(*out);
        out->Finish();
    }
    EXPECT_TRUE(LayerNames(path).empty());
}

TEST(GdalOutput, GeoJsonTablesGoToUtf8CsvBesideIt)
{
    const TTempDir dir;
    TGdalDataset dataset(TGdalFormat::GeoJson, dir / "x.geojson");
    EXPECT_FALSE(dataset.HoldsTables());
    EXPECT_THROW(dataset.CreateTableOutput("x_ledger"), std::logic_error);

    TUtf8CsvOutput csv(dir / "x.csv");
    csv.WriteHeader(Row({"行政コード", "名称"}));
    TSFRow row = Row({"say \"東京\""});
    row.AddRaw(Sjis("ソ表,\"a\""));
    csv.WriteRow(row);
    csv.Finish();
    EXPECT_EQ(ReadBytes(dir / "x.csv"),
              "\"行政コード\",\"名称\"\r\n\"say \"\"東京\"\"\",ソ表,\"a\"\r\n");
}

class GdalFailure : public testing::TestWithParam<TGdalFormat>
{
};

TEST_P(GdalFailure, UnwritableDestinationRaisesWithThePath)
{
    const TTempDir dir;
    for (const auto& path :
         {dir / "missing" / (std::string("x") + Extension(GetParam())), dir.Path()}) {
        SCOPED_TRACE(path.string());
        try {
            TGdalDataset dataset(GetParam(), path);
            dataset.CreateFeatureOutput({"x", 0, "", 0})->Begin({});
            dataset.Finish();
            ADD_FAILURE() << "no error";
        } catch (const TFileError& error) {
            EXPECT_NE(error.Text().find(path.string()), std::string::npos) << error.Text();
        }
    }
}

TEST_P(GdalFailure, FullDiskFailsTheJob)
{
    const TTempDir dir;
    const auto path = dir / (std::string("x") + Extension(GetParam()));
    bool raised = false;
    {
        const TFileSizeLimit limit(512 * 1024);
        try {
            TGdalDataset dataset(GetParam(), path);
            const auto out = dataset.CreateFeatureOutput({"x", 0, "", 0});
            out->Begin(Columns({{"名称", TColType::Char}}));
            TSFGrid grid;
            grid.N = 10;
            for (std::size_t i = 0; i < 10; ++i) {
                const double a = static_cast<double>(i) / 7;
                grid.X[i] = {a, a + 0.1, a + 0.1, a, a};
                grid.Y[i] = {a, a, a + 0.1, a + 0.1, a};
            }
            for (int record = 0; record < 200; ++record) {
                out->BeginGrid(grid);
                for (std::int32_t cell = 0; cell < 100; ++cell) {
                    out->WriteGridCell(cell / 10, cell % 10, Row({"東京都千代田区丸の内一丁目"}));
                }
            }
            out->Finish();
            dataset.Finish();
        } catch (const TFileError& error) {
            raised = true;
            EXPECT_NE(error.Text().find(path.string()), std::string::npos) << error.Text();
        }
    }
    EXPECT_TRUE(raised) << "20,000 objects fitted in 512 KiB";
}

INSTANTIATE_TEST_SUITE_P(Formats, GdalFailure,
                         testing::Values(TGdalFormat::GeoPackage, TGdalFormat::GeoJson),
                         [](const testing::TestParamInfo<TGdalFormat>& info) {
                             return std::string(FormatName(info.param));
                         });

} // namespace
