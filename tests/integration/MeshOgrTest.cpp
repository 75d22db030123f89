// The outputs of every mesh format, opened by GDAL's ogrinfo: as many features as MID rows, all
// of the format's geometry type.

#include <gtest/gtest.h>

#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "support/OgrInfo.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using namespace tolvane::test;

namespace {

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

struct TOgrCase
{
    const char* Name;
    const char* Geometry; ///< as ogrinfo's geometry summary names it
    std::size_t Features;
};

void PrintTo(const TOgrCase& c, std::ostream* os)
{
    *os << c.Name;
}

class MeshOgr : public ::testing::TestWithParam<TOgrCase>
{
};

} // namespace

TEST_P(MeshOgr, GdalReadsEveryObject)
{
    const TOgrCase& c = GetParam();
    const std::filesystem::path folder = TestDataDir() / "mesh" / c.Name;
    TTempDir out;
    TRecordingObserver observer;
    ASSERT_TRUE(ConvertRecorded(LoadCatalogue(folder / "Define"), 0, folder / "source.txt",
                                out / "out.mif", 0, observer));
    EXPECT_EQ(Count(ReadBytes(out / "out.mid"), "\r\n"), c.Features);

    if (!HaveOgrInfo()) {
        GTEST_SKIP() << "ogrinfo is not installed";
    }
    const TOgrRead read = ReadWithOgr(out / "out.mif");
    ASSERT_EQ(read.Status, 0) << read.Output;
    EXPECT_EQ(read.Features, c.Features);
    ASSERT_EQ(read.Geometries.count(c.Geometry), 1U) << read.Output;
    EXPECT_EQ(read.Geometries.at(c.Geometry), c.Features) << read.Output;
    EXPECT_FALSE(read.Errors) << read.Output;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MeshOgr,
    ::testing::Values(TOgrCase{"m2", "POLYGON", 4}, TOgrCase{"m21", "POLYGON", 1},
                      TOgrCase{"m22", "POLYGON", 2}, TOgrCase{"m23", "POLYGON", 1},
                      TOgrCase{"m24", "POLYGON", 1}, TOgrCase{"m3", "POLYGON", 4},
                      TOgrCase{"m3ns", "POLYGON", 4}, TOgrCase{"m4", "POLYGON", 6},
                      TOgrCase{"m3_10", "POLYGON", 200}, TOgrCase{"m3_10p", "POINT", 200},
                      TOgrCase{"m3_4", "POLYGON", 32}, TOgrCase{"m3_4p", "POINT", 32}),
    [](const auto& info) { return std::string(info.param.Name); });
