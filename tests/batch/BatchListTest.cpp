// The batch list file and the combinability rule.
#include "batch/BatchList.h"

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "support/TestSupport.h"

using namespace tolvane::batch;
using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::test::CrLf;
using tolvane::test::ReadBytes;
using tolvane::test::Sjis;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

TBatchEntry Entry(std::int64_t item, std::string src, std::string dst, std::int64_t coordSys)
{
    TBatchEntry entry;
    entry.ItemIndex = item;
    entry.SrcFile = std::move(src);
    entry.DstFile = std::move(dst);
    entry.CoordSysIndex = coordSys;
    return entry;
}

class BatchFile : public ::testing::Test
{
protected:
    BatchFile()
        : Catalogue(Dir.Path(), {Sjis("土地利用,M3,*,p,c,0,,0,,A"), Sjis("地価,P,*,p,c,0,,0,,B"),
                                 Sjis("台帳,T,*,,,1,T,1,l,C")})
    {
    }

    // Loads `lines` (CR LF) into List and returns what was raised, if anything.
    void Load(const std::vector<std::string>& lines)
    {
        WriteBytes(Dir / "list.txt", CrLf(lines));
        LoadBatchFile(Dir / "list.txt", Catalogue, List);
    }

    TTempDir Dir;
    TCatalogue Catalogue;
    TBatchList List;
};

} // namespace

TEST_F(BatchFile, SaveWritesTheExactFormat)
{
    List.Combine = true;
    List.CombineFile = "/out/全国.mif";
    List.Entries = {Entry(0, "/data/a b.txt", "/out/東京.mif", 2), Entry(1, "x", "y", 0)};
    SaveBatchFile(Dir / "list.txt", List);
    EXPECT_EQ(ReadBytes(Dir / "list.txt"),
              CrLf({"tolvane", "200", "-1", Sjis("/out/全国.mif"),
                    "\"0\"\t\"/data/a b.txt\"\t\"" + Sjis("/out/東京.mif") + "\"\t\"2\"",
                    "\"1\"\t\"x\"\t\"y\"\t\"0\""}));
    List.Combine = false;
    List.Entries.clear();
    List.CombineFile.clear();
    SaveBatchFile(Dir / "list.txt", List);
    EXPECT_EQ(ReadBytes(Dir / "list.txt"), CrLf({"tolvane", "200", "0", ""}));
}

TEST_F(BatchFile, RoundTripKeepsRowsAndSettings)
{
    List.Combine = true;
    List.CombineFile = "merged file.mif";
    List.Entries = {Entry(0, "/データ/ソース 1.txt", "/出力/a.mif", 0),
                    Entry(1, "/q\"uote\".txt", "tab\there.mif", 1), Entry(0, "s", "d", 7)};
    List.Entries[0].Status = TEntryStatus::Converted;
    List.Entries[1].Status = TEntryStatus::Failed;
    SaveBatchFile(Dir / "list.txt", List);
    // The list remembers its file, which its run must never write.
    EXPECT_EQ(List.FileName, Dir / "list.txt");

    TBatchList loaded;
    loaded.Entries.push_back(Entry(2, "old", "old", 0));
    LoadBatchFile(Dir / "list.txt", Catalogue, loaded);
    EXPECT_EQ(loaded.FileName, Dir / "list.txt");
    EXPECT_TRUE(loaded.Combine);
    EXPECT_EQ(loaded.CombineFile, "merged file.mif");
    ASSERT_EQ(loaded.Entries.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(loaded.Entries[i].ItemIndex, List.Entries[i].ItemIndex);
        EXPECT_EQ(loaded.Entries[i].SrcFile, List.Entries[i].SrcFile);
        EXPECT_EQ(loaded.Entries[i].DstFile, List.Entries[i].DstFile);
        EXPECT_EQ(loaded.Entries[i].CoordSysIndex, List.Entries[i].CoordSysIndex);
        EXPECT_EQ(loaded.Entries[i].Status, TEntryStatus::None);
    }
    EXPECT_EQ(loaded.Entries[0].ItemName, Sjis("土地利用"));
    EXPECT_EQ(loaded.Entries[1].ItemName, Sjis("地価"));
}

TEST_F(BatchFile, HeaderVariants)
{
    Load({"  TOLVANE \t", "200   ", "0", "", "\"1\"\t\"s\"\t\"d\"\t\"0\""});
    EXPECT_EQ(List.Entries.size(), 1U);
    Load({"tolvane", "200", "1", "merged.mif"});
    EXPECT_TRUE(List.Entries.empty());
    EXPECT_TRUE(List.Combine);
    EXPECT_EQ(List.CombineFile, "merged.mif");

    for (const auto& bad : std::vector<std::vector<std::string>>{{"tolvane", "200", "0"},
                                                                 {"tolvanex", "200", "0", ""},
                                                                 {"tolvane", "100", "0", ""},
                                                                 {}}) {
        List.Entries = {Entry(0, "a", "b", 0)};
        List.Combine = true;
        List.CombineFile = "keep.mif";
        try {
            Load(bad);
            FAIL() << "no error";
        } catch (const TBatchFileInvalid& e) {
            EXPECT_EQ(e.Text(), "不正なバッチリストです。");
        }
        EXPECT_TRUE(List.Entries.empty());
        EXPECT_TRUE(List.Combine);
        EXPECT_EQ(List.CombineFile, "keep.mif");
    }
}

