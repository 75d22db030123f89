// The shipped samples: each is exactly what the generator writes for its items, and its records
// give every column of its items a value of the column's type.
#include <algorithm>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "KsjTestFile.h"
#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "driver/Catalogue.h"
#include "gen/GenProfiles.h"
#include "support/TestSupport.h"

namespace {

using namespace tolvane;
using namespace tolvane::test;
namespace fs = std::filesystem;

struct TSampleSet
{
    fs::path Define;
    fs::path Samples;
};

std::vector<TSampleSet> SampleSets()
{
    return {{TOLVANE_SHIPPED_DEFINE_DIR, TOLVANE_SHIPPED_SAMPLES_DIR},
            {TestDataDir() / "gen" / "Define", TestDataDir() / "gen" / "samples"}};
}

std::set<std::string> FileNames(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(Samples, AreWhatTheGeneratorWritesForTheItems)
{
    for (const TSampleSet& set : SampleSets()) {
        SCOPED_TRACE(set.Samples.string());
        TTempDir fresh;
        const std::vector<std::string> written =
            gen::WriteSamples(driver::LoadCatalogue(set.Define), fresh.Path());
        EXPECT_EQ(FileNames(set.Samples), std::set<std::string>(written.begin(), written.end()));
        for (const std::string& name : written) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(ReadBytes(set.Samples / name) == ReadBytes(fresh / name))
                << "the sample differs from what the generator writes now; regenerate it with "
                   "tolvane-gen --samples";
        }
    }
}

TEST(Samples, ShippedOnesComeFromPublishedLayoutsOnly)
{
    const driver::TCatalogue catalogue = driver::LoadCatalogue(TOLVANE_SHIPPED_DEFINE_DIR);
    std::uintmax_t bytes = 0;
    for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
        const gen::TGenProfile* profile = gen::FindProfileForItem(catalogue.Item(i));
        ASSERT_NE(profile, nullptr) << i;
        EXPECT_TRUE(profile->Shipped) << profile->DataCode;
    }
    for (const auto& entry : fs::directory_iterator(TOLVANE_SHIPPED_SAMPLES_DIR)) {
        bytes += entry.file_size();
    }
    EXPECT_LT(bytes, 1024u * 1024u) << "the shipped samples should stay small";
}

// The record lines of an item's sample that its converter takes values from.
std::vector<std::string> RecordsOf(const driver::TCatalogueLine& item,
                                   const std::vector<std::string>& lines)
{
    std::vector<std::string> records;
    const std::string& code = item.FormatCode;
    if (item.IsLedgerOnly()) {
        for (const std::string& line : lines) {
            if (base::TrimBlanks(base::SubStr(line, 1, 3, false)) == item.LedgerKey) {
                records.push_back(line);
            }
        }
        return records;
    }
    if (code == "L" || code == "AL" || code == "N" || code == "S" || code == "A" || code == "AC") {
        const char letter = code == "AL" ? 'L' : code == "AC" ? 'A' : code[0];
        const TVectorFile file = ParseVectorFile(lines,
                                                 code == "S" || code == "A" || code == "AC"
                                                     ? letter
                                                     : (item.FileMask.starts_with("X04")   ? 'S'
                                                        : item.FileMask.starts_with("X05") ? 'A'
                                                                                           : 0),
                                                 item.FileMask.starts_with("X04")   ? "DL"
                                                 : item.FileMask.starts_with("X05") ? "DA"
                                                                                    : "");
        if (letter == 'L') {
            for (const TChainRecord& chain : file.Chains) {
                records.push_back(chain.Header);
            }
        } else if (letter == 'N') {
            for (const std::string& line : lines) {
                if (line[0] == 'N') {
                    records.push_back(line);
                }
            }
        } else {
            for (const TFeatureRecord& feature : file.Features) {
                records.push_back(feature.Header);
            }
        }
        return records;
    }
    const char letter = code == "M3NS" ? 0 : code.starts_with("M") ? 'M' : code == "P" ? 'P' : 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (letter != 0 ? lines[i][0] == letter : i > 0) {
            records.push_back(lines[i]);
        }
    }
    return records;
}

// Fields the shipped samples leave blank: ledger pointers of nodes and links (no ledger
// layout of these files is published) and the counterpart of frame nodes (the samples cut no
// links at mesh frames); in the invented line file, the line records have no ledger.
const std::set<std::string> kBlankInSamples = {"ノード属性番号", "リンク属性番号", "対応点メッシュ",
                                               "対応点番号", "属性番号"};

