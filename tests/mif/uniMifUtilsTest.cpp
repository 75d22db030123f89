// The MIF/MID writer, byte for byte.
#include "mif/uniMifUtils.h"

#include <gtest/gtest.h>

#include "shapes/uniCoordSys.h"
#include "support/TestSupport.h"

using namespace tolvane::mif;
using namespace tolvane::shapes;
using tolvane::test::ReadBytes;
using tolvane::test::TTempDir;

namespace {

// Runs `write` on a fresh MIF file and returns what it wrote.
template <typename TWrite> std::string Written(TWrite&& write)
{
    TTempDir dir;
    {
        TSjisWriter mif(dir / "out.mif");
        write(mif);
        mif.Close();
    }
    return ReadBytes(dir / "out.mif");
}

TSFPolygon Ring(std::vector<TSFPoint> points)
{
    TSFPolygon shape;
    shape.SetSinglePart(std::move(points));
    return shape;
}

} // namespace

TEST(WriteMifHeader, FourLinesWithTheClause)
{
    EXPECT_EQ(Written([](TSjisWriter& mif) { WriteMifHeader(mif, CoordSysText(0)); }),
              "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
              "CoordSys Earth Projection 1, 97\r\n");
    EXPECT_EQ(CoordSysText(1), "Earth Projection 1, 104");
    EXPECT_EQ(CoordSysText(2), "Earth Projection 1, 33");
    EXPECT_EQ(CoordSysText(3), "");
    EXPECT_EQ(CoordSysText(-1), "");
    EXPECT_EQ(Written([](TSjisWriter& mif) { WriteMifHeader(mif, CoordSysText(7)); }),
              "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\nCoordSys \r\n");
}

TEST(WriteMifColumns, EveryTypeAndTheEmptyList)
{
    const TSFColumns columns{{"NAME", TColType::Char, 20},  {"CODE", TColType::Integer, 100},
                             {"V", TColType::Float, 7},     {"D", TColType::Date, 100},
                             {"L", TColType::Logical, 100}, {"\x96\xBC", TColType::Char, 100}};
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifColumns(mif, columns); }),
              "Columns 6\r\nNAME Char(20)\r\nCODE Integer\r\nV Float\r\nD Date\r\nL Logical\r\n"
              "\x96\xBC Char(100)\r\nData\r\n\r\n");
    EXPECT_EQ(Written([](TSjisWriter& mif) { WriteMifColumns(mif, {}); }),
              "Columns 0\r\nData\r\n\r\n");
}

TEST(WriteMifPoint, OneLine)
{
    EXPECT_EQ(Written([](TSjisWriter& mif) {
                  WriteMifPoint(mif, {135, 35.5});
                  WriteMifPoint(mif, {139.123456789, -0.25});
              }),
              "Point 135.00000000 35.50000000\r\nPoint 139.12345679 -0.25000000\r\n");
}

TEST(WriteMifRegion, SingleRingIsTurnedClockwiseAndClosed)
{
    TSFPolygon ring = Ring({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifRegion(mif, ring); }),
              "Region 1\r\n  5\r\n0.00000000 1.00000000\r\n1.00000000 1.00000000\r\n"
              "1.00000000 0.00000000\r\n0.00000000 0.00000000\r\n0.00000000 1.00000000\r\n\r\n");
    // The caller's record holds the reversed, closed ring.
    EXPECT_EQ(ring.NumPoints, 5);
    EXPECT_EQ(ring.Points.front(), (TSFPoint{0, 1}));
    EXPECT_EQ(ring.Points.back(), (TSFPoint{0, 1}));

    TSFPolygon clockwise = Ring({{0, 0}, {0, 1}, {1, 1}, {0, 0}});
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifRegion(mif, clockwise); }),
              "Region 1\r\n  4\r\n0.00000000 0.00000000\r\n0.00000000 1.00000000\r\n"
              "1.00000000 1.00000000\r\n0.00000000 0.00000000\r\n\r\n");
}

