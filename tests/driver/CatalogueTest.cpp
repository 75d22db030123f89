// The data-item catalogue and the tree of data kinds.
#include "driver/Catalogue.h"

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::test::CrLf;
using tolvane::test::Sjis;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

std::vector<std::string> Captions(const std::vector<TDataKindNode>& nodes)
{
    std::vector<std::string> out;
    for (const auto& node : nodes) {
        out.push_back(node.Caption);
    }
    return out;
}

std::vector<std::int64_t> Indexes(const std::vector<TDataKindNode>& nodes)
{
    std::vector<std::int64_t> out;
    for (const auto& node : nodes) {
        out.push_back(node.ItemIndex);
    }
    return out;
}

} // namespace

TEST(ParseCatalogueLine, FieldsOfALine)
{
    const TCatalogueLine item = ParseCatalogueLine(
        Sjis("土地利用,m3_10,L03-*.dat,prm.txt,col.txt,TRUE,T,2,ldg.txt,土地,extra"));
    EXPECT_EQ(item.ItemName, Sjis("土地利用"));
    EXPECT_EQ(item.FormatCode, "M3_10");
    EXPECT_EQ(item.FileMask, "L03-*.dat");
    EXPECT_EQ(item.ParamFile, "prm.txt");
    EXPECT_EQ(item.ColumnFile, "col.txt");
    EXPECT_TRUE(item.HasLedger);
    EXPECT_EQ(item.LedgerKey, "T");
    EXPECT_EQ(item.LedgerLines, 2);
    EXPECT_EQ(item.LedgerFile, "ldg.txt");
    EXPECT_EQ(item.Category, Sjis("土地"));
    EXPECT_FALSE(item.IsLedgerOnly());
}

TEST(ParseCatalogueLine, LedgerFlagAndCountsAreLenient)
{
    for (const char* yes : {"1", "-1", "true", "TRUE"}) {
        EXPECT_TRUE(ParseCatalogueLine(std::string("a,P,m,p,c,") + yes).HasLedger) << yes;
    }
    for (const char* no : {"0", "no", ""}) {
        EXPECT_FALSE(ParseCatalogueLine(std::string("a,P,m,p,c,") + no).HasLedger) << no;
    }
    EXPECT_EQ(ParseCatalogueLine("a,t,m,p,c,1,T,x").LedgerLines, 0);
    EXPECT_TRUE(ParseCatalogueLine("a,t").IsLedgerOnly());
    const TCatalogueLine shortLine = ParseCatalogueLine("only");
    EXPECT_EQ(shortLine.ItemName, "only");
    EXPECT_EQ(shortLine.Category, "");
}

TEST(ParseCatalogueLine, QuotesKeepBlanksInNames)
{
    EXPECT_EQ(ParseCatalogueLine("\"A B\",P,m,p,c,0,,0,,Cat").ItemName, "A B");
    const TCatalogueLine split = ParseCatalogueLine("A B,P,m,p,c,0,,0,,Cat");
    EXPECT_EQ(split.ItemName, "A");
    EXPECT_EQ(split.FormatCode, "B");
    // Every later field moved by one: the category is now field 11 and lost.
    EXPECT_EQ(split.Category, "");
}

TEST(BuildDataKindTree, RunsOfCategoriesOpenNodes)
{
    const std::vector<std::string> lines{"i0,P,,,,,,,,A", "i1,P,,,,,,,,A", "i2,P,,,,,,,,B",
                                         "i3,P,,,,,,,,A"};
    const TDataKindTree tree = BuildDataKindTree(lines);
    ASSERT_EQ(Captions(tree), (std::vector<std::string>{"A", "B", "A"}));
    EXPECT_EQ(Indexes(tree[0].Children), (std::vector<std::int64_t>{0, 1, 3}));
    EXPECT_EQ(Indexes(tree[1].Children), (std::vector<std::int64_t>{2}));
    EXPECT_EQ(Indexes(tree[2].Children), (std::vector<std::int64_t>{0, 1, 3}));
    for (const auto& node : tree) {
        EXPECT_EQ(node.Level, 0);
        EXPECT_EQ(node.ItemIndex, -1);
        EXPECT_TRUE(node.Expanded);
        for (const auto& child : node.Children) {
            EXPECT_EQ(child.Level, 1);
        }
    }
    EXPECT_EQ(Captions(tree[0].Children), (std::vector<std::string>{"i0", "i1", "i3"}));
}

