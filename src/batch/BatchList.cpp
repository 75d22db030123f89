// The batch list and its file.
#include "batch/BatchList.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>

#include "base/AppError.h"
#include "base/OutputFiles.h"
#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "base/uniTextFile.h"

namespace tolvane::batch {

using namespace tolvane::base;
using driver::TCatalogue;

namespace {

constexpr std::string_view kMagic = "tolvane";
constexpr std::string_view kVersion = "200";

std::string ToSjisStrict(const std::string& utf8)
{
    if (auto sjis = TryUtf8ToSjis(utf8)) {
        return *sjis;
    }
    throw TDataError(FormatMessage(kMsgNotShiftJis, {utf8}));
}

std::string ToUtf8Strict(const std::string& sjis)
{
    if (auto utf8 = TrySjisToUtf8(sjis)) {
        return *utf8;
    }
    throw TDataError(FormatMessage(kMsgNotSjisText, {SjisToUtf8(sjis)}));
}

// A doubled quote inside a field reads back as one: paths holding a quote survive the round trip.
std::string Quoted(const std::string& text)
{
    std::string out;
    AppendQuoted(out, text);
    return out;
}

} // namespace

bool IsCombinable(const std::vector<TBatchEntry>& entries)
{
    if (entries.size() < 2) {
        return false;
    }
    for (const TBatchEntry& entry : entries) {
        if (entry.ItemIndex != entries.front().ItemIndex ||
            entry.CoordSysIndex != entries.front().CoordSysIndex) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> WhyNotCombinable(const std::vector<TBatchEntry>& entries)
{
    if (entries.size() < 2) {
        return std::string(kMsgMergeNeedsTwoRows);
    }
    for (const TBatchEntry& entry : entries) {
        if (entry.ItemIndex != entries.front().ItemIndex) {
            return std::string(kMsgMergeItemsDiffer);
        }
    }
    for (const TBatchEntry& entry : entries) {
        if (entry.CoordSysIndex != entries.front().CoordSysIndex) {
            return std::string(kMsgMergeCoordSysDiffer);
        }
    }
    return std::nullopt;
}

TBatchFileInvalid::TBatchFileInvalid() : TDataError(std::string(kMsgInvalidBatchList)) {}

void LoadBatchFile(const std::filesystem::path& path, const TCatalogue& catalogue, TBatchList& list)
{
    list.Entries.clear();
    const std::vector<std::string> lines = LoadLines(path);
    if (lines.size() < 4 || LowerAscii(TrimBlanks(lines[0])) != kMagic ||
        LowerAscii(TrimBlanks(lines[1])) != kVersion) {
        throw TBatchFileInvalid();
    }
    list.FileName = path;
    try {
        list.Combine = StrToBool(lines[2]);
    } catch (TAppError& error) {
        error.SetPlace(PathToUtf8(path), 3);
        throw;
    }
    list.CombineFile = ToUtf8Strict(lines[3]);
    // Lists of many rows name few items.
    std::unordered_map<std::int64_t, std::string> names;
    for (std::size_t i = 4; i < lines.size(); ++i) {
        try {
            const std::string& line = lines[i];
            TBatchEntry entry;
            entry.ItemIndex = StrToInt(GetField(line, 1, '\t'));
            auto name = names.find(entry.ItemIndex);
            if (name == names.end()) {
                name =
                    names.emplace(entry.ItemIndex, catalogue.Item(entry.ItemIndex).ItemName).first;
            }
            entry.ItemName = name->second;
            entry.SrcFile = ToUtf8Strict(GetField(line, 2, '\t'));
            entry.DstFile = ToUtf8Strict(GetField(line, 3, '\t'));
            entry.CoordSysIndex = StrToInt(GetField(line, 4, '\t'));
            list.Entries.push_back(std::move(entry));
        } catch (TAppError& error) {
            error.SetPlace(PathToUtf8(path), static_cast<std::int64_t>(i) + 1);
            throw;
        }
    }
}

bool IsBatchListFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    // The magic with blanks around it fits easily; a longer first line is no batch list.
    constexpr std::size_t kHead = 64;
    std::string head(kHead, '\0');
    in.read(head.data(), static_cast<std::streamsize>(kHead));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    const std::size_t end = head.find_first_of("\r\n");
    if (end == std::string::npos && head.size() == kHead) {
        return false;
    }
    return LowerAscii(TrimBlanks(std::string_view(head).substr(0, end))) == kMagic;
}

void SaveBatchFile(const std::filesystem::path& path, TBatchList& list)
{
    std::vector<std::string> lines;
    lines.emplace_back(kMagic);
    lines.emplace_back(kVersion);
    lines.emplace_back(list.Combine ? "-1" : "0");
    lines.push_back(ToSjisStrict(list.CombineFile));
    for (const TBatchEntry& entry : list.Entries) {
        lines.push_back(Quoted(std::to_string(entry.ItemIndex)) + "\t" +
                        Quoted(ToSjisStrict(entry.SrcFile)) + "\t" +
                        Quoted(ToSjisStrict(entry.DstFile)) + "\t" +
                        Quoted(std::to_string(entry.CoordSysIndex)));
    }
    TOutputFiles outputs({{path, TOnFailure::Drop}});
    try {
        SaveLines(outputs.WritePath(0), lines);
    } catch (TAppError& error) {
        outputs.ShowDestinations(error);
        throw;
    }
    outputs.Place(true);
    list.FileName = path;
}

} // namespace tolvane::batch
