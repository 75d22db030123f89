// The shipped Define folder and the test Define folder of invented layouts are consistent:
// every line parses, every referenced file exists, every slice lies inside its record.
#include <algorithm>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "KsjTestFile.h"
#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "driver/Catalogue.h"
#include "support/TestSupport.h"

namespace {

using namespace tolvane;
using namespace tolvane::test;
namespace fs = std::filesystem;

const fs::path kShipped = TOLVANE_SHIPPED_DEFINE_DIR;

std::vector<fs::path> DefineDirs()
{
    return {kShipped, TestDataDir() / "gen" / "Define"};
}

std::vector<std::string> Fields(std::string_view line)
{
    std::vector<std::string> fields;
    base::SplitFields(line, ',', fields);
    return fields;
}

std::vector<std::string> DefLines(const fs::path& dir, std::string_view sjisName)
{
    return SplitCrLf(ReadBytes(dir / base::SjisToPath(sjisName))).Lines;
}

const std::set<std::string> kFormatCodes = {
    "M2",    "M21", "M22", "M23", "M24", "M3", "M3NS", "M4", "M3_10", "M3_10P", "M3_4",
    "M3_4P", "P",   "N",   "L",   "AL",  "S",  "A",    "AC", "PCSV",  "PCSV2",  "T"};

TEST(DefineFolder, EveryFileIsCp932WithCrLfAndNoEmptyLine)
{
    for (const fs::path& dir : DefineDirs()) {
        int files = 0;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().extension() == ".md") {
                continue;
            }
            SCOPED_TRACE(entry.path().string());
            ++files;
            const std::string bytes = ReadBytes(entry.path());
            ASSERT_FALSE(bytes.empty());
            EXPECT_TRUE(base::TrySjisToUtf8(bytes).has_value()) << "not CP932";
            const TFileLines lines = SplitCrLf(bytes);
            EXPECT_TRUE(lines.CrLfOnly);
            EXPECT_FALSE(lines.EndsWithCtrlZ);
            for (std::size_t i = 0; i < lines.Lines.size(); ++i) {
                EXPECT_FALSE(lines.Lines[i].empty()) << "empty line " << i + 1;
            }
        }
        EXPECT_GT(files, 5) << dir;
    }
}

TEST(DefineFolder, CatalogueLinesParseAndNameFilesThatExist)
{
    for (const fs::path& dir : DefineDirs()) {
        const driver::TCatalogue catalogue = driver::LoadCatalogue(dir);
        ASSERT_GT(catalogue.Count(), 5);
        std::set<std::string> referenced;
        for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
            const std::string& line = catalogue.Line(i);
            const driver::TCatalogueLine item = catalogue.Item(i);
            SCOPED_TRACE(dir.string() + " line " + std::to_string(i + 1) + ": " +
                         base::SjisToUtf8(line));
            EXPECT_EQ(Fields(line).size(), 10u);
            EXPECT_FALSE(item.ItemName.empty());
            EXPECT_TRUE(kFormatCodes.count(item.FormatCode)) << item.FormatCode;
            EXPECT_FALSE(item.FileMask.empty());
            EXPECT_FALSE(item.Category.empty());
            if (item.IsLedgerOnly()) {
                EXPECT_TRUE(item.HasLedger) << "a table item writes nothing without its ledger";
            } else {
                for (const std::string& name : {item.ParamFile, item.ColumnFile}) {
                    EXPECT_TRUE(fs::is_regular_file(dir / base::SjisToPath(name))) << name;
                    referenced.insert(name);
                }
            }
            if (item.HasLedger) {
                EXPECT_FALSE(item.LedgerKey.empty());
                EXPECT_TRUE(fs::is_regular_file(dir / base::SjisToPath(item.LedgerFile)))
                    << item.LedgerFile;
                referenced.insert(item.LedgerFile);
                // Ledger keys must not begin with a record letter: the converters test the
                // first byte only.
                EXPECT_EQ(std::string("NLSAPMH").find(item.LedgerKey[0]) == std::string::npos ||
                              item.LedgerKey == "T",
                          true)
                    << item.LedgerKey;
            }
        }
        // No definition file lies unused in the folder.
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("col_") || name.starts_with("ldg_") || name.starts_with("prm_")) {
                EXPECT_TRUE(referenced.count(name)) << "unused: " << name;
            }
        }
        EXPECT_TRUE(fs::is_regular_file(dir / "S04_AC.txt"));
    }
}

TEST(DefineFolder, EachCategoryIsOneRunOfLines)
{
    for (const fs::path& dir : DefineDirs()) {
        SCOPED_TRACE(dir.string());
        const driver::TCatalogue catalogue = driver::LoadCatalogue(dir);
        std::set<std::string> seen;
        std::string previous;
        for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
            const std::string category = catalogue.Item(i).Category;
            if (category != previous) {
                EXPECT_TRUE(seen.insert(category).second)
                    << "category opens a second node: " << base::SjisToUtf8(category);
                previous = category;
            }
        }
        EXPECT_EQ(driver::BuildDataKindTree(catalogue.Lines()).size(), seen.size());
    }
}

