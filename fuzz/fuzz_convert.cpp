// Every converter, and the ledger pass, on arbitrary source bytes with a fixed Define folder.
// The first byte picks the data item and the coordinate system; the rest is the source.
#include "FuzzSupport.h"
#include "convert/AppError.h"
#include "convert/ConvertDriver.h"
#include "convert/uniTextFile.h"

#include <string>

using namespace tolvane::convert;
using tolvane::fuzz::Check;

namespace {

int CountOpenFds()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// Objects after the "Data" line: each starts with one of MIF's object words at the line start.
std::int64_t CountObjects(const std::filesystem::path& mif)
{
    std::int64_t objects = 0;
    bool data = false;
    for (const std::string& line : LoadLines(mif)) {
        if (!data) {
            data = line == "Data";
            continue;
        }
        if (line.starts_with("Point ") || line.starts_with("Region ") || line.starts_with("PLine ") ||
            line == "None") {
            ++objects;
        }
    }
    return objects;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    static const TCatalogue catalogue = LoadCatalogue(TOLVANE_FUZZ_DEFINE);
    const std::int64_t item = data[0] % catalogue.Count();
    const std::int64_t coordSys = data[0] / catalogue.Count() % 4;
    const auto& dir = tolvane::fuzz::ScratchDir();
    const auto source = dir / "source.txt";
    tolvane::fuzz::WriteFile(source, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    const auto mif = dir / "out.mif";
    std::filesystem::remove(mif);
    std::filesystem::remove(dir / "out.mid");

    const int fds = CountOpenFds();
    TNullObserver observer;
    bool ok = false;
    try {
        ok = ConvertDataItem(catalogue, item, source, mif, coordSys, observer);
    } catch (const TAppError&) {
        Check(CountOpenFds() == fds, "a job that cannot start closes what it opened");
        return 0;
    }
    Check(CountOpenFds() == fds, "a job closes every file");
    if (ok && std::filesystem::exists(mif)) {
        Check(CountObjects(mif) == CountLines(dir / "out.mid"), "one MID row per MIF object");
    }
    return 0;
}
