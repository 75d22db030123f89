// tolvane-gen: writes realistic KSJ old-format source files of a requested size, the same bytes
// for the same seed, for samples, tests and benchmarks.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniPaths.h"
#include "driver/Catalogue.h"
#include "gen/GenProfiles.h"

namespace {

using namespace tolvane;
using namespace tolvane::gen;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage:\n"
    "  tolvane-gen --format CODE [--records N] [--chains N] [--seed S] --out FILE\n"
    "      a file for the format code CODE (M2, M21 ... M24, M3, M3NS, M4, M3_10, M3_10P,\n"
    "      M3_4, M3_4P, P, N, L, AL, S, A, AC, PCSV, PCSV2, T)\n"
    "  tolvane-gen --item INDEX [--define DIR] [--records N] [--chains N] [--seed S] --out FILE\n"
    "      a file for the data item at INDEX of the catalogue of DIR\n"
    "  tolvane-gen --samples OUTDIR [--define DIR]\n"
    "      the sample file of every data item of the catalogue of DIR\n"
    "  tolvane-gen --list\n"
    "      the kinds of file it writes, with what --records counts in each\n"
    "\n"
    "--records defaults to the size of the kind's sample, --seed to 1, --define to the Define\n"
    "folder beside the program. --chains sets the number of links of an area file. The same\n"
    "arguments always give the same bytes. Usage errors exit with status 2.\n";

struct TArgs
{
    std::string Format;
    std::optional<std::int64_t> Item;
    std::filesystem::path DefineDir;
    std::filesystem::path Out;
    std::filesystem::path SamplesDir;
    std::optional<std::int64_t> Records;
    std::int64_t Chains = 0;
    std::uint64_t Seed = 1;
    bool List = false;
    bool Help = false;
};

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "tolvane-gen: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

template <typename T> bool ParseNumber(std::string_view text, T& value)
{
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

std::optional<TArgs> Parse(const std::vector<std::string>& args, std::string& error)
{
    TArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--list") {
            parsed.List = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.Help = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg.starts_with("--") ? arg + " needs a value" : "unexpected argument: " + arg;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        std::int64_t number = 0;
        if (arg == "--format") {
            parsed.Format = value;
            for (char& c : parsed.Format) {
                if (c >= 'a' && c <= 'z') {
                    c = static_cast<char>(c - 'a' + 'A');
                }
            }
        } else if (arg == "--item") {
            if (!ParseNumber(value, number) || number < 0) {
                error = "--item needs an item index: " + value;
                return std::nullopt;
            }
            parsed.Item = number;
        } else if (arg == "--define") {
            parsed.DefineDir = value;
        } else if (arg == "--out") {
            parsed.Out = value;
        } else if (arg == "--samples") {
            parsed.SamplesDir = value;
        } else if (arg == "--records" || arg == "--chains") {
            if (!ParseNumber(value, number) || number < 0) {
                error = arg + " needs a count: " + value;
                return std::nullopt;
            }
            if (arg == "--records") {
                parsed.Records = number;
            } else {
                parsed.Chains = number;
            }
        } else if (arg == "--seed") {
            if (!ParseNumber(value, parsed.Seed)) {
                error = "--seed needs a number: " + value;
                return std::nullopt;
            }
        } else {
            error = "unknown option: " + arg;
            return std::nullopt;
        }
    }
    const int modes = (parsed.Format.empty() ? 0 : 1) + (parsed.Item ? 1 : 0) +
                      (parsed.SamplesDir.empty() ? 0 : 1) + (parsed.List ? 1 : 0) +
                      (parsed.Help ? 1 : 0);
    if (modes != 1) {
        error = "give exactly one of --format, --item, --samples, --list";
        return std::nullopt;
    }
    if ((!parsed.Format.empty() || parsed.Item) && parsed.Out.empty()) {
        error = "--out FILE is missing";
        return std::nullopt;
    }
    if (parsed.DefineDir.empty()) {
        parsed.DefineDir = base::DefaultDefineDir();
    }
    return parsed;
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
        std::printf("%-8s %-20s %-22s %s, records = %s\n", std::string(profile.DataCode).c_str(),
                    formats.c_str(), std::string(profile.SampleName).c_str(),
                    profile.Shipped ? "published layout" : "invented layout",
                    std::string(profile.RecordsAre).c_str());
    }
}

int Run(const TArgs& args)
{
    if (args.Help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (args.List) {
        List();
        return kExitOk;
    }
    if (!args.SamplesDir.empty()) {
        const driver::TCatalogue catalogue = driver::LoadCatalogue(args.DefineDir);
        std::filesystem::create_directories(args.SamplesDir);
        for (const std::string& name : WriteSamples(catalogue, args.SamplesDir)) {
            std::printf("%s\n", base::PathToUtf8(args.SamplesDir / name).c_str());
        }
        return kExitOk;
    }
    const TGenProfile* profile = nullptr;
    if (args.Item) {
        const driver::TCatalogue catalogue = driver::LoadCatalogue(args.DefineDir);
        if (*args.Item >= catalogue.Count()) {
            return UsageError("the catalogue has no item " + std::to_string(*args.Item));
        }
        profile = FindProfileForItem(catalogue.Item(*args.Item));
        if (profile == nullptr) {
            return UsageError("no generator knows item " + std::to_string(*args.Item));
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

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto parsed = Parse(args, error);
    if (!parsed) {
        return UsageError(error);
    }
    try {
        return Run(*parsed);
    } catch (const TGenRequestError& e) {
        return UsageError(e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tolvane-gen: %s\n", e.what());
        return kExitFailure;
    }
}
