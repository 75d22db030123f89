// Vector and point-list items end to end: each case under tests/data/vector is converted through
// the driver and compared byte for byte with its expected MIF and MID, and GDAL must read every
// object of the expected MIF.
#include <gtest/gtest.h>

#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "support/OgrInfo.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using namespace tolvane::test;

namespace {

std::filesystem::path CaseDir(const std::string& name)
{
    return TestDataDir() / "vector" / name;
}

std::size_t CountRows(const std::string& mid)
{
    std::size_t rows = 0;
    for (std::size_t at = mid.find("\r\n"); at != std::string::npos;
         at = mid.find("\r\n", at + 2)) {
        ++rows;
    }
    return rows;
}

class VectorGolden : public ::testing::TestWithParam<std::string>
{
};

} // namespace

TEST_P(VectorGolden, ConvertsByteForByte)
{
    const std::filesystem::path dir = CaseDir(GetParam());
    TTempDir out;
    TRecordingObserver observer;
    const bool ok = ConvertRecorded(LoadCatalogue(dir / "Define"), 0, dir / "source.txt",
                                    out / "out.mif", 0, observer);
    ASSERT_TRUE(ok) << (observer.Failures.empty() ? "" : observer.Failures[0]);
    EXPECT_EQ(ReadBytes(out / "out.mif"), ReadBytes(dir / "expected.mif"));
    EXPECT_EQ(ReadBytes(out / "out.mid"), ReadBytes(dir / "expected.mid"));
}

// A geometry GDAL cannot read ends its reading of the file there, silently: every object of the
// expected MIF must come out, one per MID row.
TEST_P(VectorGolden, GdalReadsEveryObject)
{
    if (!HaveOgrInfo()) {
        GTEST_SKIP() << "ogrinfo is not installed";
    }
    const std::filesystem::path dir = CaseDir(GetParam());
    TTempDir copy;
    std::filesystem::copy_file(dir / "expected.mif", copy / "golden.mif");
    std::filesystem::copy_file(dir / "expected.mid", copy / "golden.mid");
    const TOgrRead read = ReadWithOgr(copy / "golden.mif");
    ASSERT_EQ(read.Status, 0) << read.Output;
    EXPECT_EQ(read.Features, CountRows(ReadBytes(dir / "expected.mid"))) << read.Output;
    EXPECT_FALSE(read.Errors) << read.Output;
}

INSTANTIATE_TEST_SUITE_P(Cases, VectorGolden,
                         ::testing::Values("point", "node", "line", "surface", "area",
                                           "area-closed", "pcsv", "pcsv2"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

TEST(VectorGoldenCodes, AlConvertsExactlyLikeL)
{
    const std::filesystem::path dir = CaseDir("line");
    TTempDir work;
    std::filesystem::copy(dir / "Define", work / "Define");
    std::string catalogue = ReadBytes(dir / "Define" / u8"データ項目.txt");
    const std::size_t code = catalogue.find(",L,");
    ASSERT_NE(code, std::string::npos);
    catalogue.replace(code, 3, ",AL,");
    WriteBytes(work / "Define" / u8"データ項目.txt", catalogue);
    TRecordingObserver observer;
    ASSERT_TRUE(ConvertRecorded(LoadCatalogue(work / "Define"), 0, dir / "source.txt",
                                work / "al.mif", 0, observer));
    EXPECT_EQ(ReadBytes(work / "al.mif"), ReadBytes(dir / "expected.mif"));
    EXPECT_EQ(ReadBytes(work / "al.mid"), ReadBytes(dir / "expected.mid"));
}
