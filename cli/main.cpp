// tolvane-cli: the converter on the command line (list the data items, convert, run a batch).
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "base/uniPaths.h"
#include "base/uniPlatform.h"
#include "batch/BatchList.h"
#include "batch/BatchRunner.h"
#include "cli/CliMessages.h"
#include "cli/CliObserver.h"
#include "cli/CliReport.h"
#include "cli/CommandLine.h"
#include "cli/Terminal.h"
#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "driver/JobFiles.h"
#ifdef TOLVANE_HAVE_GDAL
#include "gdal/Reprojection.h"
#endif
#include "shapes/uniCoordSys.h"

namespace {

using namespace tolvane::base;
using namespace tolvane::cli;
using namespace tolvane::driver;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr int kItems = 0;
constexpr int kConvert = 1;
constexpr int kBatch = 2;
constexpr int kHelp = 3;

constexpr std::array kCommands{
    TCommand{"items", "", kHelpItems, 0, 0},
    TCommand{"convert", "SRC DST", kHelpConvert, 2, 2, kHelpConvertDetails},
    TCommand{"batch", "LISTFILE", kHelpBatch, 1, 1},
    TCommand{"help", "[COMMAND]", kHelpHelp, 0, 1},
};

// "tokyo (0), wgs84 (1), jgd2000 (2)"
std::string CoordSysChoices()
{
    std::string out;
    for (std::size_t i = 0; i < tolvane::shapes::kCoordSystems.size(); ++i) {
        out.append(i == 0 ? "" : ", ");
        out.append(tolvane::shapes::kCoordSystems[i].Key);
        out.append(" (" + std::to_string(i) + ")");
    }
    return out;
}

std::optional<std::string> CheckCoordSys(std::string_view value)
{
    if (tolvane::shapes::ParseCoordSys(value)) {
        return std::nullopt;
    }
    return FormatMessage(kMsgBadCoordSys, {value, CoordSysChoices()});
}

std::optional<std::string> CheckJobs(std::string_view value)
{
    const auto jobs = TryStrToInt(value);
    if (jobs && *jobs >= 1 && *jobs <= 256) {
        return std::nullopt;
    }
    return FormatMessage(kMsgBadJobs, {value});
}

// The EPSG code of --to-crs's value; raises TAppError for a value that names none (and in a
// build without GDAL for any value).
int ParseTargetCrs(std::string_view value)
{
#ifdef TOLVANE_HAVE_GDAL
    return tolvane::gdal::ParseEpsg(value);
#else
    static_cast<void>(value);
    throw TAppError(FormatMessage(kMsgGdalMissing, {"--to-crs"}));
#endif
}

std::optional<std::string> CheckToCrs(std::string_view value)
{
    try {
        ParseTargetCrs(value);
    } catch (const TAppError& error) {
        return FormatMessage(kMsgBadToCrs, {error.what()});
    }
    return std::nullopt;
}

constexpr std::array kOptions{
    TOption{"define", 0, "DIR", kGlobal, kHelpDefine},
    TOption{"quiet", 'q', "", kGlobal, kHelpQuiet},
    TOption{"help", 'h', "", kGlobal, kHelpHelpOption, nullptr, nullptr, true},
    TOption{"version", 0, "", kGlobal, kHelpVersion, nullptr, nullptr, true},
    TOption{"item", 0, "ITEM", CommandBit(kConvert), kHelpItem},
    TOption{"coordsys", 0, "CS", CommandBit(kConvert), kHelpCoordSys, CheckCoordSys,
            CoordSysChoices},
    TOption{"to-crs", 0, "CRS", CommandBit(kConvert), kHelpToCrs, CheckToCrs},
    TOption{"jobs", 0, "N", CommandBit(kBatch), kHelpJobs, CheckJobs},
};

const TProgram kProgram{"tolvane-cli", kCommands, kOptions, kHelpCliUsage, kHelpCliFooter};

// --define DIR, $TOLVANE_DEFINE, the installed share/tolvane/Define, Define beside the program.
std::filesystem::path DefineDir(const TArgs& args)
{
    const auto dir = args.Value("define");
    return DefaultDefineDir(dir ? std::optional<std::filesystem::path>(Utf8ToPath(*dir))
                                : std::nullopt);
}

bool ShowsProgress(const TArgs& args)
{
    return !args.Has("quiet") && IsTerminal(stderr);
}

// MIF output is always two or more files, and a source is read twice: no standard streams.
void RefuseDash(const TArgs& args)
{
    if (std::find(args.Operands.begin(), args.Operands.end(), "-") != args.Operands.end()) {
        throw TUsageError(std::string(kMsgDashRefused.Text()), args.Command);
    }
}

// "  index<TAB>name<TAB>data code" for each of `items`.
std::string ItemLines(const TCatalogue& catalogue, const std::vector<std::int64_t>& items)
{
    std::string out;
    for (const std::int64_t index : items) {
        const TCatalogueLine line = catalogue.Item(index);
        const std::string code = DataCodeOfMask(line.FileMask);
        out += "  " + std::to_string(index) + "\t" + SjisToUtf8(line.ItemName) + "\t" +
               (code.empty() ? "-" : code) + "\n";
    }
    return out;
}

// The item that --item names: a catalogue number (checked by the job), a name or a data code.
// Prints why and returns nullopt when it names none or several.
std::optional<std::int64_t> ResolveItem(const TCatalogue& catalogue, const std::string& text)
{
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        if (const auto index = TryStrToInt(text)) {
            return *index;
        }
    }
    const TItemLookup lookup = LookUpItem(catalogue, text);
    if (lookup.Items.size() == 1) {
        return lookup.Items.front();
    }
    std::string out = "tolvane-cli: ";
    if (lookup.Items.size() > 1) {
        out += FormatMessage(kMsgItemAmbiguous, {text}) + "\n" + ItemLines(catalogue, lookup.Items);
    } else if (!lookup.Candidates.empty()) {
        out += FormatMessage(kMsgItemUnknownCandidates, {text}) + "\n" +
               ItemLines(catalogue, lookup.Candidates);
    } else {
        out += FormatMessage(kMsgItemUnknown, {text}) + "\n" + std::string(kMsgItemsHint.Text()) +
               "\n";
    }
    WriteText(stderr, out);
    return std::nullopt;
}

