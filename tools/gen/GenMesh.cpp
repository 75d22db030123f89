// Generators of mesh files: land use (L03-51M, L03-18M), mountains (G06-50M), and the invented
// layouts of the second-level, quarter, tab-separated and 4 x 4 formats.
#include <algorithm>
#include <cmath>
#include <vector>

#include "gen/GenCore.h"
#include "gen/GenProfiles.h"

namespace tolvane::gen {

namespace {

// First-level meshes around Tokyo, in code order.
constexpr std::int32_t kTokyoMesh1[] = {5338, 5339, 5340, 5438, 5439, 5440};
// First-level meshes of the central mountains.
constexpr std::int32_t kAlpsMesh1[] = {5336, 5337, 5338, 5436, 5437, 5438, 5536, 5537, 5538};

// Walks third-level meshes in code order from a second-level mesh on, leaving out some cells
// as a prefecture's file does at its border.
class TMesh3Walk
{
public:
    TMesh3Walk(const std::int32_t* mesh1, std::size_t count, std::int64_t firstMesh2)
        : m_mesh1(mesh1), m_count(count), m_mesh2Index(firstMesh2)
    {
    }

    /// The next mesh as 8 digits (first level, second level, third level).
    std::int64_t Next(TGenRandom& rnd)
    {
        for (;;) {
            const std::int64_t mesh2 = NthMesh2(m_mesh1, m_count, m_mesh2Index);
            const std::int64_t cell = m_cell++;
            if (m_cell == 100) {
                m_cell = 0;
                ++m_mesh2Index;
            }
            if (!rnd.Percent(8)) {
                return mesh2 * 100 + cell;
            }
        }
    }

private:
    const std::int32_t* m_mesh1;
    std::size_t m_count;
    std::int64_t m_mesh2Index;
    std::int64_t m_cell = 0;
};

constexpr double kPi = 3.14159265358979323846;

// Area of a third-level mesh (30" x 45") in square metres, on a sphere of the mean radius.
std::int64_t Mesh3Area(std::int64_t mesh8)
{
    const std::int64_t p = mesh8 / 1000000;
    const std::int64_t q = (mesh8 / 1000) % 10;
    const std::int64_t r = (mesh8 / 10) % 10;
    const double lat = (static_cast<double>(p) * 2400.0 + static_cast<double>(q) * 300.0 +
                        static_cast<double>(r) * 30.0 + 15.0) /
                       3600.0;
    const double radius = 6371000.0;
    const double dy = 30.0 / 3600.0 * kPi / 180.0 * radius;
    const double dx = 45.0 / 3600.0 * kPi / 180.0 * radius * std::cos(lat * kPi / 180.0);
    return static_cast<std::int64_t>(dx * dy + 0.5);
}

void PutMesh8(TRecord& rec, std::int64_t mesh8)
{
    rec.Zero(mesh8, 8);
}

// Land-use codes of the 1/10 cells of one third-level mesh: a dominant use, mixed uses,
// and sea along a coast.
void LandUseCells(TGenRandom& rnd, const char* codes, std::size_t codeCount, char sea, char* out)
{
    const char dominant = rnd.Pick(codes, codeCount);
    const char second = rnd.Pick(codes, codeCount);
    const bool coast = rnd.Percent(10);
    const std::int64_t coastRow = rnd.Between(2, 7);
    for (int k = 0; k < 100; ++k) {
        const int row = k / 10;
        if (coast && row < coastRow) {
            out[k] = sea;
            continue;
        }
        const std::int64_t roll = rnd.Below(100);
        out[k] = roll < 60 ? dominant : roll < 85 ? second : rnd.Pick(codes, codeCount);
    }
}

// City codes of Tokyo, for the administrative code of a mesh.
constexpr std::int32_t kTokyoCities[] = {13101, 13102, 13103, 13104, 13105, 13106, 13107, 13108,
                                         13109, 13110, 13111, 13112, 13113, 13114, 13115, 13116,
                                         13117, 13118, 13119, 13120, 13121, 13122, 13123, 13201,
                                         13202, 13203, 13204, 13205, 13206, 13207, 13208, 13209};

} // namespace

void GenerateL0318M(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("MLIT", "L03-18M", 4, 2007, 120, request.Records + 1));
    // Weighted toward forest, buildings and fields, as around Tokyo.
    static constexpr char kCodes[] = "55557777711229A6BG";
    TMesh3Walk walk(kTokyoMesh1, std::size(kTokyoMesh1), 8 + rnd.Below(48));
    TRecord rec;
    char cells[100];
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const std::int64_t mesh8 = walk.Next(rnd);
        LandUseCells(rnd, kCodes, sizeof kCodes - 1, 'F', cells);
        rec.Clear();
        rec.Raw("M  ").Int(3, 2);
        PutMesh8(rec, mesh8);
        rec.Int(Mesh3Area(mesh8), 7).Raw(std::string_view(cells, 100));
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateL0351M(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("GSI", "L03-51M", 4, 1976, 237, request.Records + 1));
    static constexpr char kCodes[] = "1122345555566778889ABCDE";
    // The area columns in code order 1 to 9, A to E; F (sea) has none.
    static constexpr char kColumnCodes[] = "123456789ABCDE";
    TMesh3Walk walk(kTokyoMesh1, std::size(kTokyoMesh1), 8 + rnd.Below(48));
    TRecord rec;
    char cells[100];
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const std::int64_t mesh8 = walk.Next(rnd);
        LandUseCells(rnd, kCodes, sizeof kCodes - 1, 'F', cells);
        const std::int64_t area = Mesh3Area(mesh8);
        const std::int64_t cityIndex =
            (mesh8 / 7) % static_cast<std::int64_t>(std::size(kTokyoCities));
        rec.Clear();
        rec.Raw("M  ").Int(3, 2);
        PutMesh8(rec, mesh8);
        rec.Int(kTokyoCities[static_cast<std::size_t>(cityIndex)], 5).Int(area, 7);
        std::int64_t total = 0;
        for (const char code : std::string_view(kColumnCodes)) {
            const auto count = std::count(cells, cells + 100, code);
            const std::int64_t part = area * count / 100;
            total += part;
            rec.Int(part, 7);
        }
        rec.Int(0, 7).Int(total, 7).Raw(std::string_view(cells, 100));
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateG0650M(const TGenRequest& request, base::TSjisWriter& out)
{
    // Half-width kana, as the file writes names; elevations in tenths of a metre.
    struct TPeak
    {
        std::string_view Name;
        std::int64_t Height;
    };
    static const TPeak kPeaks[] = {
        {"ﾌｼﾞｻﾝ", 37762},   {"ｷﾀﾀﾞｹ", 31927},  {"ｵｸﾎﾀｶﾀﾞｹ", 31900}, {"ﾔﾘｶﾞﾀｹ", 31800},
        {"ｱｶｲｼﾀﾞｹ", 31205}, {"ｵﾝﾀｹｻﾝ", 30670}, {"ﾀﾃﾔﾏ", 30150},     {"ｺﾏｶﾞﾀｹ", 29560},
        {"ｱｻﾏﾔﾏ", 25680},   {"ﾅﾝﾀｲｻﾝ", 24860}, {"ｷﾘｶﾞﾐﾈ", 19250},   {"ﾀﾝｻﾞﾜｻﾝ", 15670},
        {"ﾏﾙﾔﾏ", 0},        {"ﾀｶﾔﾏ", 0},       {"ｵｵﾔﾏ", 0},         {"ﾐﾈﾔﾏ", 0},
        {"ｼﾛﾔﾏ", 0},        {"ｸﾛﾀｹ", 0},       {"ﾂｸｴﾔﾏ", 0},        {"ﾔﾏ", 0},
        {"ﾔﾏ", 0},          {"ﾔﾏ", 0},
    };
    struct TCity
    {
        std::string_view Code;
        std::string_view Name;
    };
    static const TCity kCities[] = {
        {"20202", "ﾏﾂﾓﾄｼ"},  {"20201", "ﾅｶﾞﾉｼ"}, {"20205", "ｲｲﾀﾞｼ"},     {"20214", "ﾁﾉｼ"},
        {"20210", "ｺﾏｶﾞﾈｼ"}, {"21203", "ﾀｶﾔﾏｼ"}, {"22207", "ﾌｼﾞﾉﾐﾔｼ"},   {"19201", "ｺｳﾌｼ"},
        {"10206", "ﾇﾏﾀｼ"},   {"09206", "ﾆｯｺｳｼ"}, {"20481", "ｷﾀｱﾂﾞﾐｸﾞﾝ"}, {"20561", "ｷｿｸﾞﾝ ｷｿﾏﾁ"},
    };
    static const std::vector<std::string> kPeakNames = [] {
        std::vector<std::string> names;
        for (const TPeak& peak : kPeaks) {
            names.push_back(ToSjisList({peak.Name})[0]);
        }
        return names;
    }();
    static const std::vector<std::string> kCityNames = [] {
        std::vector<std::string> names;
        for (const TCity& city : kCities) {
            names.push_back(ToSjisList({city.Name})[0]);
        }
        return names;
    }();

    TGenRandom rnd(request.Seed);
    struct TMountain
    {
        std::int64_t Mesh8;
        std::size_t Peak;
        std::int64_t Height;
        int Method;
        std::size_t Cities[4];
        int CityCount;
    };
    std::vector<TMountain> mountains;
    mountains.reserve(static_cast<std::size_t>(request.Records));
    const auto meshCount = static_cast<std::int64_t>(std::size(kAlpsMesh1)) * 64;
    for (std::int64_t i = 0; i < request.Records; ++i) {
        TMountain m{};
        m.Mesh8 = static_cast<std::int64_t>(
                      NthMesh2(kAlpsMesh1, std::size(kAlpsMesh1), rnd.Below(meshCount))) *
                      100 +
                  rnd.Below(100);
        m.Peak = static_cast<std::size_t>(rnd.Below(static_cast<std::int64_t>(std::size(kPeaks))));
        m.Method = static_cast<int>(rnd.Between(1, 4));
        m.Height = kPeaks[m.Peak].Height != 0 ? kPeaks[m.Peak].Height : rnd.Between(3000, 28000);
        if (m.Method >= 3) {
            m.Height = m.Height / 100 * 100; // read from a contour: whole tens of metres
        }
        m.CityCount = rnd.Percent(70) ? 1 : static_cast<int>(rnd.Between(2, 4));
        for (int c = 0; c < m.CityCount; ++c) {
            m.Cities[c] =
                static_cast<std::size_t>(rnd.Below(static_cast<std::int64_t>(std::size(kCities))));
        }
        mountains.push_back(m);
    }
    std::stable_sort(mountains.begin(), mountains.end(),
                     [](const TMountain& a, const TMountain& b) { return a.Mesh8 < b.Mesh8; });

    TLineSink sink(out);
    sink.Line(HeaderLine("GSI", "G06-50M", 4, 1969, 123, request.Records + 1));
    TRecord rec;
    std::int64_t lastMesh2 = -1;
    std::int64_t serial = 0;
    for (const TMountain& m : mountains) {
        serial = m.Mesh8 / 100 == lastMesh2 ? serial + 1 : 1;
        lastMesh2 = m.Mesh8 / 100;
        rec.Clear();
        rec.Raw("M  ").Int(3, 2);
        PutMesh8(rec, m.Mesh8);
        rec.Int(969, 3).Text(kPeakNames[m.Peak], 15).Int(serial % 100, 2).Int(m.Method, 1);
        if (m.Method >= 3) {
            // The decimal digit stays blank for a height read from a contour.
            rec.Int(m.Height / 10, 4).Blanks(1);
        } else {
            rec.Int(m.Height, 5);
        }
        for (int c = 0; c < 4; ++c) {
            if (c < m.CityCount) {
                rec.Text(kCities[m.Cities[c]].Code, 5).Text(kCityNames[m.Cities[c]], 16);
            } else {
                rec.Blanks(21);
            }
        }
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateMesh2Stats(const TGenRequest& request, base::TSjisWriter& out)
{
    static const std::vector<std::string> kPlaces =
        ToSjisList({"千代田", "新宿", "渋谷", "池袋", "八王子", "立川", "町田", "府中", "横浜",
                    "川崎", "さいたま", "千葉", "奥多摩　山間部", "青梅"});
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("NLA", "X01-55M", 4, 1980, 55, request.Records + 1));
    TRecord rec;
    const std::int64_t start = rnd.Below(64);
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const std::int32_t mesh2 = NthMesh2(kTokyoMesh1, std::size(kTokyoMesh1), start + i);
        const std::int64_t people = rnd.Between(0, 400000);
        rec.Clear();
        rec.Raw("M  ").Int(2, 2).Zero(mesh2, 6);
        rec.Int(people, 8)
            .Int(people * 10 / rnd.Between(20, 30), 8)
            .Int(rnd.Between(7000, 9500), 8);
        rec.Text(rnd.Pick(kPlaces.data(), kPlaces.size()), 20);
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateMesh2Kinds(const TGenRequest& request, base::TSjisWriter& out)
{
    static const std::vector<std::string> kKinds =
        ToSjisList({"人口総数", "世帯総数", "事業所数", "従業者数"});
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("NLA", "X02-55M", 4, 1980, 40, request.Records + 1));
    TRecord rec;
    const std::int64_t start = rnd.Below(64);
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const std::int32_t mesh2 = NthMesh2(kTokyoMesh1, std::size(kTokyoMesh1), start + i / 4);
        const auto kind = static_cast<std::size_t>(i % 4);
        rec.Clear();
        rec.Raw("M  ").Int(2, 2).Zero(mesh2, 6).Int(static_cast<std::int64_t>(kind) + 1, 1);
        rec.Int(rnd.Between(0, 300000), 8).Text(kKinds[kind], 20);
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateMeshQuarter(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("NLA", "X03-55M", 4, 1980, 28, request.Records + 1));
    TMesh3Walk walk(kTokyoMesh1, std::size(kTokyoMesh1), 8 + rnd.Below(48));
    TRecord rec;
    std::int64_t mesh8 = 0;
    for (std::int64_t i = 0; i < request.Records; ++i) {
        if (i % 4 == 0) {
            mesh8 = walk.Next(rnd);
        }
        const std::int64_t people = rnd.Between(0, 9000);
        rec.Clear();
        rec.Raw("M  ").Int(4, 2);
        PutMesh8(rec, mesh8);
        rec.Int(i % 4 + 1, 1).Int(people, 7).Int(people * 10 / rnd.Between(18, 30), 7);
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateTabMesh(const TGenRequest& request, base::TSjisWriter& out)
{
    static const std::vector<std::string> kCities =
        ToSjisList({"千代田区", "中央区", "港区", "新宿区", "文京区", "台東区", "墨田区", "江東区",
                    "品川区", "目黒区", "大田区", "世田谷区", "八王子市", "町田市"});
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("NLA", "S04", 4, 1980, 0, request.Records + 1));
    TMesh3Walk walk(kTokyoMesh1, std::size(kTokyoMesh1), 8 + rnd.Below(48));
    std::string line;
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const std::int64_t men = rnd.Between(0, 9000);
        const std::int64_t women = rnd.Between(0, 9000);
        line.clear();
        const std::int64_t mesh8 = walk.Next(rnd);
        AppendInt(line, mesh8);
        line.push_back('\t');
        line.append(rnd.Pick(kCities.data(), kCities.size()));
        for (const std::int64_t value : {men + women, men, women, (men + women) * 10 / 23}) {
            line.push_back('\t');
            AppendInt(line, value);
        }
        sink.Line(line);
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateG0456M(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("NLA", "G04-56M", 4, 1981, 295, request.Records + 1));
    TMesh3Walk walk(kTokyoMesh1, std::size(kTokyoMesh1), 8 + rnd.Below(48));
    TRecord rec;
    std::int64_t heights[16];
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const std::int64_t mesh8 = walk.Next(rnd);
        const std::int64_t base = rnd.Between(0, 15000);
        for (std::int64_t& h : heights) {
            h = base + rnd.Between(0, 900);
        }
        const std::int64_t top = *std::max_element(heights, heights + 16);
        const std::int64_t low = *std::min_element(heights, heights + 16);
        std::int64_t sum = 0;
        for (const std::int64_t h : heights) {
            sum += h;
        }
        rec.Clear();
        rec.Raw("M  ").Int(3, 2);
        PutMesh8(rec, mesh8);
        rec.Int(sum / 16, 5).Int(top, 5).Int(low, 5).Blanks(11);
        for (const std::int64_t h : heights) {
            rec.Int(h, 5).Int(rnd.Between(0, 45), 3).Int(rnd.Between(1, 8), 1);
            rec.Int(rnd.Between(0, 10), 3).Int(rnd.Between(0, 8), 1).Blanks(3);
        }
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

} // namespace tolvane::gen