bool IsCodeWithLeadingZero(std::string_view value)
{
    return value.size() > 1 && value[0] == '0';
}

TEST(Samples, EveryColumnGetsAValueOfItsType)
{
    for (const TSampleSet& set : SampleSets()) {
        const driver::TCatalogue catalogue = driver::LoadCatalogue(set.Define);
        for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
            const driver::TCatalogueLine item = catalogue.Item(i);
            SCOPED_TRACE(set.Define.string() + " item " + std::to_string(i) + " " +
                         base::SjisToUtf8(item.ItemName));
            const gen::TGenProfile* profile = gen::FindProfileForItem(item);
            ASSERT_NE(profile, nullptr);
            const std::vector<std::string> lines =
                SplitCrLf(ReadBytes(set.Samples / profile->SampleName)).Lines;
            const std::vector<std::string> records = RecordsOf(item, lines);
            ASSERT_GT(records.size(), 10u);
            const bool csv = item.FormatCode.find("CSV") != std::string::npos;
            const bool tab = item.FormatCode == "M3NS";
            const std::string defName = item.IsLedgerOnly() ? item.LedgerFile : item.ColumnFile;
            const std::vector<std::string> defs =
                SplitCrLf(ReadBytes(set.Define / base::SjisToPath(defName))).Lines;
            if (csv) {
                // The CSV line is the MID row: one field per declared column.
                std::vector<std::string> fields;
                for (const std::string& rec : records) {
                    base::SplitFields(rec, ',', fields);
                    EXPECT_EQ(fields.size(), defs.size()) << base::SjisToUtf8(rec);
                }
                continue;
            }
            if (tab) {
                EXPECT_EQ(defs.size(), 1u) << "the row holds the mesh code only";
                continue;
            }
            const bool tenths = item.FormatCode.starts_with("M3_10");
            const bool fourths = item.FormatCode.starts_with("M3_4");
            const std::size_t first = tenths ? 4 : fourths ? 3 : 0;
            const int cells = tenths ? 100 : fourths ? 16 : 1;
            std::int64_t offset = 0;
            std::int64_t block = 0;
            if (cells > 1) {
                const std::vector<std::string> prm =
                    SplitCrLf(ReadBytes(set.Define / base::SjisToPath(item.ParamFile))).Lines;
                offset = std::stoll(prm[2]);
                block = std::stoll(prm[3]);
            }
            std::vector<bool> anyValue(defs.size(), false);
            std::vector<bool> anyLetter(defs.size(), false);
            for (const std::string& rec : records) {
                if (!item.IsLedgerOnly()) {
                    EXPECT_EQ(static_cast<int>(rec.size()), RecordWidthOf(defName));
                }
                for (std::size_t d = first; d < defs.size(); ++d) {
                    std::vector<std::string> f;
                    base::SplitFields(defs[d], ',', f);
                    const std::string type = f[1];
                    for (int k = 0; k < cells; ++k) {
                        const std::string_view raw = base::SubStr(
                            rec, std::stoll(f[2]) + offset + k * block, std::stoll(f[3]), false);
                        const std::string_view value =
                            item.IsLedgerOnly() ? base::TrimWide(raw) : base::TrimBlanks(raw);
                        // A slice never cuts a double-byte character in two.
                        EXPECT_TRUE(base::TrySjisToUtf8(raw).has_value())
                            << base::SjisToUtf8(defs[d]) << " in " << base::SjisToUtf8(rec);
                        anyValue[d] = anyValue[d] || !value.empty();
                        anyLetter[d] =
                            anyLetter[d] || std::any_of(value.begin(), value.end(), [](char c) {
                                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
                            });
                        if (type == "integer" && !value.empty()) {
                            EXPECT_TRUE(base::IsInteger(value) && !IsCodeWithLeadingZero(value))
                                << base::SjisToUtf8(defs[d]) << ": '" << value << "'";
                        }
                    }
                }
            }
            for (std::size_t d = first; d < defs.size(); ++d) {
                // A column that never gets a value points at the wrong bytes, unless the
                // samples leave that field blank on purpose.
                std::vector<std::string> f;
                base::SplitFields(defs[d], ',', f);
                EXPECT_TRUE(anyValue[d] || kBlankInSamples.count(base::SjisToUtf8(f[0])))
                    << "no value in any record: " << base::SjisToUtf8(defs[d]);
                if (anyLetter[d]) {
                    EXPECT_NE(f[1], "integer") << base::SjisToUtf8(defs[d]);
                }
            }
        }
    }
}

} // namespace
