// Checks of a job's input that warn.
#include "driver/InputChecks.h"

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
        if (header->Lines && *header->Lines != lineCount) {
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
