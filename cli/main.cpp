// tolvane-cli: the converter on the command line (list the data items, convert, run a batch).
#include "CliObserver.h"
#include "convert/AppError.h"
#include "convert/Catalogue.h"
#include "convert/ExeDir.h"
#include "convert/uniCodePage.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using namespace tolvane::convert;

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "使い方:\n"
    "  tolvane-cli items [--define DIR]\n"
    "      データ項目の一覧を表示します (カテゴリ, 項目番号, 名前, 形式, ファイルマスク)。\n"
    "  tolvane-cli --help | --version\n"
    "\n"
    "--define DIR は Define フォルダーそのものを指定します。省略すると実行ファイルの隣の\n"
    "Define フォルダーを使います。\n";

void PrintUsage(std::FILE* out)
{
    std::fputs(kUsage, out);
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
        return UsageError("不明なコマンドです: " + command);
    } catch (const TAppError& e) {
        std::fprintf(stderr, "tolvane-cli: %s\n", e.what());
        return kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tolvane-cli: %s\n", e.what());
        return kExitUsage;
    }
}
