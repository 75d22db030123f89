// Which files a job writes.
#include "driver/JobFiles.h"

#include <algorithm>

#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "ksj/ConverterTable.h"

namespace tolvane::driver {

namespace {

// The table a job of `item` writes beside its objects, if any.
std::optional<TFileRole> TableRole(const TCatalogueLine& item,
                                   std::span<const ksj::TConverterEntry> table)
{
    if (item.HasLedger) {
        return TFileRole::Ledger;
    }
    const ksj::TConverterEntry* converter =
        item.IsLedgerOnly() ? nullptr : ksj::FindConverter(table, item.FormatCode);
    if (converter != nullptr && converter->WritesCsv) {
        return TFileRole::CsvCopy;
    }
    return std::nullopt;
}

std::string LayerName(const std::filesystem::path& dstFile)
{
    return base::PathToUtf8(dstFile.stem());
}

std::string TableName(const std::filesystem::path& dstFile, TFileRole role)
{
    return LayerName(dstFile) + (role == TFileRole::Ledger ? "_ledger" : "_csv");
}

} // namespace

TOutputFormat OutputFormatOf(const std::filesystem::path& dstFile)
{
    const std::string extension = base::LowerAscii(dstFile.extension().string());
    if (extension == ".gpkg") {
        return TOutputFormat::GeoPackage;
    }
    if (extension == ".geojson" || extension == ".json") {
        return TOutputFormat::GeoJson;
    }
    return TOutputFormat::Mif;
}

bool CanWrite(TOutputFormat format) noexcept
{
#ifdef TOLVANE_HAVE_GDAL
    static_cast<void>(format);
    return true;
#else
    return format == TOutputFormat::Mif;
#endif
}

std::optional<std::string> WhyCannotWrite(const std::filesystem::path& dstFile)
{
    if (CanWrite(OutputFormatOf(dstFile))) {
        return std::nullopt;
    }
    return base::FormatMessage(base::kMsgGdalMissing, {dstFile.string()});
}

bool TJobFile::Holds(TFileRole role) const
{
    return Role == role ||
           std::any_of(Layers.begin(), Layers.end(),
                       [role](const TJobLayer& layer) { return layer.Role == role; });
}

TJobFiles ListJobFiles(const TCatalogueLine& item, const std::filesystem::path& dstFile,
                       std::span<const ksj::TConverterEntry> table)
{
    TJobFiles files;
    const bool ledgerOnly = item.IsLedgerOnly();
    const std::optional<TFileRole> tableRole = TableRole(item, table);
    const std::filesystem::path csvFile = base::ChangeFileExt(dstFile, ".csv");
    switch (OutputFormatOf(dstFile)) {
    case TOutputFormat::Mif:
        if (!ledgerOnly) {
            files.push_back({TFileRole::Features, dstFile, TFileFormat::Mif, {}});
            files.push_back({TFileRole::Attributes,
                             base::ChangeFileExt(dstFile, ".mid"),
                             TFileFormat::Mid,
                             {}});
        }
        if (tableRole) {
            files.push_back({*tableRole, csvFile, TFileFormat::Csv, {}});
        }
        break;
    case TOutputFormat::GeoPackage: {
        std::vector<TJobLayer> layers;
        if (!ledgerOnly) {
            layers.push_back({TFileRole::Features, LayerName(dstFile)});
        }
        if (tableRole) {
            layers.push_back({*tableRole, TableName(dstFile, *tableRole)});
        }
        if (!layers.empty()) {
            const TFileRole role = layers.front().Role;
            files.push_back({role, dstFile, TFileFormat::GeoPackage, std::move(layers)});
        }
        break;
    }
    case TOutputFormat::GeoJson:
        if (!ledgerOnly) {
            files.push_back({TFileRole::Features,
                             dstFile,
                             TFileFormat::GeoJson,
                             {{TFileRole::Features, LayerName(dstFile)}}});
        }
        if (tableRole) {
            files.push_back({*tableRole, csvFile, TFileFormat::Utf8Csv, {}});
        }
        break;
    }
    return files;
}

TJobFiles ListPossibleJobFiles(const std::filesystem::path& dstFile)
{
    const std::filesystem::path csvFile = base::ChangeFileExt(dstFile, ".csv");
    switch (OutputFormatOf(dstFile)) {
    case TOutputFormat::GeoPackage:
        return {{TFileRole::Features, dstFile, TFileFormat::GeoPackage, {}}};
    case TOutputFormat::GeoJson:
        return {{TFileRole::Features, dstFile, TFileFormat::GeoJson, {}},
                {TFileRole::Ledger, csvFile, TFileFormat::Utf8Csv, {}}};
    case TOutputFormat::Mif:
        break;
    }
    return {{TFileRole::Features, dstFile, TFileFormat::Mif, {}},
            {TFileRole::Attributes, base::ChangeFileExt(dstFile, ".mid"), TFileFormat::Mid, {}},
            {TFileRole::Ledger, csvFile, TFileFormat::Csv, {}}};
}

TJobFiles ListMergedFiles(const TCatalogueLine& item, const std::filesystem::path& combineFile,
                          std::span<const ksj::TConverterEntry> table)
{
    TJobFiles files = ListJobFiles(item, combineFile, table);
    const auto isCopy = [](const auto& each) { return each.Role == TFileRole::CsvCopy; };
    for (TJobFile& file : files) {
        std::erase_if(file.Layers, isCopy);
    }
    std::erase_if(files, isCopy);
    return files;
}

const std::filesystem::path* FindJobFile(const TJobFiles& files, TFileRole role)
{
    const auto it = std::find_if(files.begin(), files.end(),
                                 [role](const TJobFile& file) { return file.Holds(role); });
    return it != files.end() ? &it->Path : nullptr;
}

const TJobLayer* FindJobLayer(const TJobFiles& files, TFileRole role)
{
    for (const TJobFile& file : files) {
        for (const TJobLayer& layer : file.Layers) {
            if (layer.Role == role) {
                return &layer;
            }
        }
    }
    return nullptr;
}

} // namespace tolvane::driver
