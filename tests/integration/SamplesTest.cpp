// Every shipped data item, and every test item of the generator's Define folder, converts its
// sample; GDAL reads every object of every MIF to the end, of the expected geometry type; every
// MID row holds as many values as the column block declares; ledger CSVs have their rows.
#include <regex>

#include <gtest/gtest.h>

#include "base/uniPaths.h"
#include "base/uniTextFile.h"
#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "gen/GenProfiles.h"
#include "support/OgrInfo.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using namespace tolvane::test;

namespace {

struct TSampleCase
{
    const char* Name;           ///< for the test's name
    const char* Define;         ///< folder of the catalogue, below the source tree
    const char* Samples;        ///< folder of the samples
    int Item;                   ///< catalogue index
    const char* Geometry;       ///< as ogrinfo names it; nullptr for a ledger-only item
    std::size_t Features;       ///< objects (or ledger rows for a ledger-only item)
    std::size_t Columns;        ///< MID values per row (ledger CSV values for a ledger-only item)
    std::size_t LedgerRows = 0; ///< rows of the ledger CSV of a MIF item with a ledger
};

void PrintTo(const TSampleCase& c, std::ostream* os)
{
    *os << c.Name;
}

constexpr const char* kShipped = "data/Define";
constexpr const char* kShippedSamples = "data/samples";
constexpr const char* kTest = "tests/data/gen/Define";
constexpr const char* kTestSamples = "tests/data/gen/samples";

// The sizes follow from the generator's sample requests.
const TSampleCase kCases[] = {
    {"L01_P", kShipped, kShippedSamples, 0, "POINT", 300, 30},
    {"L02_PCSV2", kShipped, kShippedSamples, 1, "POINT", 300, 16},
    {"L03_51M_M3", kShipped, kShippedSamples, 2, "POLYGON", 200, 19},
    {"L03_51M_M3_10", kShipped, kShippedSamples, 3, "POLYGON", 20000, 5},
    {"L03_18M_M3_10", kShipped, kShippedSamples, 4, "POLYGON", 30000, 5},
    {"L03_18M_M3_10P", kShipped, kShippedSamples, 5, "POINT", 30000, 5},
    {"G06_M3", kShipped, kShippedSamples, 6, "POLYGON", 300, 14},
    {"C28_N", kShipped, kShippedSamples, 7, "POINT", 199, 8},
    {"C28_L", kShipped, kShippedSamples, 8, "LINESTRING", 150, 8},
    {"C13_N", kShipped, kShippedSamples, 9, "POINT", 199, 8},
    {"C13_L", kShipped, kShippedSamples, 10, "LINESTRING", 150, 8},
    {"A15_N", kShipped, kShippedSamples, 11, "POINT", 87, 8},
    {"A15_AL", kShipped, kShippedSamples, 12, "LINESTRING", 150, 8},
    {"W14_T", kShipped, kShippedSamples, 13, nullptr, 300, 21},
    {"W03_T", kShipped, kShippedSamples, 14, nullptr, 300, 23},
    {"C42_T", kShipped, kShippedSamples, 15, nullptr, 200, 30},
    {"C08_T", kShipped, kShippedSamples, 16, nullptr, 300, 5},
    {"X01_M2", kTest, kTestSamples, 0, "POLYGON", 200, 5},
    {"X02_M21", kTest, kTestSamples, 1, "POLYGON", 50, 4},
    {"X02_M22", kTest, kTestSamples, 2, "POLYGON", 50, 4},
    {"X02_M23", kTest, kTestSamples, 3, "POLYGON", 50, 4},
    {"X02_M24", kTest, kTestSamples, 4, "POLYGON", 50, 4},
    {"X03_M4", kTest, kTestSamples, 5, "POLYGON", 200, 4},
    {"S04_M3NS", kTest, kTestSamples, 6, "POLYGON", 200, 1},
    {"G04_M3_4", kTest, kTestSamples, 7, "POLYGON", 3200, 8},
    {"G04_M3_4P", kTest, kTestSamples, 8, "POINT", 3200, 8},
    {"X06_PCSV", kTest, kTestSamples, 9, "POINT", 200, 5},
    {"X04_S", kTest, kTestSamples, 10, "LINESTRING", 60, 6},
    {"X04_L_ledger", kTest, kTestSamples, 11, "LINESTRING", 197, 8, 51},
    {"X05_A_ledger", kTest, kTestSamples, 12, "POLYGON", 80, 5, 80},
    {"X05_AC", kTest, kTestSamples, 13, "POLYGON", 80, 5},
};

std::size_t DeclaredColumns(const std::filesystem::path& mif)
{
    const std::string head = ReadBytes(mif).substr(0, 4096);
    std::smatch match;
    if (!std::regex_search(head, match, std::regex("\r\nColumns ([0-9]+)\r\n"))) {
        return 0;
    }
    return std::stoul(match[1]);
}

class Samples : public ::testing::TestWithParam<TSampleCase>
{
};

} // namespace

TEST_P(Samples, ConvertAndGdalReadsEveryObject)
{
    const TSampleCase& c = GetParam();
    const TCatalogue catalogue = LoadCatalogue(SourceDir() / c.Define);
    const TCatalogueLine item = catalogue.Item(c.Item);
    const tolvane::gen::TGenProfile* profile = tolvane::gen::FindProfileForItem(item);
    ASSERT_NE(profile, nullptr);
    const std::filesystem::path source = SourceDir() / c.Samples / std::string(profile->SampleName);
    ASSERT_TRUE(std::filesystem::exists(source)) << source;

    TTempDir out;
    TRecordingObserver observer;
    ASSERT_TRUE(ConvertRecorded(catalogue, c.Item, source, out / "out.mif", 2, observer))
        << (observer.Failures.empty() ? "" : observer.Failures.front());

    if (c.Geometry == nullptr) {
        // Ledger-only: a CSV of a header line and one line per record, nothing else.
        EXPECT_FALSE(std::filesystem::exists(out / "out.mif"));
        const std::vector<std::string> rows = LoadLines(out / "out.csv");
        ASSERT_EQ(rows.size(), c.Features + 1);
        for (const std::string& row : rows) {
            ASSERT_EQ(CountDelimitedValues(row), c.Columns) << row;
        }
        return;
    }

    const std::vector<std::string> mid = LoadLines(out / "out.mid");
    ASSERT_EQ(mid.size(), c.Features);
    const std::size_t columns = DeclaredColumns(out / "out.mif");
    EXPECT_EQ(columns, c.Columns);
    for (const std::string& row : mid) {
        ASSERT_EQ(CountDelimitedValues(row), columns) << row;
    }
    if (c.LedgerRows != 0) {
        EXPECT_EQ(LoadLines(out / "out.csv").size(), c.LedgerRows + 1);
    }

    if (!HaveOgrInfo()) {
        GTEST_SKIP() << "ogrinfo is not installed";
    }
    const TOgrRead read = ReadWithOgr(out / "out.mif");
    ASSERT_EQ(read.Status, 0) << read.Output.substr(0, 2000);
    EXPECT_FALSE(read.Errors) << read.Output.substr(0, 2000);
    EXPECT_EQ(read.Features, c.Features);
    EXPECT_EQ(read.Geometries.at(c.Geometry), c.Features);
}

INSTANTIATE_TEST_SUITE_P(EveryItem, Samples, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });
