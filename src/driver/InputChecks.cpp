// Checks of a job's input that warn.
#include "driver/InputChecks.h"

#include <algorithm>
#include <fstream>
#include <string_view>

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "base/uniTextFile.h"
#include "ksj/KsjHeader.h"

namespace tolvane::driver {

using namespace tolvane::base;

namespace {

// A header line is short: the first line is read no further than this.
constexpr std::size_t kHeaderLineCap = 4096;

// True when the file ends in a line that is only the end mark (Ctrl-Z), as many KSJ files do:
// CountLines counts that line, the converters do not.
bool EndsWithEndMarkLine(const std::filesystem::path& srcFile)
{
    std::ifstream in(srcFile, std::ios::binary);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (!in || size < 2) {
        return false;
    }
    const std::streamoff tail = std::min<std::streamoff>(size, 4);
    std::string bytes(static_cast<std::size_t>(tail), '\0');
    in.seekg(size - tail);
    in.read(bytes.data(), tail);
    if (!in) {
        return false;
    }
    std::string_view text = bytes;
    if (text.ends_with("\r\n")) {
        text.remove_suffix(2);
    } else if (text.ends_with('\n') || text.ends_with('\r')) {
        text.remove_suffix(1);
    }
    return text.size() >= 2 && text.back() == '\x1A' &&
           (text[text.size() - 2] == '\n' || text[text.size() - 2] == '\r');
}

// The lines of the file as the converters read it (a lone CR is no line break there, and a
// Ctrl-Z ends the file).
std::int64_t LinesAsRead(const std::filesystem::path& srcFile)
{
    TSjisLineReader src(srcFile);
    while (!src.Eof()) {
        if (src.ReadCleanLines().empty()) {
            src.ReadLineView();
        }
    }
    return src.LineNo();
}

} // namespace

std::vector<std::string> CheckSourceHeader(const TCatalogueLine& item,
                                           const std::filesystem::path& srcFile,
                                           std::int64_t lineCount)
{
    std::vector<std::string> warnings;
    try {
        TSjisLineReader src(srcFile, kHeaderLineCap, kHeaderLineCap);
        if (src.Eof()) {
            return warnings;
        }
        const std::optional<ksj::TKsjHeader> header = ksj::ReadKsjHeader(src.ReadLineView());
        if (!header) {
            return warnings;
        }
        if (!MaskCanBegin(item.FileMask, header->DataCode)) {
            warnings.push_back(
                FormatMessage(kWarnDataCode, {header->DataCode, SjisToUtf8(item.ItemName),
                                              SjisToUtf8(item.FileMask)}));
        }
        if (header->Lines && *header->Lines != lineCount &&
            !(*header->Lines == lineCount - 1 && EndsWithEndMarkLine(srcFile))) {
            const std::int64_t read = LinesAsRead(srcFile);
            if (*header->Lines != read) {
                warnings.push_back(FormatMessage(
                    kWarnLineCount, {std::to_string(*header->Lines), std::to_string(read)}));
            }
        }
    } catch (const TAppError&) { // NOLINT(bugprone-empty-catch): the conversion reports it
    }
    return warnings;
}

} // namespace tolvane::driver
