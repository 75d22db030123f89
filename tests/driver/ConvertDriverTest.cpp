// One conversion job end to end on small Define folders, with test converters.
#include "driver/ConvertDriver.h"

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "driver/JobFiles.h"
#include "mif/uniMifUtils.h"
#include "support/TestConverter.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::test::ConvertRecorded;
using tolvane::test::CountOpenFds;
using tolvane::test::CrLf;
using tolvane::test::MakeSymlink;
using tolvane::test::ReadBytes;
using tolvane::test::Sjis;
using tolvane::test::TRecordingObserver;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

constexpr tolvane::ksj::TConverterEntry kTestTable[] = {
    {"TP", &tolvane::test::ConvertTestPoints<2>, false, false},
    {"TC", &tolvane::test::ConvertTestPoints<2>, false, true}};

const std::string kHeader97 = "Version 300\r\nCharset \"WindowsJapanese\"\r\nDelimiter \",\"\r\n"
                              "CoordSys Earth Projection 1, 97\r\n";

class ConvertDriver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Define = Dir / "Define";
        std::filesystem::create_directory(Define);
        WriteBytes(Define / "prm.txt", CrLf({"unused", "6", "0", "1"}));
        WriteBytes(Define / "col.txt", CrLf({"CODE,schar,2,3", Sjis("名前,char,5,6")}));
        WriteBytes(Define / "ldg.txt", CrLf({"KEY,,4,3", Sjis("名称,,7,6")}));
        SetCatalogue({
            Sjis("点データ,tp,*.txt,prm.txt,col.txt,0,,0,,分類"),            // 0
            Sjis("点と台帳,TP,*.txt,prm.txt,col.txt,1,T,1,ldg.txt,分類"),    // 1
            Sjis("台帳のみ,T,*.txt,,,1,T,1,ldg.txt,台帳"),                   // 2
            Sjis("台帳なし,T,*.txt,,,0,,0,,台帳"),                           // 3
            Sjis("未知の形式,ZZ,*.txt,prm.txt,col.txt,0,,0,,他"),            // 4
            Sjis("パラメータなし,TP,*.txt,nothere.txt,col.txt,0,,0,,他"),    // 5
            Sjis("台帳定義なし,TP,*.txt,prm.txt,col.txt,1,T,1,none.txt,他"), // 6
            Sjis("写しつき,TC,*.txt,prm.txt,col.txt,0,,0,,他"),              // 7
        });
        Source = Dir / "source.txt";
        WriteBytes(Source, CrLf({"H header", "P001  " + Sjis("東京"), "T  001" + Sjis("台帳"),
                                 "P002  x,y"}));
    }

    void SetCatalogue(const std::vector<std::string>& lines)
    {
        WriteBytes(Define / u8"データ項目.txt", CrLf(lines));
        Catalogue = LoadCatalogue(Define);
    }

    TJobResult Convert(std::int64_t item, const std::filesystem::path& dst,
                       std::int64_t coordSys = 0)
    {
        return ConvertRecorded(Catalogue, item, Source, dst, coordSys, Observer, kTestTable);
    }

    TTempDir Dir;
    std::filesystem::path Define;
    std::filesystem::path Source;
    TCatalogue Catalogue;
    TRecordingObserver Observer;
};

} // namespace

