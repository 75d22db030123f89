// Micro-benchmarks of the hot pieces: the line reader, the field splitter, byte slices and the
// coordinate format.
#include "convert/uniFields.h"
#include "convert/uniNumbers.h"
#include "convert/uniTextFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

using namespace tolvane::convert;

namespace {

std::filesystem::path MakeFile(std::size_t lines, std::size_t width)
{
    const auto path = std::filesystem::temp_directory_path() /
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
    const std::string line = "501376.613,128256.120,13101,000,001,2023,13101,000,001,\"東京都 千代田区\",1-2-3";
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

} // namespace
