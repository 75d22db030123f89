// The sample generator's table of file profiles: one per KSJ data file it can write, with the
// format codes whose items read that file, and the functions that write a file or the samples.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/uniTextFile.h"
#include "driver/Catalogue.h"

namespace tolvane::gen {

/// What to generate. `Records` counts the records of the file's main kind (see
/// TGenProfile::RecordsAre); `Chains` sets the number of links of an area file (0: derived).
struct TGenRequest
{
    std::int64_t Records = 0;
    std::int64_t Chains = 0;
    std::uint64_t Seed = 1;
};

/// A request that cannot be met (too few chains for the areas, counts out of range).
class TGenRequestError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

using TGenFn = void (*)(const TGenRequest& request, base::TSjisWriter& out);

/// One kind of KSJ data file the generator writes.
struct TGenProfile
{
    std::string_view DataCode;   ///< e.g. "L03-18M"; fictitious X codes for invented layouts
    std::string_view SampleName; ///< file name of its sample, like the real files
    std::array<std::string_view, 5> Formats; ///< format codes of the items that read it
    bool Shipped;                ///< its layout is known from the published record layouts
    std::int64_t SampleRecords;  ///< size of its sample
    std::string_view RecordsAre; ///< what Records counts
    TGenFn Generate;

    bool Serves(std::string_view formatCode) const;
};

/// Every profile; the shipped ones first.
std::span<const TGenProfile> GenProfiles();

/// The first profile whose items use `formatCode` (upper case), or nullptr.
const TGenProfile* FindProfileByFormat(std::string_view formatCode);

/// The data code a file mask starts with: the text before the first wildcard, without a
/// trailing "-" or "_" ("L03-18M-*.dat" gives "L03-18M", "L01-*P*.txt" gives "L01").
std::string DataCodeOfMask(std::string_view fileMask);

/// The profile of a catalogue item: its format code is served and the profile's data code
/// starts with the data code of the item's file mask. nullptr when there is none.
const TGenProfile* FindProfileForItem(const driver::TCatalogueLine& item);

/// Writes one file. Raises TGenRequestError for an impossible request and TFileError when the
/// file cannot be written.
void GenerateFile(const TGenProfile& profile, const TGenRequest& request,
                  const std::filesystem::path& outFile);

/// The request that makes a profile's sample.
TGenRequest SampleRequest(const TGenProfile& profile);

/// Writes into `dir` the sample of every item of `catalogue` (items sharing a file share one
/// sample) and returns the file names written. Raises TGenRequestError naming an item that no
/// profile serves.
std::vector<std::string> WriteSamples(const driver::TCatalogue& catalogue,
                                      const std::filesystem::path& dir);

// The generators, one per profile.
void GenerateL0108P(const TGenRequest& request, base::TSjisWriter& out);
void GenerateL02Csv(const TGenRequest& request, base::TSjisWriter& out);
void GenerateL0351M(const TGenRequest& request, base::TSjisWriter& out);
void GenerateL0318M(const TGenRequest& request, base::TSjisWriter& out);
void GenerateG0650M(const TGenRequest& request, base::TSjisWriter& out);
void GenerateC2859L(const TGenRequest& request, base::TSjisWriter& out);
void GenerateC1360L(const TGenRequest& request, base::TSjisWriter& out);
void GenerateA1557A(const TGenRequest& request, base::TSjisWriter& out);
void GenerateW1452T(const TGenRequest& request, base::TSjisWriter& out);
void GenerateW0352T(const TGenRequest& request, base::TSjisWriter& out);
void GenerateC4260T(const TGenRequest& request, base::TSjisWriter& out);
void GenerateC0849T(const TGenRequest& request, base::TSjisWriter& out);
void GenerateMesh2Stats(const TGenRequest& request, base::TSjisWriter& out);
void GenerateMesh2Kinds(const TGenRequest& request, base::TSjisWriter& out);
void GenerateMeshQuarter(const TGenRequest& request, base::TSjisWriter& out);
void GenerateTabMesh(const TGenRequest& request, base::TSjisWriter& out);
void GenerateG0456M(const TGenRequest& request, base::TSjisWriter& out);
void GeneratePointCsv(const TGenRequest& request, base::TSjisWriter& out);
void GenerateLineFile(const TGenRequest& request, base::TSjisWriter& out);
void GenerateAreaFile(const TGenRequest& request, base::TSjisWriter& out);

/// CP932 bytes of UTF-8 literals, for the vocabularies of the generators.
std::vector<std::string> ToSjisList(std::initializer_list<std::string_view> utf8);

} // namespace tolvane::gen