TEST(IsBatchListFile, RecognisesTheFirstLineOnly)
{
    TTempDir dir;
    struct TCase
    {
        const char* Name;
        std::string Bytes;
        bool Expected;
    };
    const TCase cases[] = {
        {"a list", "tolvane\r\n200\r\n", true},
        {"capitals between blanks", " \tTOLVANE  \n", true},
        {"the magic alone", "tolvane", true},
        {"another first line", "tolvanex\r\n200\r\n", false},
        {"a KSJ file", "H L03-18M ...\r\n", false},
        {"a long first line", std::string(100, ' ') + "tolvane", false},
        {"empty", "", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBytes(dir / "f.txt", c.Bytes);
        EXPECT_EQ(IsBatchListFile(dir / "f.txt"), c.Expected);
    }
    EXPECT_FALSE(IsBatchListFile(dir / "missing.txt"));
    EXPECT_FALSE(IsBatchListFile(dir.Path())); // a folder
}

TEST_F(BatchFile, MergeFlagSpellings)
{
    for (const char* yes : {"-1", "1", "true"}) {
        List.Combine = false;
        Load({"tolvane", "200", yes, ""});
        EXPECT_TRUE(List.Combine) << yes;
    }
    for (const char* no : {"0", "FALSE"}) {
        List.Combine = true;
        Load({"tolvane", "200", no, ""});
        EXPECT_FALSE(List.Combine) << no;
    }
    List.Combine = true;
    try {
        Load({"tolvane", "200", "maybe", "x", "\"0\"\t\"s\"\t\"d\"\t\"0\""});
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'maybe' は正しい論理型ではありません");
        EXPECT_EQ(e.LineNo(), 3);
    }
    EXPECT_TRUE(List.Entries.empty());
    EXPECT_TRUE(List.Combine);
}

TEST_F(BatchFile, BadEntryLineStopsTheLoadKeepingEarlierRows)
{
    const std::string good = "\"0\"\t\"s\"\t\"d\"\t\"0\"";
    struct TCase
    {
        std::string line;
        std::string text;
    };
    const TCase cases[] = {
        {"\"x\"\t\"s\"\t\"d\"\t\"0\"", "'x' は整数ではありません"},
        {"\"0\"\t\"s\"\t\"d\"\t\"\"", "'' は整数ではありません"},
        {"", "'' は整数ではありません"},
        {"\"3\"\t\"s\"\t\"d\"\t\"0\"", "リストのインデックスが範囲を超えています (3)"},
        {"\"-1\"\t\"s\"\t\"d\"\t\"0\"", "リストのインデックスが範囲を超えています (-1)"},
        {"0\ta b\tc\t0", "'c' は整数ではありません"}, // an unquoted blank shifts the fields
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.line);
        try {
            Load({"tolvane", "200", "0", "", good, good, c.line, good});
            FAIL() << "no error";
        } catch (const TDataError& e) {
            EXPECT_EQ(e.Text(), c.text);
            EXPECT_EQ(e.FileName(), (Dir / "list.txt").string());
            EXPECT_EQ(e.LineNo(), 7);
        }
        EXPECT_EQ(List.Entries.size(), 2U);
    }
}

TEST_F(BatchFile, OddButReadableEntries)
{
    // A coordinate system outside 0 to 2, a ledger-only item, a missing source: all load.
    Load({"tolvane", "200", "0", "", "\"2\"\t\"/no/such\"\t\"d\"\t\"9\""});
    ASSERT_EQ(List.Entries.size(), 1U);
    EXPECT_EQ(List.Entries[0].CoordSysIndex, 9);
    EXPECT_EQ(tolvane::shapes::CoordSysName(9), "");
    EXPECT_EQ(tolvane::shapes::CoordSysName(1), "緯度/経度（WGS84）");
}

TEST_F(BatchFile, PathsShiftJisCannotWriteAreRefused)
{
    List.Entries = {Entry(0, "/data/😀.txt", "d", 0)};
    EXPECT_THROW(SaveBatchFile(Dir / "list.txt", List), TDataError);
    EXPECT_FALSE(std::filesystem::exists(Dir / "list.txt"));
    EXPECT_THROW(LoadBatchFile(Dir / "missing.txt", Catalogue, List), TFileError);
}

TEST(IsCombinable, SameItemAndCoordinateSystem)
{
    EXPECT_FALSE(IsCombinable({}));
    EXPECT_FALSE(IsCombinable({Entry(0, "a", "b", 0)}));
    EXPECT_TRUE(IsCombinable({Entry(0, "a", "b", 0), Entry(0, "c", "d", 0)}));
    EXPECT_FALSE(IsCombinable({Entry(0, "a", "b", 0), Entry(0, "c", "d", 1)}));
    EXPECT_FALSE(IsCombinable({Entry(0, "a", "b", 0), Entry(1, "c", "d", 0)}));
    EXPECT_TRUE(
        IsCombinable({Entry(2, "a", "b", 1), Entry(2, "a", "b", 1), Entry(2, "x", "y", 1)}));
}
