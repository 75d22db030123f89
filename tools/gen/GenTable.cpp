// Generators of table files: unit basins (W14-52T), rivers and basins (W03-52T), lake water
// quality (C42-60T) and storm surge and tsunami counts (C08-49T).
#include <algorithm>
#include <vector>

#include "gen/GenCore.h"
#include "gen/GenProfiles.h"

namespace tolvane::gen {

namespace {

// Upstream unit basins of a reach: the next reach of the river and some tributaries.
int Upstream(TGenRandom& rnd, std::int64_t basin, std::int64_t lastBasin, std::int64_t* codes,
             int maxCodes)
{
    int count = 0;
    if (basin < lastBasin) {
        codes[count++] = basin + 1;
    }
    const auto tributaries =
        static_cast<int>(rnd.Percent(60) ? rnd.Between(0, 3) : rnd.Between(4, 20));
    for (int t = 0; t < tributaries && count < maxCodes; ++t) {
        codes[count++] = rnd.Between(100, 9999);
    }
    return count;
}

} // namespace

void GenerateW1452T(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("GSI", "W14-52T", 5, 1977, 80, request.Records + 1));
    TRecord rec;
    std::int64_t bureau = 1;
    std::int64_t system = 1;
    std::int64_t river = 1;
    std::int64_t basin = 1;
    std::int64_t lastBasin = rnd.Between(3, 40);
    std::int64_t codes[15];
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const int count = Upstream(rnd, basin, lastBasin, codes, 15);
        rec.Clear();
        rec.Raw("T  ").Int(bureau, 2).Int(system, 3).Int(river, 3).Int(basin, 4);
        for (int k = 0; k < 15; ++k) {
            if (k < count) {
                rec.Int(codes[k], 4);
            } else {
                rec.Blanks(4);
            }
        }
        if (rnd.Percent(5)) {
            rec.Raw("-").Int(rnd.Between(100, 9999), 4);
        } else {
            rec.Blanks(5);
        }
        sink.Line(rec.View());
        if (++basin > lastBasin) {
            basin = 1;
            lastBasin = rnd.Between(3, 40);
            if (++river > rnd.Between(3, 60)) {
                river = 1;
                if (++system > 999) {
                    system = 1;
                    bureau = bureau % 9 + 1;
                }
            }
        }
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateW0352T(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    TRecord rec;
    // This table's header also counts its table lines and table ledger lines.
    rec.Raw(HeaderLine("NLA", "W03-52T", 5, 1977, 96, request.Records + 1));
    rec.Int(request.Records, 8).Int(0, 8);
    sink.Line(rec.View());
    std::int64_t system = 10101;
    std::int64_t river = 1;
    std::int64_t basin = 1;
    std::int64_t lastBasin = rnd.Between(3, 30);
    std::int64_t part = 1;
    std::int64_t codes[30];
    int count = Upstream(rnd, basin, lastBasin, codes, 30);
    for (std::int64_t i = 0; i < request.Records; ++i) {
        rec.Clear();
        rec.Raw("T  ").Int(system, 5).Int(river, 3).Int(basin, 4).Int(part, 1);
        // A basin with more than fifteen upstream basins continues on a second record.
        const int first = static_cast<int>(part - 1) * 15;
        for (int k = first; k < first + 15; ++k) {
            if (k < count) {
                rec.Int(codes[k], 4);
            } else {
                rec.Blanks(4);
            }
        }
        const bool fork = rnd.Percent(5);
        rec.Int(fork ? 1 : 0, 2);
        if (fork) {
            rec.Int(rnd.Between(100, 9999), 4);
        } else {
            rec.Blanks(4);
        }
        const std::int64_t area = rnd.Between(50, 900000);
        rec.Int(area, 7).Int(rnd.Percent(80) ? 0 : rnd.Between(1, area / 10 + 1), 7);
        sink.Line(rec.View());
        if (count > first + 15) {
            ++part;
            continue;
        }
        part = 1;
        if (++basin > lastBasin) {
            basin = 1;
            lastBasin = rnd.Between(3, 30);
            if (++river > rnd.Between(3, 40)) {
                river = 1;
                system = system % 99999 + 1;
            }
        }
        count = Upstream(rnd, basin, lastBasin, codes, 30);
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateC4260T(const TGenRequest& request, base::TSjisWriter& out)
{
    // Second-level meshes of large lakes: Kasumigaura, Biwa, Suwa, Shinji, Inawashiro, Towada.
    static constexpr std::int32_t kLakeMeshes[] = {544000, 544010, 523501, 523505, 533803,
                                                   533813, 523365, 564003, 604070};
    static constexpr std::int32_t kPrefs[] = {8, 8, 25, 25, 20, 20, 32, 7, 2};
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("GSI", "C42-60T", 5, 1985, 94, request.Records + 1));
    TRecord rec;
    for (std::int64_t i = 0; i < request.Records; ++i) {
        const auto lake =
            static_cast<std::size_t>(i * static_cast<std::int64_t>(std::size(kLakeMeshes)) /
                                     std::max<std::int64_t>(1, request.Records));
        rec.Clear();
        rec.Raw("T  ").Int(kPrefs[lake], 2).Zero(kLakeMeshes[lake], 6).Int(i % 99 + 1, 2);
        rec.Int(static_cast<std::int64_t>(lake) * 10 + 101, 4).Int(rnd.Between(1, 6), 1);
        rec.Int(rnd.Between(1, 3), 1);
        rec.Int(rnd.Between(1971, 1984) * 10000 + rnd.Between(1, 12) * 100 + rnd.Between(1, 28), 8);
        rec.Int(rnd.Percent(30) ? 1 : 2, 1);
        for (int quarter = 0; quarter < 11; ++quarter) {
            if (rnd.Percent(8)) {
                rec.Int(999, 3).Int(999, 3); // not measured
                continue;
            }
            const std::int64_t all = rnd.Between(2, 12);
            rec.Int(rnd.Between(0, all), 3).Int(all, 3);
        }
        sink.Line(rec.View());
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

void GenerateC0849T(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TLineSink sink(out);
    sink.Line(HeaderLine("GSI", "C08-49T", 5, 1974, 132, request.Records + 1));
    TRecord rec;
    std::int64_t code = 1202; // Hakodate, the first coastal city in code order
    char surges[50];
    char tsunamis[68];
    for (std::int64_t i = 0; i < request.Records; ++i) {
        std::int64_t surgeTotal = 0;
        std::int64_t tsunamiTotal = 0;
        const bool exposed = rnd.Percent(40);
        for (char& c : surges) {
            const std::int64_t n = exposed && rnd.Percent(12) ? rnd.Between(1, 2) : 0;
            surgeTotal += n;
            c = static_cast<char>('0' + n);
        }
        for (char& c : tsunamis) {
            const std::int64_t n = exposed && rnd.Percent(4) ? 1 : 0;
            tsunamiTotal += n;
            c = static_cast<char>('0' + n);
        }
        rec.Clear();
        rec.Raw("T  ").Zero(code, 5).Int(surgeTotal, 3).Raw(std::string_view(surges, 50));
        rec.Int(tsunamiTotal, 3).Raw(std::string_view(tsunamis, 68));
        sink.Line(rec.View());
        code += rnd.Between(1, 40);
        if (code % 1000 > 600) {
            code = (code / 1000 + 1) * 1000 + 201; // next prefecture, its first city
        }
        if (code > 47999) {
            code = 1202;
        }
    }
    sink.Flush();
    out.Write(std::string_view(&kCtrlZ, 1));
}

} // namespace tolvane::gen