TEST(BuildDataKindTree, EmptyCategories)
{
    // An uncategorised first line opens no node and is listed nowhere; an empty line between
    // A and B opens a node with an empty caption that lists every line without a category.
    const std::vector<std::string> lines{"lost,P", "a1,P,,,,,,,,A", "", "b1,P,,,,,,,,B"};
    const TDataKindTree tree = BuildDataKindTree(lines);
    ASSERT_EQ(Captions(tree), (std::vector<std::string>{"A", "", "B"}));
    EXPECT_EQ(Indexes(tree[1].Children), (std::vector<std::int64_t>{0, 2}));
    EXPECT_EQ(Captions(tree[1].Children), (std::vector<std::string>{"lost", ""}));
    EXPECT_TRUE(BuildDataKindTree({}).empty());
    EXPECT_TRUE(BuildDataKindTree({"", ""}).empty());
}

TEST(LoadCatalogue, ReadsTheDefineFolder)
{
    TTempDir dir;
    WriteBytes(dir / "データ項目.txt", CrLf({Sjis("項目,P,*.txt,p,c,0,,0,,分類"), "", "x,T"}));
    const TCatalogue catalogue = LoadCatalogue(dir.Path());
    EXPECT_EQ(catalogue.Count(), 3);
    EXPECT_EQ(catalogue.Item(0).ItemName, Sjis("項目"));
    EXPECT_EQ(catalogue.Line(1), "");
    EXPECT_EQ(catalogue.DefineDir(), dir.Path());
    try {
        catalogue.Item(3);
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "リストのインデックスが範囲を超えています (3)");
    }
    EXPECT_THROW(catalogue.Line(-1), TDataError);
}

TEST(LoadCatalogue, MissingCatalogueRaisesFileOpenError)
{
    TTempDir dir;
    try {
        LoadCatalogue(dir.Path());
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.Text(), "ファイル \"" + (dir / "データ項目.txt").string() +
                                "\" は開けません。指定されたファイルが見つかりません。");
    }
}

TEST(DataCodeOfMask, TheCodeAtTheStartOfTheMask)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"L03-18M-*.dat", "L03-18M"},
        {"L03-51M*.txt", "L03-51M"},
        {"L01-*P*.txt", "L01-*P"},
        {"L02-*P-2K*.csv", "L02-*P"},
        {"l03-18m-*.dat", "L03-18M"},
        {"S04*.txt", "S04"},
        {"L03-*.dat", "L03"},
        {"*.csv", ""},
        {"m*.dat", ""},
        {"L3-18M.txt", ""},
    };
    for (const auto& [mask, code] : cases) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(DataCodeOfMask(mask), code);
    }
}

TEST(MatchesDataCode, AnOpenYearTakesDigitsOnly)
{
    EXPECT_TRUE(MatchesDataCode("L03-18M", "l03-18m"));
    EXPECT_TRUE(MatchesDataCode("L01-*P", "L01-08P"));
    EXPECT_TRUE(MatchesDataCode("L02-*P", "L02-2023P"));
    EXPECT_FALSE(MatchesDataCode("L01-*P", "L01-XP"));
    EXPECT_FALSE(MatchesDataCode("L03-18M", "L03-18"));
    EXPECT_FALSE(MatchesDataCode("L03-18M", "L03-18MX"));
}

TEST(LookUpItem, ByNameThenByDataCode)
{
    const TCatalogue catalogue("Define", {
                                             Sjis("山岳メッシュ,M3,G06-50M*.txt"),
                                             Sjis("細分,M3_10,L03-18M-*.dat"),
                                             Sjis("細分(点),M3_10P,L03-18M-*.dat"),
                                             Sjis("地価公示,P,L01-*P*.txt"),
                                             Sjis("L01-08P,P,*.txt"),
                                             Sjis("地点CSV,PCSV,*.csv"),
                                         });
    using TItems = std::vector<std::int64_t>;
    EXPECT_EQ(LookUpItem(catalogue, "山岳メッシュ").Items, TItems{0});
    EXPECT_EQ(LookUpItem(catalogue, "g06-50m").Items, TItems{0});
    EXPECT_EQ(LookUpItem(catalogue, "L03-18M").Items, (TItems{1, 2}));
    EXPECT_EQ(LookUpItem(catalogue, "L03").Items, (TItems{1, 2}));
    // A name wins over a data code it happens to spell.
    EXPECT_EQ(LookUpItem(catalogue, "L01-08P").Items, TItems{4});
    EXPECT_EQ(LookUpItem(catalogue, "L01-96P").Items, TItems{3});

    const TItemLookup unknown = LookUpItem(catalogue, "L03-51M");
    EXPECT_TRUE(unknown.Items.empty());
    EXPECT_EQ(unknown.Candidates, (TItems{1, 2}));
    EXPECT_EQ(LookUpItem(catalogue, "細分").Items, TItems{1});
    EXPECT_EQ(LookUpItem(catalogue, "山岳").Candidates, TItems{0});
    EXPECT_TRUE(LookUpItem(catalogue, "X99").Candidates.empty());
    EXPECT_TRUE(LookUpItem(catalogue, "").Items.empty());
}