TEST(DefineFolder, DefinitionLinesHaveFourFieldsAndNamesWithoutBlanks)
{
    static const std::set<std::string> kTypes = {"schar", "char", "integer", "float"};
    for (const fs::path& dir : DefineDirs()) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            const bool column = name.starts_with("col_");
            if (!column && !name.starts_with("ldg_")) {
                continue;
            }
            SCOPED_TRACE(dir.string() + "/" + name);
            std::set<std::string> names;
            for (const std::string& line : SplitCrLf(ReadBytes(entry.path())).Lines) {
                SCOPED_TRACE(base::SjisToUtf8(line));
                const std::vector<std::string> f = Fields(line);
                ASSERT_EQ(f.size(), 4u);
                EXPECT_FALSE(f[0].empty());
                EXPECT_TRUE(std::none_of(f[0].begin(), f[0].end(), base::IsBlank));
                EXPECT_TRUE(names.insert(f[0]).second) << "column named twice";
                if (column) {
                    EXPECT_TRUE(kTypes.count(f[1])) << f[1];
                } else {
                    EXPECT_TRUE(f[1].empty());
                }
                EXPECT_TRUE(base::IsInteger(f[2]));
                EXPECT_TRUE(base::IsInteger(f[3]));
            }
        }
    }
}

TEST(DefineFolder, ParameterFilesHoldThreeIntegersAfterTheirTitle)
{
    for (const fs::path& dir : DefineDirs()) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.path().filename().string().starts_with("prm_")) {
                continue;
            }
            SCOPED_TRACE(entry.path().string());
            const std::vector<std::string> lines = SplitCrLf(ReadBytes(entry.path())).Lines;
            ASSERT_EQ(lines.size(), 4u);
            for (std::size_t i = 1; i < 4; ++i) {
                EXPECT_TRUE(base::IsInteger(lines[i])) << lines[i];
            }
        }
    }
}

// The number of sub-cells and of generated leading columns of the subdivided mesh formats.
std::pair<int, std::size_t> Subdivision(const std::string& code)
{
    if (code == "M3_10" || code == "M3_10P") {
        return {100, 4};
    }
    if (code == "M3_4" || code == "M3_4P") {
        return {16, 3};
    }
    return {1, 0};
}

TEST(DefineFolder, EverySliceLiesInsideTheItemsRecord)
{
    for (const fs::path& dir : DefineDirs()) {
        const driver::TCatalogue catalogue = driver::LoadCatalogue(dir);
        for (std::int64_t i = 0; i < catalogue.Count(); ++i) {
            const driver::TCatalogueLine item = catalogue.Item(i);
            SCOPED_TRACE(dir.string() + " item " + std::to_string(i) + " " +
                         base::SjisToUtf8(item.ItemName));
            std::vector<std::pair<std::string, std::int64_t>> files; // name, cells
            const auto [cells, generated] = Subdivision(item.FormatCode);
            // The CSV and tab formats take no slices from their column files.
            if (!item.IsLedgerOnly() && item.FormatCode.find("CSV") == std::string::npos &&
                item.FormatCode != "M3NS") {
                files.emplace_back(item.ColumnFile, cells);
            }
            if (item.HasLedger) {
                files.emplace_back(item.LedgerFile, 1);
            }
            std::int64_t offset = 0;
            std::int64_t block = 0;
            if (cells > 1) {
                const std::vector<std::string> prm = DefLines(dir, item.ParamFile);
                ASSERT_EQ(prm.size(), 4u);
                offset = std::stoll(prm[2]);
                block = std::stoll(prm[3]);
            }
            for (const auto& [name, cellCount] : files) {
                SCOPED_TRACE(name);
                const int width = RecordWidthOf(name);
                ASSERT_GT(width, 0) << "no record width known for this file";
                const std::vector<std::string> lines = DefLines(dir, name);
                const std::size_t first = name == item.ColumnFile ? generated : 0;
                ASSERT_GT(lines.size(), first);
                for (std::size_t l = first; l < lines.size(); ++l) {
                    const std::vector<std::string> f = Fields(lines[l]);
                    const std::int64_t start = std::stoll(f[2]);
                    const std::int64_t length = std::stoll(f[3]);
                    const std::int64_t last = start + offset + (cellCount - 1) * block + length - 1;
                    EXPECT_GE(start + offset, 1) << base::SjisToUtf8(lines[l]);
                    EXPECT_GE(length, 1) << base::SjisToUtf8(lines[l]);
                    EXPECT_LE(last, width) << base::SjisToUtf8(lines[l]);
                }
            }
        }
    }
}

} // namespace
