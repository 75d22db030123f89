// Checks of a job's input that warn.
#include "driver/InputChecks.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

#include "base/AppError.h"
#include "base/uniBytes.h"
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

// "tokyo (緯度/経度（東京）)"; the number of an index outside the table.
std::string CoordSysText(shapes::TCoordSysIndex index)
{
    const shapes::TCoordSys* coordSys = shapes::FindCoordSys(index);
    if (coordSys == nullptr) {
        return std::to_string(index);
    }
    return std::string(coordSys->Key) + " (" + std::string(coordSys->Name) + ")";
}

// Whether `name` holds `tag` ("-jgd") not followed by a letter ("-jgd2011" counts, "-jgdx" not).
bool HasTag(std::string_view name, std::string_view tag)
{
    for (std::size_t at = name.find(tag); at != std::string_view::npos;
         at = name.find(tag, at + 1)) {
        const std::size_t end = at + tag.size();
        if (end == name.size() || name[end] < 'a' || name[end] > 'z') {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<std::string> CheckDatumName(const std::filesystem::path& srcFile,
                                          shapes::TCoordSysIndex coordSys)
{
    struct TTag
    {
        std::string_view Tag;
        const TMessage* Datum;
        shapes::TCoordSysIndex Expected;
    };
    static constexpr std::array kTags{TTag{"-jgd", &kDatumJgd2000, 2},
                                      TTag{"-tky", &kDatumTokyo, 0}};
    const std::string name = LowerAscii(srcFile.stem().string());
    for (const TTag& tag : kTags) {
        if (HasTag(name, tag.Tag) && coordSys != tag.Expected) {
            return FormatMessage(
                kWarnDatumName,
                {tag.Tag, tag.Datum->Text(), CoordSysText(coordSys), CoordSysText(tag.Expected)});
        }
    }
    return std::nullopt;
}

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