TEST_F(ConvertDriver, ConvertsPointsWithLedger)
{
    const TJobResult result = Convert(1, Dir / "out.mif");
    ASSERT_TRUE(result);
    // The result says what was written.
    EXPECT_EQ(result.Objects, 2);
    EXPECT_EQ(result.LedgerRows, 1);
    EXPECT_EQ(result.Files, (std::vector<std::filesystem::path>{Dir / "out.mif", Dir / "out.mid",
                                                                Dir / "out.csv"}));
    EXPECT_TRUE(result.Warnings.empty());
    EXPECT_EQ(ReadBytes(Dir / "out.mif"),
              kHeader97 + "Columns 2\r\nCODE Char(20)\r\n" + Sjis("名前") +
                  " Char(100)\r\nData\r\n\r\nPoint 139.50000000 35.50000000\r\n"
                  "Point 139.50000000 35.50000000\r\n");
    EXPECT_EQ(ReadBytes(Dir / "out.mid"), CrLf({"001," + Sjis("東京"), "002,\"x,y\""}));
    EXPECT_EQ(ReadBytes(Dir / "out.csv"),
              CrLf({"\"KEY\",\"" + Sjis("名称") + "\"", "\"001\",\"" + Sjis("台帳") + "\""}));

    EXPECT_EQ(Observer.Statuses, (std::vector<std::string>{"", "変換の準備をしています。",
                                                           "点と台帳を変換しています。",
                                                           "台帳データを変換しています。",
                                                           "変換の後処理をしています。", ""}));
    EXPECT_EQ(Observer.Maxima, (std::vector<std::int64_t>{4, 8}));
    // Pumps at every second line of the converter; then the bar runs full, back to 0, hidden.
    EXPECT_EQ(Observer.Positions, (std::vector<std::int64_t>{2, 4, 8, 0}));
    EXPECT_EQ(Observer.EventPumps, 2);
    EXPECT_EQ(Observer.Visibility, (std::vector<bool>{true, false}));
    EXPECT_TRUE(Observer.Failures.empty());
}

TEST_F(ConvertDriver, CancelStopsAtThePumpAndIsNoFailure)
{
    Observer.CancelAfterPumps = 1;
    EXPECT_THROW(Convert(1, Dir / "out.mif"), tolvane::base::TJobCancelled);
    EXPECT_EQ(Observer.EventPumps, 1);
    EXPECT_TRUE(Observer.Failures.empty());
    // The status ends cleared and the bar hidden, as after any job.
    EXPECT_EQ(Observer.Statuses.back(), "");
    EXPECT_EQ(Observer.Visibility.back(), false);
    EXPECT_STREQ(tolvane::base::TJobCancelled().what(), "変換を中止しました。");
}

TEST_F(ConvertDriver, CoordinateSystemClauses)
{
    const std::pair<int, std::string> cases[] = {{1, "CoordSys Earth Projection 1, 104\r\n"},
                                                 {2, "CoordSys Earth Projection 1, 33\r\n"},
                                                 {7, "CoordSys \r\n"},
                                                 {-1, "CoordSys \r\n"}};
    for (const auto& [index, line] : cases) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(Convert(0, Dir / "c.mif", index));
        EXPECT_NE(ReadBytes(Dir / "c.mif").find("Delimiter \",\"\r\n" + line), std::string::npos);
    }
}

TEST_F(ConvertDriver, DestinationWithoutExtension)
{
    ASSERT_TRUE(Convert(0, Dir / "result"));
    EXPECT_TRUE(std::filesystem::exists(Dir / "result"));
    EXPECT_TRUE(std::filesystem::exists(Dir / "result.mid"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "result.csv"));
}

TEST_F(ConvertDriver, LedgerOnlyItems)
{
    ASSERT_TRUE(Convert(2, Dir / "t.mif"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "t.mif"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "t.mid"));
    EXPECT_EQ(ReadBytes(Dir / "t.csv"),
              CrLf({"\"KEY\",\"" + Sjis("名称") + "\"", "\"001\",\"" + Sjis("台帳") + "\""}));
    EXPECT_EQ(Observer.Maxima, (std::vector<std::int64_t>{4})); // not doubled: one pass only

    // Without a ledger a ledger-only item writes nothing at all, and succeeds.
    ASSERT_TRUE(Convert(3, Dir / "u.csv"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "u.csv"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "u.mid"));
}

TEST_F(ConvertDriver, CodeWithoutConverterWritesHeaderOnly)
{
    ASSERT_TRUE(Convert(4, Dir / "z.mif"));
    EXPECT_EQ(ReadBytes(Dir / "z.mif"), kHeader97 + "Columns 2\r\nCODE Char(20)\r\n" +
                                            Sjis("名前") + " Char(100)\r\nData\r\n\r\n");
    EXPECT_EQ(ReadBytes(Dir / "z.mid"), "");
}