TEST(WriteMifRegion, ShortRingsAsStoredAndEmptyOnesAsNone)
{
    TSFPolygon two = Ring({{0, 0}, {1, 0}});
    two.NumParts = 0;
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifRegion(mif, two); }),
              "Region 1\r\n  2\r\n0.00000000 0.00000000\r\n1.00000000 0.00000000\r\n\r\n");
    TSFPolygon one = Ring({{1, 2}});
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifRegion(mif, one); }), "None\r\n");
    TSFPolygon none = Ring({});
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifRegion(mif, none); }), "None\r\n");
}

TEST(WriteMifRegion, MultiRingWrittenAsStored)
{
    TSFPolygon shape;
    shape.NumParts = 2;
    shape.Parts = {0, 4};
    for (int i = 0; i < 9; ++i) {
        shape.Points.push_back({static_cast<double>(i), 0});
    }
    shape.NumPoints = 9;
    std::string expected = "Region 2\r\n  4\r\n";
    for (int i = 0; i < 4; ++i) {
        expected += std::to_string(i) + ".00000000 0.00000000\r\n";
    }
    expected += "  5\r\n";
    for (int i = 4; i < 9; ++i) {
        expected += std::to_string(i) + ".00000000 0.00000000\r\n";
    }
    expected += "\r\n";
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifRegion(mif, shape); }), expected);
    EXPECT_EQ(shape.NumPoints, 9);
}

TEST(WriteMifPLine, SingleAndMultiSection)
{
    TSFPolyLine line;
    line.SetSinglePart({{1, 2}, {3, 4}, {5, 6}});
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifPLine(mif, line); }),
              "PLine 3\r\n1.00000000 2.00000000\r\n3.00000000 4.00000000\r\n5.00000000 "
              "6.00000000\r\n\r\n");

    TSFPolyLine multi;
    multi.NumParts = 3;
    multi.Parts = {0, 2, 3};
    multi.Points = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    multi.NumPoints = 5;
    EXPECT_EQ(Written([&](TSjisWriter& mif) { WriteMifPLine(mif, multi); }),
              "PLine MultiPle 3\r\n  2\r\n0.00000000 0.00000000\r\n1.00000000 1.00000000\r\n"
              "  1\r\n2.00000000 2.00000000\r\n  2\r\n3.00000000 3.00000000\r\n4.00000000 "
              "4.00000000\r\n\r\n");

    TSFPolyLine single;
    single.SetSinglePart({{1, 1}});
    TSFPolyLine empty;
    empty.SetSinglePart({});
    EXPECT_EQ(Written([&](TSjisWriter& mif) {
                  WriteMifPLine(mif, single);
                  WriteMifPLine(mif, empty);
              }),
              "None\r\nNone\r\n");
}

TEST(AppendMidValue, QuotesOnlyWhatWouldBreakTheRow)
{
    std::string row;
    AppendMidValue(row, "plain value");
    row += ',';
    AppendMidValue(row, "a,b");
    row += ',';
    AppendMidValue(row, "say \"hi\"");
    row += ',';
    AppendMidValue(row, "");
    EXPECT_EQ(row, "plain value,\"a,b\",\"say \"\"hi\"\"\",");
}

TEST(WriteMidRow, ValuesAsAppendMidValueAndRawTextAsItStands)
{
    TSFRow row;
    row.Add("plain");
    row.Add("a,b");
    row.AddRaw("x,\"y\"");
    row.Add("");
    row.Add("say \"hi\"");
    TTempDir dir;
    {
        TSjisWriter mid(dir / "out.mid");
        WriteMidRow(mid, row);
        row.Truncate(1);
        WriteMidRow(mid, row);
        row.Clear();
        WriteMidRow(mid, row);
        mid.Close();
    }
    EXPECT_EQ(ReadBytes(dir / "out.mid"),
              "plain,\"a,b\",x,\"y\",,\"say \"\"hi\"\"\"\r\nplain\r\n\r\n");
}
