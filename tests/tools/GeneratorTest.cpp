// The sample generator: the same seed gives the same bytes, and what it writes has the
// structure of the KSJ files (headers and counts, chain blocks, closed areas, ledgers).
#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "KsjTestFile.h"
#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "gen/GenProfiles.h"
#include "support/TestSupport.h"

namespace {

using namespace tolvane;
using namespace tolvane::test;

const char* const kAllFormats[] = {"M2",    "M21",    "M22",  "M23",   "M24",   "M3", "M3NS", "M4",
                                   "M3_10", "M3_10P", "M3_4", "M3_4P", "P",     "N",  "L",    "AL",
                                   "S",     "A",      "AC",   "PCSV",  "PCSV2", "T"};

std::string Generate(const gen::TGenProfile& profile, std::int64_t records, std::uint64_t seed,
                     std::int64_t chains = 0)
{
    TTempDir dir;
    gen::TGenRequest request;
    request.Records = records;
    request.Chains = chains;
    request.Seed = seed;
    gen::GenerateFile(profile, request, dir / "out.txt");
    return ReadBytes(dir / "out.txt");
}

const gen::TGenProfile& Profile(std::string_view code)
{
    const gen::TGenProfile* profile = gen::FindProfileByFormat(code);
    if (profile == nullptr) {
        throw std::runtime_error("no profile for " + std::string(code));
    }
    return *profile;
}

TEST(Generator, SameSeedSameBytesOtherSeedOtherBytes)
{
    for (const char* code : kAllFormats) {
        SCOPED_TRACE(code);
        const gen::TGenProfile* profile = gen::FindProfileByFormat(code);
        ASSERT_NE(profile, nullptr);
        const std::string first = Generate(*profile, 25, 7);
        EXPECT_EQ(Generate(*profile, 25, 7), first);
        EXPECT_NE(Generate(*profile, 25, 8), first);
        EXPECT_TRUE(base::TrySjisToUtf8(first).has_value()) << "not CP932";
        const TFileLines lines = SplitCrLf(first);
        EXPECT_TRUE(lines.CrLfOnly);
        // The old text files end with Ctrl-Z; the CSV editions do not.
        EXPECT_EQ(lines.EndsWithCtrlZ, std::string_view(code).find("CSV") == std::string::npos);
    }
}

// Fixed-width files with one record per line: the "H" line states data code, kind, the longest
// line and the number of lines; every record has the same width and the requested count.
TEST(Generator, RecordFilesHaveTheirHeaderAndRecords)
{
    struct TCase
    {
        const char* Code;
        int Kind;
        char Letter;
        std::size_t Width;
    };
    const TCase cases[] = {
        {"M2", 4, 'M', 55},     {"M21", 4, 'M', 40},   {"M4", 4, 'M', 28}, {"M3", 4, 'M', 237},
        {"M3_10", 4, 'M', 120}, {"M3_4", 4, 'M', 295}, {"P", 1, 'P', 191}, {"T", 5, 'T', 80},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        const gen::TGenProfile& profile = Profile(c.Code);
        const std::vector<std::string> lines = SplitCrLf(Generate(profile, 37, 3)).Lines;
        ASSERT_EQ(lines.size(), 38u);
        const std::string& h = lines[0];
        EXPECT_EQ(base::TrimBlanks(base::SubStr(h, 1, 3, false)), "H");
        EXPECT_EQ(base::TrimBlanks(base::SubStr(h, 14, 10, false)), profile.DataCode);
        EXPECT_EQ(IntOf(base::SubStr(h, 24, 2, false)), c.Kind);
        EXPECT_EQ(IntOf(base::SubStr(h, 30, 4, false)), static_cast<std::int64_t>(c.Width));
        EXPECT_EQ(IntOf(base::SubStr(h, 34, 8, false)), 38);
        std::string previousMesh;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::string& rec = lines[i];
            ASSERT_EQ(rec.size(), c.Width) << "line " << i + 1;
            EXPECT_EQ(rec[0], c.Letter);
            if (c.Letter == 'M') {
                const std::string mesh = rec.substr(
                    5, c.Code == std::string("M2") || c.Code == std::string("M21") ? 6 : 8);
                EXPECT_TRUE(std::all_of(mesh.begin(), mesh.end(), [](char d) {
                    return d >= '0' && d <= '9';
                })) << mesh;
                // Second- and third-level codes count rows and columns 0-7 and 0-9.
                EXPECT_LE(mesh[4], '7');
                EXPECT_LE(mesh[5], '7');
                EXPECT_LE(previousMesh, mesh) << "records out of mesh order";
                previousMesh = mesh;
            }
        }
    }
}

