// Generators of point files: the land price points of L01-08P (fixed width) and of the L02 CSV
// edition, and the invented point list of the PCSV layout.
#include <algorithm>
#include <vector>

#include "gen/GenCore.h"
#include "gen/GenProfiles.h"

namespace tolvane::gen {

namespace {

struct TCity
{
    std::int32_t Code;
    std::string_view Name;
    double Lon;
    double Lat;
};

// Municipalities of Tokyo with the approximate position of their offices.
const TCity kCities[] = {
    {13101, "千代田区", 139.7536, 35.6940}, {13102, "中央区", 139.7720, 35.6706},
    {13103, "港区", 139.7516, 35.6581},     {13104, "新宿区", 139.7036, 35.6938},
    {13105, "文京区", 139.7522, 35.7080},   {13106, "台東区", 139.7800, 35.7126},
    {13107, "墨田区", 139.8016, 35.7107},   {13108, "江東区", 139.8171, 35.6730},
    {13109, "品川区", 139.7302, 35.6092},   {13110, "目黒区", 139.6982, 35.6414},
    {13111, "大田区", 139.7160, 35.5614},   {13112, "世田谷区", 139.6532, 35.6464},
    {13113, "渋谷区", 139.7036, 35.6640},   {13114, "中野区", 139.6638, 35.7074},
    {13115, "杉並区", 139.6365, 35.6995},   {13116, "豊島区", 139.7167, 35.7263},
    {13117, "北区", 139.7336, 35.7528},     {13118, "荒川区", 139.7834, 35.7361},
    {13119, "板橋区", 139.7094, 35.7512},   {13120, "練馬区", 139.6517, 35.7356},
    {13121, "足立区", 139.8046, 35.7750},   {13122, "葛飾区", 139.8474, 35.7436},
    {13123, "江戸川区", 139.8683, 35.7067}, {13201, "八王子市", 139.3160, 35.6664},
    {13202, "立川市", 139.4133, 35.6939},   {13203, "武蔵野市", 139.5662, 35.7178},
    {13204, "三鷹市", 139.5597, 35.6836},   {13205, "青梅市", 139.2760, 35.7880},
    {13206, "府中市", 139.4774, 35.6689},   {13207, "昭島市", 139.3535, 35.7057},
    {13208, "調布市", 139.5410, 35.6508},   {13209, "町田市", 139.4386, 35.5484},
};
constexpr std::size_t kCityCount = std::size(kCities);

const std::vector<std::string>& CityNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const TCity& city : kCities) {
            out.push_back(ToSjisList({city.Name})[0]);
        }
        return out;
    }();
    return names;
}

const std::vector<std::string>& Towns()
{
    static const std::vector<std::string> towns =
        ToSjisList({"本町",     "中町",   "栄町", "緑町", "旭町", "幸町", "桜台", "富士見町",
                    "東町",     "西町",   "南町", "北町", "宮前", "大原", "若葉", "松が丘",
                    "日の出町", "三番町", "錦町", "新町", "元町", "仲町", "泉町", "小山"});
    return towns;
}

// Present use as shown on the record, with its seventeen flags (住宅 … 雑木) and a building.
struct TUse
{
    std::string_view Text;
    std::string_view Flags;
    std::string_view Building;
};
const TUse kUses[] = {
    {"住宅", "10000000000000000", "W2F"},
    {"住宅", "10000000000000000", "LS2F"},
    {"共同住宅", "10000000000000000", "RC5F"},
    {"店舗兼住宅", "11000000000000000", "S3F"},
    {"事務所", "00100000000000000", "SRC9F1B"},
    {"店舗", "01000000000000000", "RC3F1B"},
    {"事務所兼店舗", "01100000000000000", "RC7F2B"},
    {"銀行", "00010000000000000", "SRC6F1B"},
    {"工場", "00000010000000000", "S1F"},
    {"倉庫", "00000001000000000", "S2F"},
    {"空地", "00000000000100000", ""},
    {"住宅　その他", "10000000000000100", "W2F"},
    {"医院兼住宅", "10000000001000000", "RC3F"},
};
constexpr std::size_t kUseCount = std::size(kUses);