int RunItems(const TArgs& args)
{
    const TCatalogue catalogue = LoadCatalogue(DefineDir(args));
    const TDataKindTree tree = BuildDataKindTree(catalogue.Lines());
    std::string out;
    for (const TDataKindNode& category : tree) {
        out.append(SjisToUtf8(category.Caption));
        out.push_back('\n');
        for (const TDataKindNode& item : category.Children) {
            const TCatalogueLine line = catalogue.Item(item.ItemIndex);
            const std::string code = DataCodeOfMask(line.FileMask);
            out += "  " + std::to_string(item.ItemIndex) + "\t" + SjisToUtf8(item.Caption) + "\t" +
                   (code.empty() ? "-" : code) + "\t" + SjisToUtf8(line.FormatCode) + "\t" +
                   SjisToUtf8(line.FileMask) + "\n";
        }
    }
    WriteText(stdout, out);
    return kExitOk;
}

int RunConvert(const TArgs& args)
{
    RefuseDash(args);
    const auto itemText = args.Value("item");
    if (!itemText) {
        throw TUsageError(std::string(kMsgItemRequired.Text()), args.Command);
    }
    const auto coordSys = tolvane::shapes::ParseCoordSys(args.Value("coordsys").value_or("0"));
    TJobOptions options;
    if (const auto crs = args.Value("to-crs")) {
        options.TargetEpsg = ParseTargetCrs(*crs);
        if (OutputFormatOf(args.Operands[1]) == TOutputFormat::Mif) {
            throw TUsageError(FormatMessage(kMsgReprojectNeedsGdal,
                                            {std::to_string(options.TargetEpsg), args.Operands[1]}),
                              args.Command);
        }
    }
    const TCatalogue catalogue = LoadCatalogue(DefineDir(args));
    const auto item = ResolveItem(catalogue, *itemText);
    if (!item) {
        return kExitUsage;
    }
    const bool quiet = args.Has("quiet");
    InstallCancelSignals();
    TCliObserver observer(ShowsProgress(args), quiet);
    try {
        const TJobResult result = ConvertDataItem(
            catalogue, *item, Utf8ToPath(args.Operands[0]), Utf8ToPath(args.Operands[1]),
            coordSys.value_or(0), observer, tolvane::ksj::kConverterTable, options);
        return ReportJob(args.Operands[0], result, quiet) ? kExitOk : kExitFailed;
    } catch (const TJobCancelled&) {
        return ReportCancelled();
    }
}