TEST(Generator, MeshKindsAndQuartersCycleOneToFour)
{
    for (const auto& [code, column] : {std::pair{"M21", 12}, std::pair{"M4", 14}}) {
        SCOPED_TRACE(code);
        const std::vector<std::string> lines = SplitCrLf(Generate(Profile(code), 12, 5)).Lines;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i][static_cast<std::size_t>(column - 1)],
                      static_cast<char>('1' + (i - 1) % 4));
        }
    }
}

// Second-level mesh of a point in tenths of an arc-second: first-level cells of 40' x 1 degree,
// divided 8 x 8 into cells of 5' x 7'30".
std::string Mesh2OfPoint(std::int64_t x, std::int64_t y)
{
    const std::int64_t p = y / (40 * 60 * 10);
    const std::int64_t q = y % (40 * 60 * 10) / (5 * 60 * 10);
    const std::int64_t u = x / (3600 * 10) - 100;
    const std::int64_t v = x % (3600 * 10) / (450 * 10);
    return std::to_string(p * 10000 + u * 100 + q * 10 + v);
}

TEST(Generator, PointsLieInTheMeshTheyName)
{
    const std::vector<std::string> lines = SplitCrLf(Generate(Profile("P"), 200, 11)).Lines;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& rec = lines[i];
        EXPECT_EQ(rec.substr(3, 6), Mesh2OfPoint(IntOf(rec.substr(9, 8)), IntOf(rec.substr(17, 8))))
            << rec.substr(0, 25);
    }
}

TEST(Generator, CsvLinesHaveTheHeadersFieldsAndCoordinatesInJapan)
{
    for (const auto& [code, xField] : {std::pair{"PCSV2", 0}, std::pair{"PCSV", 1}}) {
        SCOPED_TRACE(code);
        const std::vector<std::string> lines = SplitCrLf(Generate(Profile(code), 40, 2)).Lines;
        ASSERT_EQ(lines.size(), 41u);
        std::vector<std::string> fields;
        base::SplitFields(lines[0], ',', fields);
        const std::size_t count = fields.size();
        for (std::size_t i = 1; i < lines.size(); ++i) {
            base::SplitFields(lines[i], ',', fields);
            ASSERT_EQ(fields.size(), count) << lines[i];
            const double x = std::stod(fields[static_cast<std::size_t>(xField)]) / 3600.0;
            const double y = std::stod(fields[static_cast<std::size_t>(xField) + 1]) / 3600.0;
            EXPECT_TRUE(x > 122.0 && x < 154.0 && y > 20.0 && y < 46.0) << lines[i];
        }
    }
}

TEST(Generator, TabMeshRecordsStartWithAThirdLevelMeshCode)
{
    const std::vector<std::string> lines = SplitCrLf(Generate(Profile("M3NS"), 30, 4)).Lines;
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[0][0], 'H');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find('\t'), 8u) << lines[i];
        EXPECT_TRUE(base::IsInteger(lines[i].substr(0, 8)));
    }
}