const std::vector<std::string>& UseTexts()
{
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        for (const TUse& use : kUses) {
            out.push_back(ToSjisList({use.Text})[0]);
        }
        return out;
    }();
    return texts;
}

// Headings of the land price points: 住宅地, 宅地見込地, 商業地, 準工業地, 工業地.
constexpr std::int32_t kHeadings[] = {0, 0, 0, 3, 5, 5, 7, 9};

std::string FullWidthNumber(std::int64_t n)
{
    std::string digits;
    AppendInt(digits, n);
    std::string out;
    for (const char d : digits) {
        out.push_back('\x82');
        out.push_back(static_cast<char>(0x4F + (d - '0')));
    }
    return out;
}

struct TLandPoint
{
    TKsjPoint Pos;
    std::int32_t Mesh2;
    std::size_t City;
    std::int32_t Heading;
    std::int64_t Serial;
    std::size_t Town;
    std::int64_t Block;
    std::int64_t Lot;
    std::int64_t Area;
    std::size_t Use;
    bool Water;
};

constexpr std::int64_t ToTenthSeconds(double degrees)
{
    return static_cast<std::int64_t>(degrees * 36000.0 + 0.5);
}

// Land price points of the Tokyo municipalities in city order, each city numbering its points
// per heading.
std::vector<TLandPoint> LandPoints(TGenRandom& rnd, std::int64_t count)
{
    std::vector<TLandPoint> points;
    points.reserve(static_cast<std::size_t>(count));
    std::int64_t serials[kCityCount][10] = {};
    for (std::int64_t i = 0; i < count; ++i) {
        TLandPoint p{};
        p.City = static_cast<std::size_t>(i * static_cast<std::int64_t>(kCityCount) / count);
        const TCity& city = kCities[p.City];
        p.Pos.X = ToTenthSeconds(city.Lon) + rnd.Between(-900, 900);
        p.Pos.Y = ToTenthSeconds(city.Lat) + rnd.Between(-700, 700);
        p.Mesh2 = Mesh2Of(p.Pos);
        p.Heading = rnd.Pick(kHeadings, std::size(kHeadings));
        p.Serial = ++serials[p.City][p.Heading] % 1000;
        p.Town = static_cast<std::size_t>(rnd.Below(static_cast<std::int64_t>(Towns().size())));
        p.Block = rnd.Between(1, 30);
        p.Lot = rnd.Between(1, 60);
        p.Area = p.Heading >= 7 ? rnd.Between(300, 99000) : rnd.Between(60, 900);
        p.Use = static_cast<std::size_t>(rnd.Below(static_cast<std::int64_t>(kUseCount)));
        p.Water = rnd.Percent(97);
        points.push_back(p);
    }
    return points;
}

std::string Address(const TLandPoint& p)
{
    std::string text = CityNames()[p.City];
    text += Towns()[p.Town];
    text += FullWidthNumber(p.Block);
    text += "\x94\xd4"; // 番
    text += FullWidthNumber(p.Lot);
    return text;
}

} // namespace

