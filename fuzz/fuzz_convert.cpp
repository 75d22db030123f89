// One family of converters on arbitrary source bytes with the fixed Define folder fuzz/define.
// The build picks the family (TOLVANE_FUZZ_FAMILY: the item names of fuzz/define/データ項目.txt,
// separated by blanks). The first byte picks the item of the family and the coordinate system;
// the rest is the source. Whatever the bytes, the job ends with a result or a placed error,
// every file closed, the source unchanged, one MID row per MIF object and no stray files.
#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "base/uniNumbers.h"
#include "base/uniTextFile.h"
#include "driver/ConvertDriver.h"

using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::fuzz::Check;
using tolvane::fuzz::CountOpenFds;

namespace {

// A number as the MIF writer formats a coordinate or count: finite, nothing else on the field.
bool IsNumber(std::string_view text)
{
    const auto value = TryStrToFloat(text);
    return value.has_value() && std::isfinite(*value);
}

bool IsCoordLine(std::string_view line)
{
    const std::size_t blank = line.find(' ');
    return blank != std::string_view::npos && IsNumber(line.substr(0, blank)) &&
           IsNumber(line.substr(blank + 1));
}

// Reads the count after `prefix` in `line`; -1 when the line is something else.
std::int64_t CountAfter(std::string_view line, std::string_view prefix)
{
    if (!line.starts_with(prefix)) {
        return -1;
    }
    const auto count = TryStrToInt(TrimBlanks(line.substr(prefix.size())));
    return count && *count >= 0 ? *count : -1;
}

// The objects after the "Data" line, each checked against the grammar the writer follows:
// "Point x y", "None", "Region n" and "PLine MultiPle n" with n counted parts, "PLine n" with
// n points. Every coordinate is a finite number.
std::int64_t CountObjects(const std::filesystem::path& mif)
{
    const std::vector<std::string> lines = LoadLines(mif);
    std::size_t i = 0;
    while (i < lines.size() && lines[i] != "Data") {
        ++i;
    }
    Check(i < lines.size(), "the MIF has a Data line");
    ++i;
    std::int64_t objects = 0;
    // `count` coordinate lines from `i` on.
    auto coords = [&](std::int64_t count) {
        for (std::int64_t k = 0; k < count; ++k, ++i) {
            Check(i < lines.size() && IsCoordLine(lines[i]), "a coordinate line");
        }
    };
    // `parts` count lines, each followed by its coordinate lines.
    auto parts = [&](std::int64_t count) {
        for (std::int64_t k = 0; k < count; ++k) {
            Check(i < lines.size(), "a part count line");
            const std::int64_t points = CountAfter(lines[i++], "  ");
            Check(points >= 0, "a part count line");
            coords(points);
        }
    };
    while (i < lines.size()) {
        const std::string& line = lines[i++];
        if (line.empty()) {
            continue;
        }
        ++objects;
        if (line == "None") {
            continue;
        }
        if (line.starts_with("Point ")) {
            Check(IsCoordLine(std::string_view(line).substr(6)), "a point's coordinates");
        } else if (const std::int64_t multi = CountAfter(line, "PLine MultiPle "); multi >= 2) {
            parts(multi);
        } else if (const std::int64_t points = CountAfter(line, "PLine "); points >= 2) {
            coords(points);
        } else if (const std::int64_t rings = CountAfter(line, "Region "); rings >= 1) {
            parts(rings);
        } else {
            Check(false, "every line of the Data section belongs to an object");
        }
    }
    return objects;
}

// The catalogue indexes of the family's items, in the order the build names them.
std::vector<std::int64_t> FamilyItems(const TCatalogue& catalogue)
{
    std::vector<std::string> names;
    SplitFields(TOLVANE_FUZZ_FAMILY, ' ', names);
    std::vector<std::int64_t> items;
    for (const std::string& name : names) {
        for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
            if (!name.empty() && SjisToUtf8(catalogue.Item(i).ItemName) == name) {
                items.push_back(i);
            }
        }
    }
    Check(!items.empty(), "the family names items of the fuzz catalogue");
    return items;
}

std::set<std::string> FolderEntries(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    static const TCatalogue catalogue = LoadCatalogue(TOLVANE_FUZZ_DEFINE);
    static const std::vector<std::int64_t> items = FamilyItems(catalogue);
    const std::size_t count = items.size();
    const std::int64_t item = items[data[0] % count];
    const auto coordSys = static_cast<std::int64_t>(data[0] / count % 4);
    const auto dir = tolvane::fuzz::ScratchDir() / "convert";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto source = dir / "source.txt";
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    tolvane::fuzz::WriteFile(source, bytes);
    const auto mif = dir / "out.mif";

    const int fds = CountOpenFds();
    TJobObserver observer;
    bool ok = false;
    try {
        ok = ConvertDataItem(catalogue, item, source, mif, coordSys, observer);
    } catch (const TAppError&) {
        ok = false;
        Check(CountOpenFds() == fds, "a job that cannot start closes what it opened");
    }
    Check(CountOpenFds() == fds, "a job closes every file");
    Check(tolvane::fuzz::ReadFile(source) == bytes, "the source is never written");
    // Only the outputs the item names: no temporary file stays behind, failed or not.
    const std::set<std::string> allowed{"source.txt", "out.mif", "out.mid", "out.csv"};
    for (const std::string& name : FolderEntries(dir)) {
        Check(allowed.contains(name), "no stray file beside the outputs");
    }
    if (ok && std::filesystem::exists(mif)) {
        Check(CountObjects(mif) == CountLines(dir / "out.mid"), "one MID row per MIF object");
    }
    return 0;
}
