// The source line reader, the line lists and the line count against simple reference rules.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/AppError.h"
#include "base/uniTextFile.h"

using namespace tolvane::base;
using tolvane::fuzz::Check;

namespace {

// Source lines: LF or CR LF end a line, a lone CR is dropped, Ctrl-Z ends the file.
std::vector<std::string> ReferenceLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (const char c : bytes) {
        if (c == '\x1A') {
            break;
        }
        open = true;
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
        } else if (c != '\r') {
            current.push_back(c);
        }
    }
    if (open) {
        lines.push_back(current);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto path = tolvane::fuzz::ScratchDir() / "text.txt";
    tolvane::fuzz::WriteFile(path, bytes);

    const std::vector<std::string> expected = ReferenceLines(bytes);
    for (const std::size_t block : {1U, 3U, 4096U}) {
        TSjisLineReader reader(path, block);
        std::vector<std::string> lines;
        while (!reader.Eof()) {
            lines.emplace_back(reader.ReadLineView());
        }
        Check(lines == expected, "the reader follows the line rules at every block size");
        Check(reader.ReadLineView().empty(), "past the end comes an empty line");
        reader.Rewind();
        if (!expected.empty()) {
            Check(reader.ReadLineView() == expected.front(), "rewind starts again");
        }
    }
    // A cap below the longest line raises a data error instead of growing.
    try {
        TSjisLineReader capped(path, 7, 16);
        while (!capped.Eof()) {
            Check(capped.ReadLineView().size() <= 16, "no line beyond the cap");
        }
    } catch (const TDataError&) {
    }

    const std::vector<std::string> loaded = LoadLines(path);
    Check(loaded == SplitLines(bytes), "LoadLines is SplitLines of the file");
    for (const std::size_t block : {1U, 2U, 4096U}) {
        Check(CountLines(path, block) == static_cast<std::int64_t>(loaded.size()),
              "the count agrees with the line list");
    }
    return 0;
}
