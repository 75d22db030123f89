// Every mesh format code end to end through the conversion driver, compared byte for byte with
// the expected outputs in tests/data/mesh/<case>/ (written by tests/data/mesh/generate.py).
#include <gtest/gtest.h>

#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::test::ReadBytes;
using tolvane::test::TestDataDir;
using tolvane::test::TRecordingObserver;
using tolvane::test::TTempDir;

namespace {

struct TGoldenCase
{
    const char* Name;
    bool Succeeds;
};

void PrintTo(const TGoldenCase& c, std::ostream* os)
{
    *os << c.Name;
}

class MeshGolden : public ::testing::TestWithParam<TGoldenCase>
{
};

} // namespace

TEST_P(MeshGolden, OutputsMatchByteForByte)
{
    const TGoldenCase& c = GetParam();
    const std::filesystem::path folder = TestDataDir() / "mesh" / c.Name;
    const TCatalogue catalogue = LoadCatalogue(folder / "Define");
    TTempDir out;
    TRecordingObserver observer;
    const bool ok =
        ConvertRecorded(catalogue, 0, folder / "source.txt", out / "out.mif", 0, observer);
    EXPECT_EQ(ok, c.Succeeds) << (observer.Failures.empty() ? "" : observer.Failures[0]);

    EXPECT_TRUE(ReadBytes(out / "out.mif") == ReadBytes(folder / "expected.mif"));
    EXPECT_TRUE(ReadBytes(out / "out.mid") == ReadBytes(folder / "expected.mid"));
    if (std::filesystem::exists(folder / "expected.csv")) {
        EXPECT_TRUE(ReadBytes(out / "out.csv") == ReadBytes(folder / "expected.csv"));
    } else {
        EXPECT_FALSE(std::filesystem::exists(out / "out.csv"));
    }
}

TEST(MeshGoldenFailure, FailingRecordNamesItsLine)
{
    const std::filesystem::path folder = TestDataDir() / "mesh" / "m3_10-fail";
    TTempDir out;
    TRecordingObserver observer;
    EXPECT_FALSE(ConvertRecorded(LoadCatalogue(folder / "Define"), 0, folder / "source.txt",
                                 out / "out.mif", 0, observer));
    ASSERT_EQ(observer.Failures.size(), 1U);
    EXPECT_EQ(observer.Failures[0],
              (folder / "source.txt").string() + ":3: 'A9' は浮動小数点数ではありません");
}

INSTANTIATE_TEST_SUITE_P(Cases, MeshGolden,
                         ::testing::Values(TGoldenCase{"m2", true}, TGoldenCase{"m21", true},
                                           TGoldenCase{"m22", true}, TGoldenCase{"m23", true},
                                           TGoldenCase{"m24", true}, TGoldenCase{"m3", true},
                                           TGoldenCase{"m3ns", true}, TGoldenCase{"m4", true},
                                           TGoldenCase{"m3_10", true}, TGoldenCase{"m3_10p", true},
                                           TGoldenCase{"m3_4", true}, TGoldenCase{"m3_4p", true},
                                           TGoldenCase{"m3_10-fail", false}),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             for (char& ch : name) {
                                 if (ch == '-') {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });
