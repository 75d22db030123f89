// What the command line says about a job and a batch.
#include "CliReport.h"

#include <cstdio>

#include "base/uniMessages.h"
#include "base/uniPlatform.h"

namespace tolvane::cli {

using namespace tolvane::base;

namespace {

void PrintWarnings(const std::string& srcFile, const driver::TJobResult& result)
{
    for (const std::string& warning : result.Warnings) {
        std::fprintf(stderr, "tolvane-cli: %s: %s\n", srcFile.c_str(), warning.c_str());
    }
}

} // namespace

std::string WrittenLine(const driver::TJobResult& result)
{
    std::string line = FormatMessage(kMsgWritten, {std::to_string(result.Objects),
                                                   std::to_string(result.LedgerRows),
                                                   std::to_string(result.Files.size())});
    if (!result.Files.empty()) {
        line.append(" (");
        for (std::size_t i = 0; i < result.Files.size(); ++i) {
            line.append(i == 0 ? "" : ", ");
            line.append(result.Files[i].filename().string());
        }
        line.push_back(')');
    }
    return line;
}

int ReportJob(const std::string& srcFile, const driver::TJobResult& result)
{
    if (result) {
        std::printf("%s\n%s\n", std::string(kMsgConvertSucceeded).c_str(),
                    WrittenLine(result).c_str());
        std::fflush(stdout);
        PrintWarnings(srcFile, result);
        return kExitOk;
    }
    std::fprintf(stderr, "%s\n", std::string(kMsgConvertFailed).c_str());
    if (result.Failure) {
        std::fprintf(stderr, "%s\n", result.Failure->what());
    }
    std::fprintf(stderr, "%s\n", WrittenLine(result).c_str());
    PrintWarnings(srcFile, result);
    return kExitFailed;
}

void ReportRow(std::size_t row, const batch::TBatchEntry& entry)
{
    const char* outcome = "変換していません";
    if (entry.Status == batch::TEntryStatus::Converted) {
        outcome = "変換しました";
    } else if (entry.Status == batch::TEntryStatus::Failed) {
        outcome = "失敗しました";
    } else if (!entry.FailReason.empty()) {
        outcome = "開始できませんでした";
    }
    std::printf("%zu\t%s\t%s -> %s\n", row + 1, outcome, entry.SrcFile.c_str(),
                entry.DstFile.c_str());
    if (!entry.FailReason.empty()) {
        std::printf("\t%s\n", entry.FailReason.c_str());
    }
    if (entry.Result) {
        std::printf("\t%s\n", WrittenLine(*entry.Result).c_str());
    }
    std::fflush(stdout);
    if (entry.Result) {
        PrintWarnings(entry.SrcFile, *entry.Result);
    }
}

void ReportUnfinishedRows(const batch::TBatchList& list)
{
    bool reached = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        reached = reached || list.Entries[i].Status == batch::TEntryStatus::None;
        if (reached) {
            ReportRow(i, list.Entries[i]);
        }
    }
}

int ReportCancelled()
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", std::string(kMsgConvertCancelled).c_str());
    const int signal = CancelSignal();
    return signal != 0 ? 128 + signal : kExitFailed;
}

} // namespace tolvane::cli
