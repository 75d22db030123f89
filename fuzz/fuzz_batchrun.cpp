// Running a small batch list in a scratch folder, with outputs and merged files that may fall
// on one another or on the sources. Byte 1: entry count, merge flag, thread count; byte 2: the
// item (of fuzz/define) and whether the entries mix items; bytes 3 and 4: where each entry's
// output and the merged file go. The rest holds the sources, separated by lines "%%". Whatever
// the run does, no source changes unless the run was refused, every file is closed, and a
// refused list changes nothing at all.
#include <map>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/AppError.h"
#include "base/uniTextFile.h"
#include "batch/BatchRunner.h"

using namespace tolvane::batch;
using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::fuzz::Check;
using tolvane::fuzz::CountOpenFds;

namespace {

std::map<std::string, std::string> Snapshot(const std::filesystem::path& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        files[entry.path().filename().string()] = tolvane::fuzz::ReadFile(entry.path());
    }
    return files;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) {
        return 0;
    }
    static const TCatalogue catalogue = LoadCatalogue(TOLVANE_FUZZ_DEFINE);
    const std::size_t count = 1 + data[0] % 3;
    const bool combine = (data[0] & 0x04) != 0;
    const unsigned jobs = (data[0] & 0x08) != 0 ? 2 : 1;
    const std::int64_t item = data[1] % catalogue.Count();
    const bool mixed = (data[1] & 0x80) != 0;
    const std::uint32_t placing = data[2] | (static_cast<std::uint32_t>(data[3]) << 8);

    const auto dir = tolvane::fuzz::ScratchDir() / "batch";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
    std::vector<std::string> sources;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t split = rest.find("\n%%\n");
        const std::string_view bytes = rest.substr(0, split);
        rest = split == std::string_view::npos ? std::string_view() : rest.substr(split + 4);
        sources.push_back((dir / ("src" + std::to_string(i) + ".txt")).string());
        tolvane::fuzz::WriteFile(sources.back(), bytes);
    }

    // Two bits per entry: its own output, the first entry's output, or the next source.
    TBatchList list;
    for (std::size_t i = 0; i < count; ++i) {
        TBatchEntry entry;
        entry.ItemIndex = mixed ? (item + static_cast<std::int64_t>(i)) % catalogue.Count() : item;
        entry.SrcFile = sources[i];
        switch ((placing >> (2 * i)) & 3) {
        case 0:
        case 1:
            entry.DstFile = (dir / ("out" + std::to_string(i) + ".mif")).string();
            break;
        case 2:
            entry.DstFile = (dir / "out0.mif").string();
            break;
        default:
            entry.DstFile = sources[(i + 1) % count];
            break;
        }
        entry.CoordSysIndex = 1;
        list.Entries.push_back(entry);
    }
    list.Combine = combine;
    switch ((placing >> 8) & 7) {
    case 0:
        list.CombineFile = "   ";
        break;
    case 1:
        list.CombineFile = (dir / "out0.mid").string();
        break;
    case 2:
        list.CombineFile = sources[0];
        break;
    case 3:
        list.CombineFile = (dir / "out0").string();
        break;
    default:
        list.CombineFile = (dir / "merged.mif").string();
        break;
    }

    const auto before = Snapshot(dir);
    const int fds = CountOpenFds();
    if (CheckBatchRun(catalogue, list)) {
        Check(Snapshot(dir) == before, "a refused run changes nothing");
        return 0;
    }
    struct TObserver : TBatchObserver
    {
        void SetStatusText(std::string_view) override {}
        void SetProgressMax(std::int64_t) override {}
        void SetProgressPos(std::int64_t) override {}
        void ShowProgress(bool) override {}
        void ProcessEvents() override {}
    } observer;
    bool finished = false;
    try {
        RunBatch(catalogue, list, observer, jobs);
        finished = true;
    } catch (const TAppError&) {
    }
    Check(CountOpenFds() == fds, "a run closes every file");
    // A merged MIF holds one object per row of the merged MID.
    if (finished && MergeRequested(list) && !catalogue.Item(item).IsLedgerOnly()) {
        std::int64_t objects = 0;
        bool data = false;
        for (const std::string& line : LoadLines(list.CombineFile)) {
            if (!data) {
                data = line == "Data";
                continue;
            }
            objects += line.starts_with("Point ") || line.starts_with("Region ") ||
                               line.starts_with("PLine ") || line == "None"
                           ? 1
                           : 0;
        }
        const auto mid = std::filesystem::path(list.CombineFile).replace_extension(".mid");
        Check(objects == CountLines(mid), "one merged MID row per merged MIF object");
    }
    const auto after = Snapshot(dir);
    for (const std::string& source : sources) {
        const auto name = std::filesystem::path(source).filename().string();
        Check(after.contains(name) && after.at(name) == before.at(name),
              "no source is written over");
    }
    return 0;
}