TEST_F(ConvertDriver, ConverterRowThatWritesACsvCopyGetsOneBesideTheMif)
{
    // The table row alone decides: no code of the driver names the format.
    WriteBytes(Dir / "c.csv", "earlier");
    ASSERT_TRUE(Convert(7, Dir / "c.mif"));
    EXPECT_EQ(ReadBytes(Dir / "c.csv"), CrLf({"\"P001  " + Sjis("東京") + "\"", "\"P002  x,y\""}));
    EXPECT_EQ(ReadBytes(Dir / "c.mid"), CrLf({"001," + Sjis("東京"), "002,\"x,y\""}));
    // A failed job leaves the earlier copy as it was.
    WriteBytes(Source, CrLf({"P001", "BAD"}));
    WriteBytes(Dir / "c.csv", "earlier");
    EXPECT_FALSE(Convert(7, Dir / "c.mif"));
    EXPECT_EQ(ReadBytes(Dir / "c.csv"), "earlier");
}

TEST_F(ConvertDriver, EmptySource)
{
    WriteBytes(Source, "");
    ASSERT_TRUE(Convert(0, Dir / "e.mif"));
    EXPECT_EQ(Observer.Maxima, (std::vector<std::int64_t>{0}));
    EXPECT_EQ(ReadBytes(Dir / "e.mid"), "");
}

TEST_F(ConvertDriver, MissingParameterFileIsRaisedWithFilesClosed)
{
    const int fds = CountOpenFds();
    try {
        Convert(5, Dir / "p.mif");
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.Text(), "ファイル \"" + (Define / "nothere.txt").string() +
                                "\" は開けません。指定されたファイルが見つかりません。");
    }
    EXPECT_EQ(CountOpenFds(), fds);
    EXPECT_EQ(ReadBytes(Dir / "p.mif"), "");
    EXPECT_EQ(ReadBytes(Dir / "p.mid"), "");
    // The bar does not stay behind after a job that could not start.
    EXPECT_EQ(Observer.Visibility.back(), false);
    EXPECT_EQ(Observer.Statuses.back(), "");

    // Once the file exists, a second attempt to the same destination works.
    WriteBytes(Define / "nothere.txt", CrLf({"x", "1", "0", "1"}));
    EXPECT_TRUE(Convert(5, Dir / "p.mif"));
    EXPECT_NE(ReadBytes(Dir / "p.mif").find("Point"), std::string::npos);
}

TEST_F(ConvertDriver, ConverterErrorMidFileFailsWithItsPlace)
{
    WriteBytes(Source, CrLf({"P001", "P002", "BAD", "P003"}));
    const int fds = CountOpenFds();
    EXPECT_FALSE(Convert(0, Dir / "f.mif"));
    EXPECT_EQ(CountOpenFds(), fds);
    const std::string mif = ReadBytes(Dir / "f.mif");
    EXPECT_EQ(mif.substr(mif.find("Data")), "Data\r\n\r\nPoint 139.50000000 35.50000000\r\n"
                                            "Point 139.50000000 35.50000000\r\n");
    EXPECT_EQ(ReadBytes(Dir / "f.mid"), CrLf({"001,", "002,"}));
    ASSERT_EQ(Observer.Failures.size(), 1U);
    EXPECT_EQ(Observer.Failures[0], Source.string() + ":3: 'BAD' は整数ではありません");
    EXPECT_EQ(Observer.Statuses.back(), "");
}

TEST_F(ConvertDriver, BadColumnDefinitionNamesTheDefinitionFile)
{
    WriteBytes(Define / "col.txt", CrLf({"CODE,schar,2,3", "X,char,five,1"}));
    EXPECT_FALSE(Convert(0, Dir / "b.mif"));
    ASSERT_EQ(Observer.Failures.size(), 1U);
    EXPECT_EQ(Observer.Failures[0],
              (Define / "col.txt").string() + ":2: 'five' は整数ではありません");
}

TEST_F(ConvertDriver, MissingLedgerDefinitionLeavesCompleteMifAndMid)
{
    EXPECT_FALSE(Convert(6, Dir / "m.mif"));
    EXPECT_NE(ReadBytes(Dir / "m.mif").find("Point"), std::string::npos);
    EXPECT_EQ(ReadBytes(Dir / "m.mid"), CrLf({"001," + Sjis("東京"), "002,\"x,y\""}));
    EXPECT_FALSE(std::filesystem::exists(Dir / "m.csv"));
    ASSERT_EQ(Observer.Failures.size(), 1U);
    EXPECT_NE(Observer.Failures[0].find("none.txt"), std::string::npos);
}

