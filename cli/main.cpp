// tolvane-cli: the converter on the command line (list the data items, convert, run a batch).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "CliObserver.h"
#include "CliReport.h"
#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "base/uniPaths.h"
#include "base/uniPlatform.h"
#include "batch/BatchList.h"
#include "batch/BatchRunner.h"
#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "shapes/uniCoordSys.h"

namespace {

using namespace tolvane::base;
using namespace tolvane::driver;

using tolvane::cli::kExitFailed;
using tolvane::cli::kExitOk;
using tolvane::cli::kExitUsage;

// The coordinate systems as "0, 1, 2".
std::string CoordSysChoices()
{
    std::string out;
    for (std::size_t i = 0; i < tolvane::shapes::kCoordSystems.size(); ++i) {
        out.append(i == 0 ? "" : ", ");
        out.append(std::to_string(i));
    }
    return out;
}

// The coordinate systems as "0 name, 1 name, …".
std::string CoordSysList()
{
    std::string out;
    for (std::size_t i = 0; i < tolvane::shapes::kCoordSystems.size(); ++i) {
        out.append(i == 0 ? "" : ", ");
        out.append(std::to_string(i));
        out.push_back(' ');
        out.append(tolvane::shapes::kCoordSystems[i].Name);
    }
    return out;
}

const char* const kUsageHead =
    "使い方:\n"
    "  tolvane-cli items [--define DIR]\n"
    "      データ項目の一覧を表示します (カテゴリ, 項目番号, 名前, 形式, ファイルマスク)。\n"
    "  tolvane-cli convert [--define DIR] --item N [--coordsys K] SRC DST\n"
    "      SRC をデータ項目 N (0 から数えたカタログの行) として DST に変換します。\n";

const char* const kUsageTail =
    "  tolvane-cli batch [--define DIR] [--jobs N] LISTFILE\n"
    "      バッチリストファイルの変換を順に実行し、統合が指定されていれば出力を統合します。\n"
    "      N 個の変換を同時に行います (既定はコア数)。終了コード: 0 すべて成功, 1 失敗あり,\n"
    "      2 実行が止まった、またはファイルが不正。\n"
    "  tolvane-cli --help | --version\n"
    "\n"
    "--define DIR は Define フォルダーそのものを指定します。省略すると実行ファイルの隣の\n"
    "Define フォルダーを使います。\n";

void PrintUsage(std::FILE* out)
{
    std::fputs(kUsageHead, out);
    std::fprintf(out, "      K は座標系: %s。既定は 0。\n", CoordSysList().c_str());
    std::fputs(kUsageTail, out);
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "tolvane-cli: %s\n", message.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}

struct TArgs
{
    std::filesystem::path DefineDir = DefaultDefineDir();
    std::optional<std::int64_t> Item;
    tolvane::shapes::TCoordSysIndex CoordSys = 0;
    std::optional<std::int64_t> Jobs;
    std::vector<std::string> Positional;
};

// Takes "--define DIR" and positional arguments; anything else is a usage error.
std::optional<TArgs> ParseCommon(const std::vector<std::string>& args, std::string& error)
{
    TArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--define") {
            if (i + 1 >= args.size()) {
                error = "--define にはフォルダーを指定してください";
                return std::nullopt;
            }
            parsed.DefineDir = args[++i];
        } else if (arg == "--item" || arg == "--coordsys" || arg == "--jobs") {
            if (i + 1 >= args.size()) {
                error = arg + " には数を指定してください";
                return std::nullopt;
            }
            const auto value = TryStrToInt(args[++i]);
            if (!value) {
                error = arg + " の値 '" + args[i] + "' は整数ではありません";
                return std::nullopt;
            }
            if (arg == "--item") {
                parsed.Item = *value;
            } else if (arg == "--jobs") {
                parsed.Jobs = *value;
            } else {
                parsed.CoordSys = static_cast<tolvane::shapes::TCoordSysIndex>(*value);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "不明なオプションです: " + arg;
            return std::nullopt;
        } else {
            parsed.Positional.push_back(arg);
        }
    }
    return parsed;
}