void GenerateL0108P(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    std::vector<TLandPoint> points = LandPoints(rnd, request.Records);
    // Sorted as the file is: by mesh, then X, then Y.
    std::stable_sort(points.begin(), points.end(), [](const TLandPoint& a, const TLandPoint& b) {
        if (a.Mesh2 != b.Mesh2) {
            return a.Mesh2 < b.Mesh2;
        }
        return a.Pos.X != b.Pos.X ? a.Pos.X < b.Pos.X : a.Pos.Y < b.Pos.Y;
    });
    TLineSink sink(out);
    sink.Line(HeaderLine("NLA", "L01-08P", 1, 1996, 191, request.Records + 1));
    TRecord rec;
    for (const TLandPoint& p : points) {
        const TCity& city = kCities[p.City];
        const TUse& use = kUses[p.Use];
        rec.Clear();
        rec.Raw("P  ").Zero(p.Mesh2, 6).Int(p.Pos.X, 8).Int(p.Pos.Y, 8);
        rec.Zero(city.Code / 1000, 2).Zero(city.Code % 1000, 3).Zero(p.Heading, 3);
        rec.Zero(p.Serial, 3).Int(1996, 4);
        rec.Text(CityNames()[p.City], 12).Text(Address(p), 80).Int(city.Code, 5);
        rec.Int(p.Area, 6).Raw(use.Flags).Text(UseTexts()[p.Use], 20).Text(use.Building, 10);
        rec.Int(p.Water ? 1 : 0, 1);
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateL02Csv(const TGenRequest& request, base::TSjisWriter& out)
{
    static const std::string kHeader =
        ToSjisList({"経度,緯度,所在地コード,用途,連番,年次,前年所在地コード,前年用途,前年連番,"
                    "市区町村名,住居表示,行政,地積,利用現況,利用状況表示,建物構造"})[0];
    TGenRandom rnd(request.Seed);
    const std::vector<TLandPoint> points = LandPoints(rnd, request.Records);
    TLineSink sink(out);
    sink.Line(kHeader);
    std::string line;
    for (const TLandPoint& p : points) {
        const TCity& city = kCities[p.City];
        const TUse& use = kUses[p.Use];
        line.clear();
        // Seconds of arc with three decimals, X first.
        AppendFixed(line, p.Pos.X * 100 + rnd.Below(100), 3);
        line.push_back(',');
        AppendFixed(line, p.Pos.Y * 100 + rnd.Below(100), 3);
        line.push_back(',');
        AppendInt(line, city.Code);
        line.append(",00");
        AppendInt(line, p.Heading);
        line.push_back(',');
        AppendInt(line, p.Serial);
        line.append(",2012,");
        const bool carried = rnd.Percent(90);
        if (carried) {
            AppendInt(line, city.Code);
            line.append(",00");
            AppendInt(line, p.Heading);
            line.push_back(',');
            AppendInt(line, p.Serial);
        } else {
            line.append(",,");
        }
        line.push_back(',');
        line.append(CityNames()[p.City]);
        line.push_back(',');
        line.append(Address(p));
        line.push_back(',');
        AppendInt(line, city.Code);
        line.push_back(',');
        AppendInt(line, p.Area);
        line.push_back(',');
        line.append(use.Flags);
        line.push_back(',');
        line.append(UseTexts()[p.Use]);
        line.push_back(',');
        line.append(use.Building);
        sink.Line(line);
    }
    sink.Flush();
}

void GeneratePointCsv(const TGenRequest& request, base::TSjisWriter& out)
{
    static const std::string kHeader = ToSjisList({"名称,経度秒,緯度秒,種別,所在地"})[0];
    static const std::vector<std::string> kKinds =
        ToSjisList({"公園", "小学校", "中学校", "図書館", "病院", "郵便局", "駅", "公民館"});
    TGenRandom rnd(request.Seed);
    const std::vector<TLandPoint> points = LandPoints(rnd, request.Records);
    TLineSink sink(out);
    sink.Line(kHeader);
    std::string line;
    for (const TLandPoint& p : points) {
        const std::string& kind = rnd.Pick(kKinds.data(), kKinds.size());
        line.clear();
        line.push_back('"');
        line.append(Towns()[p.Town]);
        line.append(kind);
        line.append("\",");
        AppendFixed(line, p.Pos.X, 1);
        line.push_back(',');
        AppendFixed(line, p.Pos.Y, 1);
        line.push_back(',');
        line.append(kind);
        line.push_back(',');
        line.append(Address(p));
        sink.Line(line);
    }
    sink.Flush();
}

} // namespace tolvane::gen
