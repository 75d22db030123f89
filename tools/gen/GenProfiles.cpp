// The profile table of the sample generator and the functions that write files and samples.
#include "gen/GenProfiles.h"

#include <algorithm>

#include "base/uniCodePage.h"

namespace tolvane::gen {

namespace {

// Shipped profiles first, so that a format code finds the real layout before an invented one.
const TGenProfile kProfiles[] = {
    {"L01-08P", "L01-08P-13.txt", {"P"}, true, 300, "points", GenerateL0108P},
    {"L02-24P", "L02-24P-2K_13.csv", {"PCSV2"}, true, 300, "CSV lines", GenerateL02Csv},
    {"L03-18M",
     "L03-18M-13-jgd.dat",
     {"M3_10", "M3_10P"},
     true,
     300,
     "mesh records",
     GenerateL0318M},
    {"L03-51M", "L03-51M-13.txt", {"M3", "M3_10"}, true, 200, "mesh records", GenerateL0351M},
    {"G06-50M", "G06-50M-48.txt", {"M3"}, true, 300, "mountains", GenerateG0650M},
    {"C28-59L", "C28-59L-48.txt", {"N", "L"}, true, 150, "links", GenerateC2859L},
    {"C13-60L", "C13-60L-48.txt", {"N", "L"}, true, 150, "links", GenerateC1360L},
    {"A15-57A", "A15-57A-39.txt", {"N", "AL"}, true, 150, "links", GenerateA1557A},
    {"W14-52T", "W14-52T-48.txt", {"T"}, true, 300, "table lines", GenerateW1452T},
    {"W03-52T", "W03-52T-48.txt", {"T"}, true, 300, "table lines", GenerateW0352T},
    {"C42-60T", "C42-60T-48.txt", {"T"}, true, 200, "table lines", GenerateC4260T},
    {"C08-49T", "C08-49T-48.txt", {"T"}, true, 300, "table lines", GenerateC0849T},
    // Invented layouts for the format codes no published layout shows (test data only).
    {"X01-55M", "X01-55M-13.txt", {"M2"}, false, 200, "mesh records", GenerateMesh2Stats},
    {"X02-55M",
     "X02-55M-13.txt",
     {"M21", "M22", "M23", "M24"},
     false,
     200,
     "mesh records (four kinds per second-level mesh)",
     GenerateMesh2Kinds},
    {"X03-55M",
     "X03-55M-13.txt",
     {"M4"},
     false,
     200,
     "mesh records (four quarters per mesh)",
     GenerateMeshQuarter},
    {"S04", "S04-13.txt", {"M3NS"}, false, 200, "mesh records", GenerateTabMesh},
    {"G04-56M", "G04-56M-13.txt", {"M3_4", "M3_4P"}, false, 200, "mesh records", GenerateG0456M},
    {"X06-13P", "X06-13P.csv", {"PCSV"}, false, 200, "CSV lines", GeneratePointCsv},
    {"X04-59L", "X04-59L-48.txt", {"S", "L"}, false, 60, "lines (ライン)", GenerateLineFile},
    {"X05-57A", "X05-57A-39.txt", {"A", "AC"}, false, 80, "areas", GenerateAreaFile},
};

} // namespace

bool TGenProfile::Serves(std::string_view formatCode) const
{
    return std::find(Formats.begin(), Formats.end(), formatCode) != Formats.end() &&
           !formatCode.empty();
}

std::span<const TGenProfile> GenProfiles()
{
    return kProfiles;
}

const TGenProfile* FindProfileByFormat(std::string_view formatCode)
{
    for (const TGenProfile& profile : kProfiles) {
        if (profile.Serves(formatCode)) {
            return &profile;
        }
    }
    return nullptr;
}

std::string DataCodeOfMask(std::string_view fileMask)
{
    std::string code(fileMask.substr(0, fileMask.find_first_of("*?")));
    while (!code.empty() && (code.back() == '-' || code.back() == '_')) {
        code.pop_back();
    }
    return code;
}

const TGenProfile* FindProfileForItem(const driver::TCatalogueLine& item)
{
    const std::string code = DataCodeOfMask(item.FileMask);
    if (code.empty()) {
        return nullptr;
    }
    for (const TGenProfile& profile : kProfiles) {
        if (profile.Serves(item.FormatCode) && profile.DataCode.starts_with(code)) {
            return &profile;
        }
    }
    return nullptr;
}

void GenerateFile(const TGenProfile& profile, const TGenRequest& request,
                  const std::filesystem::path& outFile)
{
    if (request.Records < 0 || request.Chains < 0) {
        throw TGenRequestError("counts must not be negative");
    }
    base::TSjisWriter writer(outFile, 1024 * 1024);
    profile.Generate(request, writer);
    writer.Close();
}

TGenRequest SampleRequest(const TGenProfile& profile)
{
    TGenRequest request;
    request.Records = profile.SampleRecords;
    request.Seed = 1;
    return request;
}

std::vector<std::string> WriteSamples(const driver::TCatalogue& catalogue,
                                      const std::filesystem::path& dir)
{
    std::vector<std::string> written;
    for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
        const driver::TCatalogueLine item = catalogue.Item(i);
        const TGenProfile* profile = FindProfileForItem(item);
        if (profile == nullptr) {
            throw TGenRequestError("no generator for item " + std::to_string(i) + " (" +
                                   base::SjisToUtf8(item.ItemName) + ")");
        }
        const std::string name(profile->SampleName);
        if (std::find(written.begin(), written.end(), name) != written.end()) {
            continue;
        }
        GenerateFile(*profile, SampleRequest(*profile), dir / base::Utf8ToPath(name));
        written.push_back(name);
    }
    return written;
}

std::vector<std::string> ToSjisList(std::initializer_list<std::string_view> utf8)
{
    std::vector<std::string> out;
    out.reserve(utf8.size());
    for (const std::string_view text : utf8) {
        auto sjis = base::TryUtf8ToSjis(text);
        if (!sjis) {
            throw std::logic_error("vocabulary text without a CP932 code");
        }
        out.push_back(std::move(*sjis));
    }
    return out;
}

} // namespace tolvane::gen
