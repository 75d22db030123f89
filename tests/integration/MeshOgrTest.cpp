// The outputs of every mesh format, opened by GDAL's ogrinfo: as many features as MID rows, all
// of the format's geometry type.
#include <cstdio>
#include <regex>

#include <gtest/gtest.h>

#include "convert/Catalogue.h"
#include "convert/ConvertDriver.h"
#include "support/TestSupport.h"

using namespace tolvane::convert;
using tolvane::test::ReadBytes;
using tolvane::test::TestDataDir;
using tolvane::test::TRecordingObserver;
using tolvane::test::TTempDir;

namespace {

std::string RunCommand(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, got);
    }
    ::pclose(pipe);
    return out;
}

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
    ASSERT_TRUE(ConvertDataItem(LoadCatalogue(folder / "Define"), 0, folder / "source.txt",
                                out / "out.mif", 0, observer));
    EXPECT_EQ(Count(ReadBytes(out / "out.mid"), "\r\n"), c.Features);

    const std::string mif = "'" + (out / "out.mif").string() + "'";
    const std::string summary = RunCommand("ogrinfo -ro -al -so " + mif + " 2>&1");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(summary, match, std::regex("Feature Count: ([0-9]+)")))
        << summary;
    EXPECT_EQ(std::stoul(match[1]), c.Features);

    // -so reports a MIF layer as "Unknown (any)": count the type of every feature instead.
    const std::string features =
        RunCommand("ogrinfo -ro -q -al -geom=SUMMARY -fields=NO " + mif + " 2>&1");
    EXPECT_EQ(Count(features, std::string("\n  ") + c.Geometry + " :"), c.Features) << features;
    EXPECT_EQ(features.find("ERROR"), std::string::npos) << features;
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
