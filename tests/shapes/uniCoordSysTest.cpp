// The coordinate systems named on the command line.
#include "shapes/uniCoordSys.h"

#include <utility>

#include <gtest/gtest.h>

using namespace tolvane::shapes;

TEST(ParseCoordSys, KeysInAnyCaseAndIndexes)
{
    const std::pair<std::string_view, std::optional<TCoordSysIndex>> cases[] = {
        {"tokyo", 0}, {"WGS84", 1}, {"Jgd2000", 2}, {"0", 0},       {"2", 2},
        {"3", {}},    {"-1", {}},   {"", {}},       {"tokyo ", {}}, {"jgd", {}},
        {"1x", {}},   {"00", 0},    {"99999", {}},
    };
    for (const auto& [text, index] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseCoordSys(text), index);
    }
}
