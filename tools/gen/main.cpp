// tolvane-gen: writes realistic KSJ old-format source files of a requested size, the same bytes
// for the same seed, for samples, tests and benchmarks.
#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppError.h"
#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "base/uniPlatform.h"
#include "cli/CommandLine.h"
#include "driver/Catalogue.h"
#include "gen/GenProfiles.h"

namespace {

using namespace tolvane;
using namespace tolvane::gen;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A developer's tool: its texts are English only.
constexpr base::TMessage English(std::string_view text)
{
    return {text, text};
}

constexpr base::TMessage kUsage = English(
    "Usage:\n"
    "  tolvane-gen --format CODE [--records N] [--chains N] [--seed S] --out FILE\n"
    "      a file for the format code CODE (M2, M21 ... M24, M3, M3NS, M4, M3_10, M3_10P,\n"
    "      M3_4, M3_4P, P, N, L, AL, S, A, AC, PCSV, PCSV2, T)\n"
    "  tolvane-gen --item ITEM [--define DIR] [--records N] [--chains N] [--seed S] --out FILE\n"
    "      a file for a data item of the catalogue of DIR: its number, its name, or a data\n"
    "      code that names one item\n"
    "  tolvane-gen --samples OUTDIR [--define DIR]\n"
    "      the sample file of every data item of the catalogue of DIR\n"
    "  tolvane-gen --list\n"
    "      the kinds of file it writes, with what --records counts in each");

constexpr base::TMessage kFooter =
    English("The same arguments always give the same bytes. Usage errors exit with status 2.");

template <typename T> bool ParseNumber(std::string_view text, T& value)
{
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

std::optional<std::string> CheckCount(std::string_view value)
{
    std::int64_t number = 0;
    if (ParseNumber(value, number) && number >= 0) {
        return std::nullopt;
    }
    return "not a count: " + std::string(value);
}

std::optional<std::string> CheckSeed(std::string_view value)
{
    std::uint64_t number = 0;
    if (ParseNumber(value, number)) {
        return std::nullopt;
    }
    return "--seed needs a number: " + std::string(value);
}

constexpr std::array kOptions{
    cli::TOption{"format", 0, "CODE", cli::kGlobal, English("the format code to write")},
    cli::TOption{"item", 0, "ITEM", cli::kGlobal, English("the data item to write a file for")},
    cli::TOption{"samples", 0, "OUTDIR", cli::kGlobal,
                 English("write every item's sample file into OUTDIR")},
    cli::TOption{"list", 0, "", cli::kGlobal, English("list the kinds of file")},
    cli::TOption{"out", 0, "FILE", cli::kGlobal, English("the file to write")},
    cli::TOption{"define", 0, "DIR", cli::kGlobal,
                 English("the Define folder (default: $TOLVANE_DEFINE, the installed one, "
                         "the one beside the program)")},
    cli::TOption{"records", 0, "N", cli::kGlobal,
                 English("records to write (default: the size of the kind's sample)"), CheckCount},
    cli::TOption{"chains", 0, "N", cli::kGlobal, English("links of an area file"), CheckCount},
    cli::TOption{"seed", 0, "S", cli::kGlobal, English("the seed (default 1)"), CheckSeed},
    cli::TOption{"help", 'h', "", cli::kGlobal, English("show this help and exit"), nullptr,
                 nullptr, true},
};

const cli::TProgram kProgram{"tolvane-gen", {}, kOptions, kUsage, kFooter};

struct TArgs
{
    std::string Format;
    std::optional<std::string> Item;
    std::optional<std::filesystem::path> DefineDir; ///< --define; else looked up when needed
    std::filesystem::path Out;
    std::filesystem::path SamplesDir;
    std::optional<std::int64_t> Records;
    std::int64_t Chains = 0;
    std::uint64_t Seed = 1;
    bool List = false;
    bool Help = false;
};

// Raises cli::TUsageError.
TArgs Parse(const std::vector<std::string>& argv)
{
    const cli::TArgs args = cli::ParseArgs(kProgram, argv);
    TArgs parsed;
    parsed.Help = args.Has("help");
    parsed.List = args.Has("list");
    parsed.Format = base::UpperAscii(args.Value("format").value_or(""));
    parsed.Item = args.Value("item");
    if (const auto define = args.Value("define")) {
        parsed.DefineDir = base::Utf8ToPath(*define);
    }
    parsed.Out = base::Utf8ToPath(args.Value("out").value_or(""));
    parsed.SamplesDir = base::Utf8ToPath(args.Value("samples").value_or(""));
    if (const auto records = args.Value("records")) {
        ParseNumber(*records, parsed.Records.emplace());
    }
    ParseNumber(args.Value("chains").value_or("0"), parsed.Chains);
    ParseNumber(args.Value("seed").value_or("1"), parsed.Seed);
    if (parsed.Help) {
        return parsed;
    }
    const int modes = (parsed.Format.empty() ? 0 : 1) + (parsed.Item ? 1 : 0) +
                      (parsed.SamplesDir.empty() ? 0 : 1) + (parsed.List ? 1 : 0);
    if (modes != 1) {
        throw cli::TUsageError("give exactly one of --format, --item, --samples, --list", -1);
    }
    if ((!parsed.Format.empty() || parsed.Item) && parsed.Out.empty()) {
        throw cli::TUsageError("--out FILE is missing", -1);
    }
    return parsed;
}

int UsageError(const std::string& message)
{
    base::WriteText(stderr, cli::UsageErrorText(kProgram, cli::TUsageError(message, -1)));
    return kExitUsage;
}

// The catalogue index that `text` names: a number, a name or a data code naming one item.
std::optional<std::int64_t> FindItem(const driver::TCatalogue& catalogue, const std::string& text)
{
    std::int64_t index = 0;
    if (ParseNumber(text, index)) {
        return index >= 0 && index < catalogue.Count() ? std::optional(index) : std::nullopt;
    }
    const driver::TItemLookup lookup = driver::LookUpItem(catalogue, text);
    if (lookup.Items.size() == 1) {
        return lookup.Items.front();
    }
    return std::nullopt;
}

void List()
{
    for (const TGenProfile& profile : GenProfiles()) {
        std::string formats;
        for (const std::string_view code : profile.Formats) {
            if (!code.empty()) {
                formats += formats.empty() ? "" : ",";
                formats += code;
            }
        }
        std::array<char, 512> line{};
        std::snprintf(line.data(), line.size(), "%-8s %-20s %-22s %s, records = %s\n",
                      std::string(profile.DataCode).c_str(), formats.c_str(),
                      std::string(profile.SampleName).c_str(),
                      profile.Shipped ? "published layout" : "invented layout",
                      std::string(profile.RecordsAre).c_str());
        base::WriteText(stdout, line.data());
    }
}

int Run(const TArgs& args)
{
    if (args.Help) {
        base::WriteText(stdout, cli::HelpText(kProgram, -1));
        return kExitOk;
    }
    if (args.List) {
        List();
        return kExitOk;
    }
    if (!args.SamplesDir.empty()) {
        const driver::TCatalogue catalogue =
            driver::LoadCatalogue(base::DefaultDefineDir(args.DefineDir));
        std::filesystem::create_directories(args.SamplesDir);
        for (const std::string& name : WriteSamples(catalogue, args.SamplesDir)) {
            base::WriteText(stdout,
                            base::PathToUtf8(args.SamplesDir / base::Utf8ToPath(name)) + "\n");
        }
        return kExitOk;
    }
    const TGenProfile* profile = nullptr;
    if (args.Item) {
        const driver::TCatalogue catalogue =
            driver::LoadCatalogue(base::DefaultDefineDir(args.DefineDir));
        const auto item = FindItem(catalogue, *args.Item);
        if (!item) {
            return UsageError("the catalogue has no item " + *args.Item +
                              " (or more than one); tolvane-cli items lists them");
        }
        profile = FindProfileForItem(catalogue.Item(*item));
        if (profile == nullptr) {
            return UsageError("no generator knows item " + *args.Item);
        }
    } else {
        profile = FindProfileByFormat(args.Format);
        if (profile == nullptr) {
            return UsageError("unknown format code: " + args.Format);
        }
    }
    TGenRequest request = SampleRequest(*profile);
    request.Records = args.Records.value_or(profile->SampleRecords);
    request.Chains = args.Chains;
    request.Seed = args.Seed;
    GenerateFile(*profile, request, args.Out);
    return kExitOk;
}

int Main(const std::vector<std::string>& argv)
{
    base::PrepareStandardStreams();
    base::SetMessageLanguage(base::TLanguage::English);
    std::optional<TArgs> parsed;
    try {
        parsed = Parse(argv);
    } catch (const cli::TUsageError& e) {
        return UsageError(e.what());
    }
    try {
        return Run(*parsed);
    } catch (const TGenRequestError& e) {
        return UsageError(e.what());
    } catch (const std::exception& e) {
        base::WriteText(stderr, std::string("tolvane-gen: ") + e.what() + "\n");
        return kExitFailure;
    }
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
#else
int main(int argc, char** argv)
#endif
{
    return Main(tolvane::base::ProgramArguments(argc, argv));
}
