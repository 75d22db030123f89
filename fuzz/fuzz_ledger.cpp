// The ledger pass on arbitrary ledger definitions and sources. The first byte picks the ledger
// key and the line count setting; the rest is a ledger definition file, a line "%%", and the
// source (without that line, the whole rest is the source and fuzz/define/ldg_multi.txt the
// definition). The pass writes a header and at most one row per ledger record, or raises a data
// or file error; it closes every file either way.
#include <array>
#include <string>

#include "FuzzSupport.h"
#include "base/AppError.h"
#include "base/uniFields.h"
#include "base/uniTextFile.h"
#include "driver/Ledger.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::fuzz::Check;
using tolvane::fuzz::CountOpenFds;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    static constexpr std::array<std::string_view, 3> kKeys{"T", "LT", "A"};
    const std::string_view key = kKeys[(data[0] >> 2) % kKeys.size()];
    const std::int32_t ledgerLines = data[0] & 3;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto dir = tolvane::fuzz::ScratchDir() / "ledger";
    std::filesystem::create_directories(dir);
    std::string_view ledgerFile = "ldg_multi.txt";
    std::filesystem::path defineDir = TOLVANE_FUZZ_DEFINE;
    const std::size_t split = rest.find("\n%%\n");
    if (split != std::string_view::npos) {
        tolvane::fuzz::WriteFile(dir / "ldg.txt", rest.substr(0, split));
        rest.remove_prefix(split + 4);
        ledgerFile = "ldg.txt";
        defineDir = dir;
    }
    const auto source = dir / "source.txt";
    tolvane::fuzz::WriteFile(source, rest);
    const auto csv = dir / "out.csv";
    std::filesystem::remove(csv);

    std::int64_t records = 0;
    {
        TSjisLineReader lines(source);
        while (!lines.Eof()) {
            records += SubStr(lines.ReadLineView(), 1, 3, true) == key ? 1 : 0;
        }
    }

    const int fds = CountOpenFds();
    TJobObserver observer;
    TProgress progress(observer);
    try {
        TSjisLineReader reader(source);
        reader.ReadLineView(); // the pass starts again from the first line
        WriteLedgerCsv(reader, TLedgerParams{key, ledgerLines, ledgerFile}, defineDir, csv,
                       progress);
    } catch (const TDataError&) {
        Check(CountOpenFds() == fds, "a failed pass closes every file");
        return 0;
    }
    Check(CountOpenFds() == fds, "the pass closes every file");
    const std::int64_t rows = CountLines(csv);
    Check(rows >= 1 && rows - 1 <= records, "a header and at most one row per ledger record");
    return 0;
}