// Checks what every line and area file must satisfy; returns the parsed file.
TVectorFile CheckVectorFile(const std::string& bytes, char featureLetter,
                            std::string_view ledgerKey)
{
    const std::vector<std::string> lines = SplitCrLf(bytes).Lines;
    TVectorFile file = ParseVectorFile(lines, featureLetter, ledgerKey);
    std::size_t longest = 0;
    for (const std::string& line : lines) {
        longest = std::max(longest, line.size());
    }
    EXPECT_EQ(IntOf(file.Header1.substr(29, 4)), static_cast<std::int64_t>(longest));
    EXPECT_EQ(file.Header1.size(), 33u) << "line and area files state no line count";
    const std::vector<std::int64_t> counted = {static_cast<std::int64_t>(lines.size()),
                                               file.NodeLines,
                                               file.LinkLines,
                                               file.FeatureLines,
                                               0,
                                               featureLetter == 'S' ? file.LedgerLines : 0,
                                               featureLetter == 'A' ? file.LedgerLines : 0};
    EXPECT_EQ(file.Counts, counted);
    std::set<std::pair<std::int64_t, std::int64_t>> keys;
    std::map<std::pair<std::int64_t, std::int64_t>, std::int64_t> ends;
    for (const TChainRecord& chain : file.Chains) {
        SCOPED_TRACE(chain.Header);
        EXPECT_TRUE(keys.insert({chain.Key1, chain.Key2}).second) << "chain key twice";
        EXPECT_LT(chain.Key2, 100000) << "a reversed reference could not hold the serial";
        if (chain.Points.size() < 2 || !file.Nodes.count(chain.StartNode) ||
            !file.Nodes.count(chain.EndNode)) {
            ADD_FAILURE() << "a chain needs two points and two nodes";
            continue;
        }
        for (std::size_t l = 0; l + 1 < chain.LineLengths.size(); ++l) {
            EXPECT_EQ(chain.LineLengths[l], 80u);
        }
        const std::size_t rest = chain.Points.size() % 5 == 0 ? 5 : chain.Points.size() % 5;
        EXPECT_EQ(chain.LineLengths.back(), 16 * rest) << "the last line is not padded";
        // The end points of a chain are its nodes.
        EXPECT_EQ(chain.Points.front(), file.Nodes.at(chain.StartNode));
        EXPECT_EQ(chain.Points.back(), file.Nodes.at(chain.EndNode));
        ++ends[chain.StartNode];
        ++ends[chain.EndNode];
    }
    for (const auto& [node, links] : file.NodeLinks) {
        EXPECT_EQ(links, ends[node])
            << "links counted at node " << node.first << "/" << node.second;
    }
    return file;
}

// The points of a reference in the direction it is used.
std::vector<TPointXY> Walk(const TVectorFile& file, const TRefRecord& ref)
{
    const TChainRecord* chain = file.FindChain(ref.Key1, ref.Key2);
    if (chain == nullptr) {
        ADD_FAILURE() << "reference to no chain: " << ref.Key1 << " " << ref.Key2;
        return {};
    }
    std::vector<TPointXY> points = chain->Points;
    if (ref.Reversed) {
        std::reverse(points.begin(), points.end());
    }
    return points;
}

void CheckReferenceLines(const TFeatureRecord& feature)
{
    for (std::size_t l = 0; l + 1 < feature.LineLengths.size(); ++l) {
        EXPECT_EQ(feature.LineLengths[l], 70u);
    }
    const std::size_t rest = feature.Refs.size() % 5 == 0 ? 5 : feature.Refs.size() % 5;
    EXPECT_EQ(feature.LineLengths.back(), 14 * rest);
}

TEST(Generator, LinkFilesHoldWellFormedChains)
{
    for (const char* code : {"L", "AL"}) {
        SCOPED_TRACE(code);
        const TVectorFile file = CheckVectorFile(Generate(Profile(code), 333, 9), 0, "");
        EXPECT_EQ(file.Chains.size(), 333u);
        EXPECT_TRUE(file.Features.empty());
        EXPECT_TRUE(file.Ledgers.empty());
    }
}

TEST(Generator, AreasAreRingsOfChainsThatClose)
{
    struct TCase
    {
        std::int64_t Areas;
        std::int64_t Chains;
    };
    for (const TCase c : {TCase{1, 0}, TCase{50, 0}, TCase{50, 200}, TCase{12, 31}}) {
        SCOPED_TRACE(std::to_string(c.Areas) + " areas, " + std::to_string(c.Chains) + " chains");
        const TVectorFile file =
            CheckVectorFile(Generate(Profile("A"), c.Areas, 5, c.Chains), 'A', "DA");
        ASSERT_EQ(file.Features.size(), static_cast<std::size_t>(c.Areas));
        if (c.Chains > 0) {
            EXPECT_EQ(file.Chains.size(), static_cast<std::size_t>(c.Chains));
        }
        int reversed = 0;
        for (const TFeatureRecord& area : file.Features) {
            SCOPED_TRACE(area.Header);
            ASSERT_GE(area.Refs.size(), 4u);
            CheckReferenceLines(area);
            std::vector<TPointXY> ring;
            for (const TRefRecord& ref : area.Refs) {
                const std::vector<TPointXY> points = Walk(file, ref);
                ASSERT_FALSE(points.empty());
                if (!ring.empty()) {
                    EXPECT_EQ(points.front(), ring.back()) << "chains of the ring do not meet";
                }
                ring.insert(ring.end(), points.begin(), points.end());
                reversed += ref.Reversed ? 1 : 0;
            }
            EXPECT_EQ(ring.front(), ring.back()) << "ring not closed";
        }
        if (c.Areas > 1) {
            EXPECT_GT(reversed, 0);
        }
    }
}

