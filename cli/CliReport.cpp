// What the command line says about a job and a batch.
#include "cli/CliReport.h"

#include <cstdio>

#include "base/uniMessages.h"
#include "base/uniPlatform.h"
#include "cli/CliMessages.h"

namespace tolvane::cli {

using namespace tolvane::base;

namespace {

void PrintWarnings(const std::string& srcFile, const driver::TJobResult& result)
{
    for (const std::string& warning : result.Warnings) {
        std::fprintf(stderr, "tolvane-cli: %s: %s\n", srcFile.c_str(), warning.c_str());
    }
    for (const std::string& note : result.Notes) {
        std::fprintf(stderr, "tolvane-cli: %s\n", note.c_str());
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

bool ReportJob(const std::string& srcFile, const driver::TJobResult& result, bool quiet)
{
    if (result) {
        if (!quiet) {
            std::printf("%s\n%s\n", std::string(kMsgConvertSucceeded).c_str(),
                        WrittenLine(result).c_str());
            std::fflush(stdout);
        }
        PrintWarnings(srcFile, result);
        return true;
    }
    std::fprintf(stderr, "%s\n", std::string(kMsgConvertFailed).c_str());
    if (result.Failure) {
        std::fprintf(stderr, "%s\n", result.Failure->what());
    }
    if (!quiet) {
        std::fprintf(stderr, "%s\n", WrittenLine(result).c_str());
    }
    PrintWarnings(srcFile, result);
    return false;
}

void ReportRow(std::size_t row, const batch::TBatchEntry& entry, bool quiet)
{
    const bool converted = entry.Status == batch::TEntryStatus::Converted;
    if (!converted || !quiet) {
        std::string_view outcome = kMsgRowNotConverted;
        if (converted) {
            outcome = kMsgRowConverted;
        } else if (entry.Status == batch::TEntryStatus::Failed) {
            outcome = kMsgRowFailed;
        } else if (!entry.FailReason.empty()) {
            outcome = kMsgRowNotStarted;
        }
        std::FILE* to = quiet ? stderr : stdout;
        std::fprintf(to, "%zu\t%s\t%s -> %s\n", row + 1, std::string(outcome).c_str(),
                     entry.SrcFile.c_str(), entry.DstFile.c_str());
        if (!entry.FailReason.empty()) {
            std::fprintf(to, "\t%s\n", entry.FailReason.c_str());
        }
        if (entry.Result && !quiet) {
            std::fprintf(to, "\t%s\n", WrittenLine(*entry.Result).c_str());
        }
        std::fflush(to);
    }
    if (entry.Result) {
        PrintWarnings(entry.SrcFile, *entry.Result);
    }
}

void ReportUnfinishedRows(const batch::TBatchList& list, bool quiet)
{
    bool reached = false;
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        reached = reached || list.Entries[i].Status == batch::TEntryStatus::None;
        if (reached) {
            ReportRow(i, list.Entries[i], quiet);
        }
    }
}

int ReportCancelled()
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", std::string(kMsgConvertCancelled).c_str());
    const int signal = CancelSignal();
    return signal != 0 ? 128 + signal : 1;
}

} // namespace tolvane::cli