int RunItems(const std::vector<std::string>& args)
{
    std::string error;
    const auto parsed = ParseCommon(args, error);
    if (!parsed) {
        return UsageError(error);
    }
    if (!parsed->Positional.empty()) {
        return UsageError("items は引数を取りません");
    }
    const TCatalogue catalogue = LoadCatalogue(parsed->DefineDir);
    const TDataKindTree tree = BuildDataKindTree(catalogue.Lines());
    std::string out;
    for (const TDataKindNode& category : tree) {
        out.append(SjisToUtf8(category.Caption));
        out.push_back('\n');
        for (const TDataKindNode& item : category.Children) {
            const TCatalogueLine line = catalogue.Item(item.ItemIndex);
            out.append("  ");
            out.append(std::to_string(item.ItemIndex));
            out.push_back('\t');
            out.append(SjisToUtf8(item.Caption));
            out.push_back('\t');
            out.append(SjisToUtf8(line.FormatCode));
            out.push_back('\t');
            out.append(SjisToUtf8(line.FileMask));
            out.push_back('\n');
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

int RunConvert(const std::vector<std::string>& args)
{
    std::string error;
    const auto parsed = ParseCommon(args, error);
    if (!parsed) {
        return UsageError(error);
    }
    if (!parsed->Item) {
        return UsageError("--item でデータ項目の番号を指定してください");
    }
    if (parsed->Positional.size() != 2) {
        return UsageError("変換元と変換後のファイル名を指定してください");
    }
    if (tolvane::shapes::FindCoordSys(parsed->CoordSys) == nullptr) {
        return UsageError("--coordsys は " + CoordSysChoices() + " のどれかです");
    }
    const TCatalogue catalogue = LoadCatalogue(parsed->DefineDir);
    InstallCancelSignals();
    tolvane::cli::TCliObserver observer(IsTerminal(stderr));
    try {
        const TJobResult result =
            ConvertDataItem(catalogue, *parsed->Item, parsed->Positional[0], parsed->Positional[1],
                            parsed->CoordSys, observer);
        return tolvane::cli::ReportJob(parsed->Positional[0], result);
    } catch (const TJobCancelled&) {
        return tolvane::cli::ReportCancelled();
    }
}

int RunBatchFile(const std::vector<std::string>& args)
{
    using namespace tolvane::batch;
    std::string error;
    const auto parsed = ParseCommon(args, error);
    if (!parsed) {
        return UsageError(error);
    }
    if (parsed->Positional.size() != 1) {
        return UsageError("バッチリストファイルを 1 つ指定してください");
    }
    unsigned jobs = std::max(1U, std::thread::hardware_concurrency());
    if (parsed->Jobs) {
        if (*parsed->Jobs < 1 || *parsed->Jobs > 256) {
            return UsageError("--jobs は 1 から 256 までです");
        }
        jobs = static_cast<unsigned>(*parsed->Jobs);
    }
    const TCatalogue catalogue = LoadCatalogue(parsed->DefineDir);
    TBatchList list;
    LoadBatchFile(parsed->Positional[0], catalogue, list);
    if (const auto warning = CheckBatchRun(catalogue, list)) {
        std::fprintf(stderr, "tolvane-cli: %s\n", warning->c_str());
        return kExitUsage;
    }
    InstallCancelSignals();
    tolvane::cli::TCliObserver observer(IsTerminal(stderr));
    try {
        RunBatch(catalogue, list, observer, jobs);
    } catch (const TJobCancelled&) {
        tolvane::cli::ReportUnfinishedRows(list);
        return tolvane::cli::ReportCancelled();
    } catch (...) {
        tolvane::cli::ReportUnfinishedRows(list);
        throw;
    }
    if (MergeRequested(list)) {
        std::printf("統合しました: %s\n", list.CombineFile.c_str());
    } else if (const auto skipped = MergeSkipReason(list)) {
        std::fflush(stdout);
        std::fprintf(stderr, "tolvane-cli: %s\n", skipped->c_str());
    }
    std::printf("%s\n", std::string(kMsgBatchFinished).c_str());
    for (const TBatchEntry& entry : list.Entries) {
        if (entry.Status != TEntryStatus::Converted) {
            return kExitFailed;
        }
    }
    return kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return UsageError("コマンドを指定してください");
    }
    const std::string command = args.front();
    args.erase(args.begin());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            PrintUsage(stdout);
            return kExitOk;
        }
        if (command == "--version") {
            std::printf("tolvane-cli %s\n", TOLVANE_VERSION);
            return kExitOk;
        }
        if (command == "items") {
            return RunItems(args);
        }
        if (command == "convert") {
            return RunConvert(args);
        }
        if (command == "batch") {
            return RunBatchFile(args);
        }
        return UsageError("不明なコマンドです: " + command);
    } catch (const TAppError& e) {
        std::fprintf(stderr, "tolvane-cli: %s\n", e.what());
        return kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tolvane-cli: %s\n", e.what());
        return kExitUsage;
    }
}