TEST(Generator, LinesAreChainsJoinedEndToEnd)
{
    const TVectorFile file = CheckVectorFile(Generate(Profile("S"), 80, 6), 'S', "DL");
    ASSERT_EQ(file.Features.size(), 80u);
    std::size_t multi = 0;
    for (const TFeatureRecord& line : file.Features) {
        SCOPED_TRACE(line.Header);
        CheckReferenceLines(line);
        multi += line.Refs.size() > 1 ? 1 : 0;
        std::vector<TPointXY> path;
        for (const TRefRecord& ref : line.Refs) {
            const std::vector<TPointXY> points = Walk(file, ref);
            ASSERT_FALSE(points.empty());
            if (!path.empty()) {
                EXPECT_EQ(points.front(), path.back());
            }
            path.insert(path.end(), points.begin(), points.end());
        }
    }
    EXPECT_GT(multi, 0u);
}

TEST(Generator, LedgersSpanTheLinesTheyCountAndMatchTheirRecords)
{
    struct TCase
    {
        const char* Code;
        char Letter;
        const char* Key;
    };
    for (const TCase c : {TCase{"S", 'S', "DL"}, TCase{"A", 'A', "DA"}}) {
        SCOPED_TRACE(c.Code);
        const TVectorFile file = CheckVectorFile(Generate(Profile(c.Code), 60, 8), c.Letter, c.Key);
        ASSERT_FALSE(file.Ledgers.empty());
        std::set<std::int64_t> attrs;
        std::size_t twoLine = 0;
        for (const TLedgerEntry& entry : file.Ledgers) {
            EXPECT_EQ(entry.Lines.front().size(), 96u) << "first lines are padded to one width";
            EXPECT_TRUE(attrs.insert(entry.Attr).second);
            twoLine += entry.Lines.size() == 2 ? 1 : 0;
        }
        EXPECT_GT(twoLine, 0u);
        EXPECT_LT(twoLine, file.Ledgers.size());
        // Every record that says it has a ledger names an entry, and every entry is named.
        std::set<std::int64_t> named;
        const auto collect = [&](const std::string& header) {
            if (IntOf(header.substr(33, 2)) == 1) {
                named.insert(IntOf(header.substr(35, 10)));
            }
        };
        for (const TChainRecord& chain : file.Chains) {
            collect(chain.Header);
        }
        for (const TFeatureRecord& feature : file.Features) {
            collect(feature.Header);
        }
        EXPECT_EQ(named, attrs);
    }
}

TEST(Generator, ImpossibleRequestsAreRefused)
{
    EXPECT_THROW(Generate(Profile("A"), 100, 1, 10), gen::TGenRequestError);
    EXPECT_THROW(Generate(Profile("S"), 50, 1, 3), gen::TGenRequestError);
    EXPECT_THROW(Generate(Profile("P"), -1, 1), gen::TGenRequestError);
}

TEST(Generator, EmptyRequestsGiveHeadersOnly)
{
    for (const char* code : {"M3", "P", "T", "L", "A", "PCSV2"}) {
        SCOPED_TRACE(code);
        const std::vector<std::string> lines = SplitCrLf(Generate(Profile(code), 0, 1)).Lines;
        const bool vector = std::string_view(code) == "L" || std::string_view(code) == "A";
        EXPECT_EQ(lines.size(), vector ? 2u : 1u);
    }
}

TEST(DataCodeOfMask, TakesTheTextBeforeTheFirstWildcard)
{
    const std::pair<const char*, const char*> cases[] = {
        {"L03-18M-*.dat", "L03-18M"}, {"L01-*P*.txt", "L01"}, {"S04*.txt", "S04"},
        {"X02_?.txt", "X02"},         {"*.csv", ""},          {"W14-52T.txt", "W14-52T.txt"},
    };
    for (const auto& [mask, code] : cases) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(gen::DataCodeOfMask(mask), code);
    }
}

} // namespace