TEST_F(ConvertDriver, ErrorsBeforeTheJobStarts)
{
    EXPECT_THROW(Convert(99, Dir / "i.mif"), TDataError);
    EXPECT_THROW(Convert(-1, Dir / "i.mif"), TDataError);
    EXPECT_FALSE(std::filesystem::exists(Dir / "i.mif"));

    WriteBytes(Source, "");
    std::filesystem::remove(Source);
    EXPECT_THROW(Convert(0, Dir / "i.mif"), TFileError);
    EXPECT_THROW(ConvertRecorded(Catalogue, 0, Dir.Path(), Dir / "i.mif", 0, Observer, kTestTable),
                 TFileError);
    EXPECT_FALSE(std::filesystem::exists(Dir / "i.mif"));
}

TEST_F(ConvertDriver, NeverWritesOverItsSource)
{
    const std::string original = ReadBytes(Source);
    std::filesystem::create_directory(Dir / "sub");
    std::vector<std::filesystem::path> spellings = {Source, Dir / "sub" / ".." / "source.txt"};
    if (MakeSymlink(Source, Dir / "link.txt")) {
        spellings.push_back(Dir / "link.txt");
    }
    for (const auto& dst : spellings) {
        SCOPED_TRACE(dst);
        try {
            Convert(0, dst);
            FAIL() << "no error";
        } catch (const TFileError& e) {
            EXPECT_NE(e.Text().find("変換元のファイルと同じです"), std::string::npos);
        }
    }
    // The sibling the job would create is the source.
    const auto asMid = Dir / "data.mid";
    WriteBytes(asMid, original);
    EXPECT_THROW(ConvertRecorded(Catalogue, 0, asMid, Dir / "data.mif", 0, Observer, kTestTable),
                 TFileError);
    const auto asCsv = Dir / "data.csv";
    WriteBytes(asCsv, original);
    EXPECT_THROW(ConvertRecorded(Catalogue, 2, asCsv, Dir / "data.mif", 0, Observer, kTestTable),
                 TFileError);
    EXPECT_EQ(ReadBytes(Source), original);
    EXPECT_EQ(ReadBytes(asMid), original);
    EXPECT_EQ(ReadBytes(asCsv), original);
    EXPECT_FALSE(std::filesystem::exists(Dir / "data.mif"));
}

TEST_F(ConvertDriver, OutputsThatWouldBeOneFileAreRefused)
{
    // "x.mid" as the MIF makes the MID the same file.
    EXPECT_THROW(Convert(0, Dir / "x.mid"), TFileError);
    EXPECT_FALSE(std::filesystem::exists(Dir / "x.mid"));
    // With a ledger, "x.csv" as the MIF makes the CSV the same file.
    EXPECT_THROW(Convert(1, Dir / "x.csv"), TFileError);
    EXPECT_FALSE(std::filesystem::exists(Dir / "x.csv"));
}

#ifndef _WIN32 // a full disk to write to: Linux's /dev/full
TEST_F(ConvertDriver, FullDiskFailsTheJobWithTheReason)
{
    std::filesystem::create_symlink("/dev/full", Dir / "full.mif");
    const int fds = CountOpenFds();
    EXPECT_FALSE(Convert(0, Dir / "full.mif"));
    EXPECT_EQ(CountOpenFds(), fds);
    ASSERT_EQ(Observer.Failures.size(), 1U);
    EXPECT_NE(Observer.Failures[0].find("ディスクに十分な空き領域がありません"), std::string::npos);
}
#endif