int RunBatchFile(const TArgs& args)
{
    using namespace tolvane::batch;
    RefuseDash(args);
    unsigned jobs = std::max(1U, std::thread::hardware_concurrency());
    if (const auto value = args.Value("jobs")) {
        jobs = static_cast<unsigned>(TryStrToInt(*value).value_or(1));
    }
    const TCatalogue catalogue = LoadCatalogue(DefineDir(args));
    TBatchList list;
    LoadBatchFile(Utf8ToPath(args.Operands[0]), catalogue, list);
    if (const auto warning = CheckBatchRun(catalogue, list)) {
        WriteText(stderr, "tolvane-cli: " + *warning + "\n");
        return kExitUsage;
    }
    const bool quiet = args.Has("quiet");
    InstallCancelSignals();
    TCliObserver observer(ShowsProgress(args), quiet);
    try {
        RunBatch(catalogue, list, observer, jobs);
    } catch (const TJobCancelled&) {
        ReportUnfinishedRows(list, quiet);
        return ReportCancelled();
    } catch (...) {
        ReportUnfinishedRows(list, quiet);
        throw;
    }
    if (const auto skipped = MergeSkipReason(list)) {
        std::fflush(stdout);
        WriteText(stderr, "tolvane-cli: " + *skipped + "\n");
    }
    if (!quiet) {
        if (MergeRequested(list)) {
            WriteText(stdout, FormatMessage(kMsgMerged, {list.CombineFile}) + "\n");
        }
        WriteText(stdout, std::string(kMsgBatchFinished) + "\n");
    }
    for (const TBatchEntry& entry : list.Entries) {
        if (entry.Status != TEntryStatus::Converted) {
            return kExitFailed;
        }
    }
    return kExitOk;
}

int RunHelp(const TArgs& args)
{
    int command = -1;
    if (!args.Operands.empty()) {
        const auto found = std::find_if(kCommands.begin(), kCommands.end(), [&](const TCommand& c) {
            return c.Name == args.Operands.front();
        });
        if (found == kCommands.end()) {
            throw TUsageError(FormatMessage(kMsgUnknownCommand, {args.Operands.front()}), kHelp);
        }
        command = static_cast<int>(found - kCommands.begin());
    }
    WriteText(stdout, HelpText(kProgram, command));
    return kExitOk;
}

int Run(const std::vector<std::string>& argv)
{
    const TArgs args = ParseArgs(kProgram, argv);
    if (args.Has("help")) {
        WriteText(stdout, HelpText(kProgram, args.Command));
        return kExitOk;
    }
    if (args.Has("version")) {
        WriteText(stdout, "tolvane-cli " TOLVANE_VERSION "\n");
        return kExitOk;
    }
    switch (args.Command) {
    case kItems:
        return RunItems(args);
    case kConvert:
        return RunConvert(args);
    case kBatch:
        return RunBatchFile(args);
    default:
        return RunHelp(args);
    }
}

int Main(const std::vector<std::string>& argv)
{
    PrepareStandardStreams();
    SetMessageLanguage(LanguageFromEnvironment());
    try {
        return Run(argv);
    } catch (const TUsageError& e) {
        WriteText(stderr, UsageErrorText(kProgram, e));
        return kExitUsage;
    } catch (const std::exception& e) {
        WriteText(stderr, std::string("tolvane-cli: ") + e.what() + "\n");
        return kExitUsage;
    }
}

} // namespace

// On Windows the arguments come as UTF-16 (wmain), whatever the ANSI code page.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
#else
int main(int argc, char** argv)
#endif
{
    return Main(ProgramArguments(argc, argv));
}
