// Micro-benchmarks of the hot pieces: the line reader and line count, the merge's copy of clean
// lines, the field splitter, byte slices and blank trimming, MID values, the coordinate format
// and the chain index.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "base/uniFields.h"
#include "base/uniNumbers.h"
#include "base/uniTextFile.h"
#include "ksj/uniKsjLinks.h"
#include "mif/uniMifUtils.h"

using namespace tolvane::base;

namespace {

std::filesystem::path MakeFile(std::size_t lines, std::size_t width)
{
    const auto path =
        std::filesystem::temp_directory_path() /
        ("tolvane-bench-" + std::to_string(::getpid()) + "-" + std::to_string(lines) + ".txt");
    std::ofstream out(path, std::ios::binary);
    std::string line(width, 'x');
    for (std::size_t i = 0; i < lines; ++i) {
        line[i % width] = static_cast<char>('a' + i % 26);
        out << line << "\r\n";
    }
    return path;
}

void BM_LineReader(benchmark::State& state)
{
    const auto width = static_cast<std::size_t>(state.range(0));
    const auto path = MakeFile(200000, width);
    for (auto _ : state) {
        TSjisLineReader reader(path);
        std::size_t bytes = 0;
        while (!reader.Eof()) {
            bytes += reader.ReadLineView().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 200000 *
                            static_cast<std::int64_t>(width + 2));
    std::filesystem::remove(path);
}
BENCHMARK(BM_LineReader)->Arg(80)->Arg(120)->Arg(488);

void BM_CountLines(benchmark::State& state)
{
    const auto path = MakeFile(200000, 120);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountLines(path));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 200000 * 122);
    std::filesystem::remove(path);
}
BENCHMARK(BM_CountLines);

void BM_GetField(benchmark::State& state)
{
    const std::string line =
        "501376.613,128256.120,13101,000,001,2023,13101,000,001,\"東京都 千代田区\",1-2-3";
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetField(line, 2, ','));
        benchmark::DoNotOptimize(GetField(line, 10, ','));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_GetField);

void BM_SubStrTrim(benchmark::State& state)
{
    const std::string record = "P  533945 5022000 1278000131010000011996" + std::string(100, ' ');
    for (auto _ : state) {
        benchmark::DoNotOptimize(SubStr(record, 10, 8, true));
        benchmark::DoNotOptimize(SubStr(record, 18, 8, true));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_SubStrTrim);

void BM_StrToFloat(benchmark::State& state)
{
    const std::string values[] = {" 5022000", "1278000 ", "501376.613", "128256.12"};
    for (auto _ : state) {
        for (const auto& v : values) {
            benchmark::DoNotOptimize(StrToFloat(v));
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 4);
}
BENCHMARK(BM_StrToFloat);

void BM_FormatCoord(benchmark::State& state)
{
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> degrees(122.0, 154.0);
    std::vector<double> values(4096);
    for (double& v : values) {
        v = degrees(random);
    }
    char buffer[kCoordBufferSize];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatCoord(values[i++ & 4095], buffer));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_FormatCoord);

void BM_ReadCleanLines(benchmark::State& state)
{
    // The merge's copy: runs of CR LF lines taken whole from the buffer.
    const auto path = MakeFile(200000, 80);
    for (auto _ : state) {
        TSjisLineReader reader(path);
        std::size_t bytes = 0;
        while (!reader.Eof()) {
            const std::string_view clean = reader.ReadCleanLines();
            bytes += clean.empty() ? reader.ReadLineView().size() + 2 : clean.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 200000 * 82);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadCleanLines);

void BM_TrimPaddedSlice(benchmark::State& state)
{
    // A name field of a fixed-width record: a few characters and a long run of blanks.
    const std::string record =
        "P  533945 \x93\x8C\x8B\x9E\x93\x73" + std::string(60, ' ') + "13101";
    for (auto _ : state) {
        benchmark::DoNotOptimize(SubStr(record, 11, 66, true));
        benchmark::DoNotOptimize(TrimWide(SubStr(record, 11, 66, false)));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_TrimPaddedSlice);

void BM_AppendMidValue(benchmark::State& state)
{
    const std::string_view values[] = {"5338", "31", "00", "13101", "\x93\x8C\x8B\x9E\x93\x73",
                                       "a,b"};
    std::string row;
    for (auto _ : state) {
        row.clear();
        for (const std::string_view value : values) {
            tolvane::mif::AppendMidValue(row, value);
            row.push_back(',');
        }
        benchmark::DoNotOptimize(row.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 6);
}
BENCHMARK(BM_AppendMidValue);

void BM_FormatKsjCoord(benchmark::State& state)
{
    // Coordinates as the converters compute them: tenths of an arc-second in degrees.
    std::mt19937_64 random(2);
    std::uniform_int_distribution<std::int64_t> tenths(1200000, 5500000);
    std::vector<double> values(4096);
    for (double& v : values) {
        v = static_cast<double>(tenths(random)) / 10 / 60 / 60;
    }
    char buffer[kCoordBufferSize];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatCoord(values[i++ & 4095], buffer));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_FormatKsjCoord);

void BM_ChainLookup(benchmark::State& state)
{
    // Lookups in an index far larger than the caches, in groups as a record's references come.
    const auto chains = static_cast<std::int32_t>(state.range(0));
    tolvane::ksj::TKsjLinks links;
    for (std::int32_t k = 0; k < chains; ++k) {
        links.Add(k / 8 + 1, k % 8 + 1, 1, "  1234567 1234567", k + 1);
    }
    links.BuildIndex();
    std::mt19937_64 random(3);
    std::uniform_int_distribution<std::int32_t> pick(0, chains - 1);
    std::vector<std::int32_t> keys(1 << 16);
    for (std::int32_t& key : keys) {
        key = pick(random);
    }
    std::size_t i = 0;
    constexpr std::size_t kGroup = 6;
    const tolvane::ksj::TKsjLink* found[kGroup] = {};
    for (auto _ : state) {
        for (std::size_t g = 0; g < kGroup; ++g) {
            const std::int32_t k = keys[(i + g) & 0xFFFF];
            links.Prefetch(k / 8 + 1, k % 8 + 1);
        }
        for (std::size_t g = 0; g < kGroup; ++g) {
            const std::int32_t k = keys[(i + g) & 0xFFFF];
            links.PrefetchChain(k / 8 + 1, k % 8 + 1);
        }
        for (std::size_t g = 0; g < kGroup; ++g) {
            const std::int32_t k = keys[(i + g) & 0xFFFF];
            found[g] = links.Find(k / 8 + 1, k % 8 + 1);
        }
        benchmark::DoNotOptimize(found);
        i += kGroup;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kGroup);
}
BENCHMARK(BM_ChainLookup)->Arg(100000)->Arg(2000000);

} // namespace
