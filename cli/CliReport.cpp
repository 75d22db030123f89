// What the command line says about a job and a batch.
#include "cli/CliReport.h"

#include <cstdio>

#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniPlatform.h"
#include "cli/CliMessages.h"

namespace tolvane::cli {

using namespace tolvane::base;

namespace {

void PrintWarnings(const std::string& srcFile, const driver::TJobResult& result)
{
    for (const std::string& warning : result.Warnings) {
        WriteText(stderr, "tolvane-cli: " + srcFile + ": " + warning + "\n");
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
            line.append(PathToUtf8(result.Files[i].filename()));
        }
        line.push_back(')');
    }
    return line;
}

bool ReportJob(const std::string& srcFile, const driver::TJobResult& result, bool quiet)
{
    if (result) {
        if (!quiet) {
            WriteText(stdout,
                      std::string(kMsgConvertSucceeded) + "\n" + WrittenLine(result) + "\n");
            std::fflush(stdout);
        }
        PrintWarnings(srcFile, result);
        return true;
    }
    std::string text = std::string(kMsgConvertFailed) + "\n";
    if (result.Failure) {
        text += std::string(result.Failure->what()) + "\n";
    }
    if (!quiet) {
        text += WrittenLine(result) + "\n";
    }
    WriteText(stderr, text);
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
        std::string text = std::to_string(row + 1) + "\t" + std::string(outcome) + "\t" +
                           entry.SrcFile + " -> " + entry.DstFile + "\n";
        if (!entry.FailReason.empty()) {
            text += "\t" + entry.FailReason + "\n";
        }
        if (entry.Result && !quiet) {
            text += "\t" + WrittenLine(*entry.Result) + "\n";
        }
        WriteText(to, text);
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
    WriteText(stderr, std::string(kMsgConvertCancelled) + "\n");
    const int signal = CancelSignal();
    return signal != 0 ? 128 + signal : 1;
}

} // namespace tolvane::cli