TEST_F(ConvertDriver, DefineFileNamesStayInsideTheDefineFolder)
{
    WriteBytes(Dir / "outside.txt", CrLf({"NAME,char,1,3"}));
    const std::string outside = (Dir / "outside.txt").string();
    const struct
    {
        std::string Line;
        std::string Name;
    } cases[] = {
        {"x,TP,*,../outside.txt,col.txt,0,,0,,A", "../outside.txt"},
        {"x,TP,*,prm.txt," + outside + ",0,,0,,A", outside},
        {"x,TP,*,prm.txt,sub/col.txt,0,,0,,A", "sub/col.txt"},
        {"x,TP,*,prm.txt,..,0,,0,,A", ".."},
        {"x,T,*,,,1,T,1,..\\ldg.txt,A", "..\\ldg.txt"},
        {"x,TP,*,prm.txt,col.txt,1,T,1," + outside + ",A", outside},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Line);
        SetCatalogue({Sjis("点データ,TP,*.txt,prm.txt,col.txt,0,,0,,分類"), c.Line});
        try {
            Convert(1, Dir / "d.mif");
            ADD_FAILURE() << "no error";
        } catch (const TDataError& e) {
            EXPECT_STREQ(e.what(), ((Define / u8"データ項目.txt").string() + ":2: '" + c.Name +
                                    "' は Define フォルダーの中のファイル名ではありません。フォ"
                                    "ルダーを含まないファイル名を書いてください")
                                       .c_str());
        }
        EXPECT_FALSE(std::filesystem::exists(Dir / "d.mif"));
        EXPECT_FALSE(std::filesystem::exists(Dir / "d.csv"));
    }
}

TEST_F(ConvertDriver, InputChecksWarnAndNeverStopTheJob)
{
    SetCatalogue({Sjis("地価,TP,L01-*P*.txt,prm.txt,col.txt,0,,0,,分類"),
                  Sjis("台帳,T,W14-*.txt,,,1,T,1,ldg.txt,台帳")});
    // The header line: the data code at bytes 14 to 23, the line count at 34 to 41.
    const auto header = [](const std::string& code, const std::string& lines) {
        std::string line = "H  GSI       " + code;
        line.resize(23, ' ');
        line += "  11996 19";
        return line + std::string(8 - lines.size(), ' ') + lines;
    };
    const std::string codeWarning =
        "見出し行のデータコード \"G06-50M\" はデータ項目「地価」のファイル名 (L01-*P*.txt) "
        "に合いません。別のデータ項目のファイルかもしれません";
    const struct
    {
        const char* Name;
        std::int64_t Item;
        std::string Source;
        std::vector<std::string> Warnings;
    } cases[] = {
        {"fits", 0, CrLf({header("L01-08P", "3"), "P001", "P002"}), {}},
        {"another item's file", 0, CrLf({header("G06-50M", "3"), "P001", "P002"}), {codeWarning}},
        {"truncated",
         0,
         CrLf({header("L01-08P", "5"), "P001", "P002"}),
         {"見出し行ではファイルは 5 行ですが、実際には 3 行あります。ファイルが途中で切れていな"
          "いか確かめてください"}},
        // Counted as the converters read: the Ctrl-Z ends the file, a lone CR ends no line.
        {"end mark after the last line", 0, CrLf({header("L01-08P", "2"), "P001"}) + "\x1A", {}},
        {"end mark line", 0, CrLf({header("L01-08P", "2"), "P001", "\x1A"}), {}},
        {"lone CR", 0, CrLf({header("L01-08P", "2"), "P0\r01"}), {}},
        {"truncated before the end mark",
         0,
         CrLf({header("L01-08P", "4"), "P001", "\x1A"}),
         {"見出し行ではファイルは 4 行ですが、実際には 2 行あります。ファイルが途中で切れていな"
          "いか確かめてください"}},
        {"no line count", 0, CrLf({header("L01-08P", ""), "P001"}), {}},
        {"no header", 0, CrLf({"P001"}), {}},
        {"no object",
         0,
         CrLf({header("L01-08P", "2"), "X"}),
         {"オブジェクトを 1 つも書き出しませんでした。変換元のファイルとデータ項目が合っているか"
          "確かめてください"}},
        {"no ledger row",
         1,
         CrLf({"P001"}),
         {"台帳の行を 1 つも書き出しませんでした。変換元のファイルとデータ項目が合っているか確か"
          "めてください"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBytes(Source, c.Source);
        const TJobResult result = Convert(c.Item, Dir / "w.mif");
        EXPECT_TRUE(result);
        EXPECT_EQ(result.Warnings, c.Warnings);
    }
}

TEST_F(ConvertDriver, FileNameWhoseDatumIsNotTheChoiceWarns)
{
    const std::string jgdTokyo =
        "ファイル名の \"-jgd\" は座標が JGD2000 (世界測地系) であることを示しますが、選んだ座標系"
        "は tokyo (緯度/経度（東京）) です。座標系の選択は変換元の座標の測地系を示すだけで、座標"
        "は動きません。このファイルには jgd2000 (緯度/経度（世界測地系）) を選んでください";
    const struct
    {
        const char* Name;
        std::int64_t CoordSys;
        bool Warns;
    } cases[] = {
        {"L03-18M-13-jgd.dat", 0, true},
        {"L03-18M-13-jgd.dat", 1, true},
        {"L03-18M-13-JGD.dat", 2, false},
        {"P05-tky.txt", 2, true},
        {"P05-tky.txt", 0, false},
        {"P05-tky.txt", 7, true},
        {"x-jgd2011_13.txt", 0, true},
        {"x-jgdx.txt", 0, false},
        {"jgd.txt", 0, false},
    };
    const std::string bytes = ReadBytes(Source);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " " + std::to_string(c.CoordSys));
        Source = Dir / c.Name;
        WriteBytes(Source, bytes);
        const TJobResult result = Convert(0, Dir / "d.mif", c.CoordSys);
        EXPECT_TRUE(result);
        EXPECT_EQ(result.Warnings.size(), c.Warns ? 1U : 0U);
    }
    Source = Dir / "L03-18M-13-jgd.dat";
    EXPECT_EQ(Convert(0, Dir / "d.mif", 0).Warnings, std::vector<std::string>{jgdTokyo});
}

