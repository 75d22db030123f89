// Reading the chains of a file, finding them by key and decoding their points.
#include "ksj/uniKsjLinks.h"

#include <cstring>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/uniNumbers.h"
#include "ksj/KsjTestLines.h"
#include "ksj/uniKsjUtils.h"
#include "support/TestSupport.h"

using namespace tolvane::test;
using tolvane::base::TDataError;
using tolvane::base::TSjisLineReader;
using tolvane::ksj::DecodeKsjPoints;
using tolvane::ksj::ReadKsjLinks;
using tolvane::ksj::TKsjLinks;
using tolvane::shapes::TSFPoint;

namespace {

TKsjLinks ReadLinks(const std::vector<std::string>& lines, int skip = 0)
{
    TTempDir dir;
    WriteBytes(dir / "links.txt", CrLf(lines));
    TSjisLineReader src(dir / "links.txt");
    for (int i = 0; i < skip; ++i) {
        src.ReadLineView();
    }
    TKsjLinks links;
    links.Add(9, 9, 0, "stale", 1); // replaced by the read
    ReadKsjLinks(src, links);
    return links;
}

} // namespace

TEST(ReadKsjLinks, RecognisesHeadersByTheirFirstThreeBytesTrimmed)
{
    const TKsjLinks links =
        ReadLinks(Chain(1, 1, {{10, 20}}) + Chain(2, 2, {{10, 20}}, " L ") +
                  Chain(3, 3, {{10, 20}}, "  L") + Chain(4, 4, {{10, 20}}, "LX ") +
                  Chain(5, 5, {{10, 20}}, "l  ") + Chain(6, 6, {{10, 20}}, "L1 "));
    ASSERT_EQ(links.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(links[i].Key1, static_cast<int>(i) + 1);
        EXPECT_EQ(links[i].Key2, static_cast<int>(i) + 1);
        EXPECT_EQ(links[i].PointCount, 1);
        EXPECT_EQ(links[i].CoordText(), "      10      20");
        EXPECT_EQ(links[i].LineNo, 2 * static_cast<int>(i) + 1);
    }
    EXPECT_EQ(links.Find(4, 4), nullptr);
}

TEST(ReadKsjLinks, TakesExactlyTheAnnouncedCoordinateLines)
{
    const TPts five(5, {1, 1});
    const TPts twelve(12, {2, 2});
    // After 5 points the next line is read as a line of the file again: here a header.
    const TKsjLinks links = ReadLinks(Chain(1, 1, five) + Chain(1, 2, {}) + Chain(1, 3, twelve) +
                                      std::vector<std::string>{ChainHeader(1, 4, "2")});
    ASSERT_EQ(links.size(), 4U);
    EXPECT_EQ(links[0].CoordText().size(), 80U);
    EXPECT_EQ(links[1].CoordText(), "");
    EXPECT_EQ(links[2].CoordText().size(), 12U * 16);
    EXPECT_EQ(links[2].LineNo, 4);
    EXPECT_EQ(links[3].LineNo, 8);
    EXPECT_EQ(links[3].CoordText(), ""); // the file ended: missing lines read as empty
}

TEST(ReadKsjLinks, ReadsFromTheCurrentLineAndKeepsDuplicateKeys)
{
    const TKsjLinks links = ReadLinks(Chain(7, 1, {{1, 1}}) + Chain(5, 1, {{2, 2}}) +
                                          Chain(5, 1, {{3, 3}}) + Chain(-5, 1, {{4, 4}}),
                                      2);
    ASSERT_EQ(links.size(), 3U);
    EXPECT_EQ(links.Find(7, 1), nullptr);
    ASSERT_EQ(links.Find(5, 1), &links[0]);
    EXPECT_EQ(links.Find(-5, 1), &links[2]);
    EXPECT_EQ(links.Find(5, 2), nullptr);
    EXPECT_EQ(links.Find(5 + (std::int64_t{1} << 32), 1), nullptr);
}

TEST(ReadKsjLinks, RefusesUnreadableKeysAndCounts)
{
    std::string key2Trailing = ChainHeader(1, 1, "1");
    key2Trailing.replace(27, 6, "1     ");
    const std::pair<std::string, std::string> cases[] = {
        {"L  53a945" + ChainHeader(0, 1, "1").substr(9), "'53a945' は整数ではありません"},
        {ChainHeader(1, 1, "1 "), "'    1 ' は整数ではありません"},
        {key2Trailing, "'1     ' は整数ではありません"},
        {ChainHeader(1, 1, "-1"), "'    -1' は正しい個数ではありません"},
        {"L", "'' は整数ではありません"},
    };
    for (const auto& [header, message] : cases) {
        SCOPED_TRACE(header);
        try {
            ReadLinks({header, "      10      20"});
            FAIL() << "no error";
        } catch (const TDataError& e) {
            EXPECT_EQ(e.Text(), message);
        }
    }
}

TEST(KsjLinks, IndexFindsTheFirstChainOfEveryKey)
{
    // Many chains with few distinct Key1 values and every fourth key repeated.
    TKsjLinks links;
    for (int i = 0; i < 40000; ++i) {
        const int key2 = i % 4 == 3 ? i - 1 : i;
        links.Add(533945 + key2 % 3, key2, 0, "", i + 1);
    }
    links.BuildIndex();
    for (int i = 0; i < 40000; ++i) {
        const int key2 = i % 4 == 3 ? i - 1 : i;
        const std::size_t expected = static_cast<std::size_t>(i % 4 == 3 ? i - 1 : i);
        const auto* link = links.Find(533945 + key2 % 3, key2);
        ASSERT_NE(link, nullptr) << i;
        EXPECT_EQ(link, &links[expected]) << i;
    }
    EXPECT_EQ(links.Find(533945, 1), nullptr); // 1 % 3 != 0
}

TEST(KsjLinks, MalformedPointsAreReportedAtTheChainHeader)
{
    // A double-byte character is one position of the coordinate text.
    const TKsjLinks links = ReadLinks(
        Chain(1, 1, {{5022000, 1278000}}) +
        std::vector<std::string>{ChainHeader(1, 2, "2"), Sjis("全角") + "123456789012345678"});
    std::vector<TSFPoint> points;
    links.AppendPoints(links[0], false, points);
    try {
        links.AppendPoints(links[1], false, points);
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'全角123456' は浮動小数点数ではありません");
        EXPECT_EQ(e.LineNo(), 3);
        EXPECT_EQ(std::filesystem::path(e.FileName()).filename(), "links.txt");
    }
    try {
        DecodeKsjPoints("      10      2", 2, false, false, points);
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'' は浮動小数点数ではありません");
    }
}

TEST(ReadKsjCoord, AgreesWithTheGeneralNumberReader)
{
    for (const char* text : {" 5022000", "1278000 ", "-0", "+36000", "999999999999999",
                             "9007199254740993", "5022000.5", "  1e3   ", ".5", "-0.25"}) {
        SCOPED_TRACE(text);
        const double expected = tolvane::ksj::KsjCoordToDegree(*tolvane::base::TryStrToFloat(text));
        const double actual = tolvane::ksj::ReadKsjCoord(text);
        EXPECT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0) << expected << " " << actual;
    }
    for (const char* text : {"", "   ", "-", "1 2", "12a", "0x10", "$10", "inf"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(tolvane::ksj::ReadKsjCoord(text), TDataError);
    }
}