TEST_F(ConvertDriver, TheDestinationsExtensionPicksTheFormatAndItsFiles)
{
    // Each file as "role path format [layers]".
    const auto describe = [](const TJobFiles& files) {
        std::string out;
        for (const TJobFile& file : files) {
            out += std::to_string(static_cast<int>(file.Role)) + " " +
                   file.Path.filename().string() + " " +
                   std::to_string(static_cast<int>(file.Format));
            for (const TJobLayer& layer : file.Layers) {
                out += " " + std::to_string(static_cast<int>(layer.Role)) + ":" + layer.Name;
            }
            out += "; ";
        }
        return out;
    };
    // Roles: 0 objects, 1 rows, 2 ledger, 3 CSV copy. Formats: 0 MIF, 1 MID, 2 CSV, 3 UTF-8 CSV,
    // 4 GeoPackage, 5 GeoJSON.
    const struct
    {
        std::int64_t Item;
        const char* Destination;
        const char* Files;
        const char* Merged;
    } cases[] = {
        {1, "a.gpkg", "0 a.gpkg 4 0:a 2:a_ledger; ", "0 a.gpkg 4 0:a 2:a_ledger; "},
        {7, "a.b.GPKG", "0 a.b.GPKG 4 0:a.b 3:a.b_csv; ", "0 a.b.GPKG 4 0:a.b; "},
        {2, "t.gpkg", "2 t.gpkg 4 2:t_ledger; ", "2 t.gpkg 4 2:t_ledger; "},
        {3, "t.gpkg", "", ""},
        {1, "a.geojson", "0 a.geojson 5 0:a; 2 a.csv 3; ", "0 a.geojson 5 0:a; 2 a.csv 3; "},
        {7, "a.Json", "0 a.Json 5 0:a; 3 a.csv 3; ", "0 a.Json 5 0:a; "},
        {2, "t.json", "2 t.csv 3; ", "2 t.csv 3; "},
        {1, "gpkg", "0 gpkg 0; 1 gpkg.mid 1; 2 gpkg.csv 2; ",
         "0 gpkg 0; 1 gpkg.mid 1; 2 gpkg.csv 2; "},
        {7, "a.txt", "0 a.txt 0; 1 a.mid 1; 3 a.csv 2; ", "0 a.txt 0; 1 a.mid 1; "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Destination);
        const TCatalogueLine item = Catalogue.Item(c.Item);
        EXPECT_EQ(describe(ListJobFiles(item, Dir / c.Destination, kTestTable)), c.Files);
        EXPECT_EQ(describe(ListMergedFiles(item, Dir / c.Destination, kTestTable)), c.Merged);
    }
    EXPECT_EQ(describe(ListPossibleJobFiles("x.gpkg")), "0 x.gpkg 4; ");
    EXPECT_EQ(describe(ListPossibleJobFiles("x.geojson")), "0 x.geojson 5; 2 x.csv 3; ");
}
