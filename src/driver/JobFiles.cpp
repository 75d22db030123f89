// Which files a job writes.
#include "driver/JobFiles.h"

#include <algorithm>

#include "base/uniPaths.h"
#include "ksj/ConverterTable.h"

namespace tolvane::driver {

TJobFiles ListJobFiles(const TCatalogueLine& item, const std::filesystem::path& dstFile,
                       std::span<const ksj::TConverterEntry> table)
{
    TJobFiles files;
    const bool ledgerOnly = item.IsLedgerOnly();
    if (!ledgerOnly) {
        files.push_back({TFileRole::Features, dstFile});
        files.push_back({TFileRole::Attributes, base::ChangeFileExt(dstFile, ".mid")});
    }
    const ksj::TConverterEntry* converter =
        ledgerOnly ? nullptr : ksj::FindConverter(table, item.FormatCode);
    if (item.HasLedger) {
        files.push_back({TFileRole::Ledger, base::ChangeFileExt(dstFile, ".csv")});
    } else if (converter != nullptr && converter->WritesCsv) {
        files.push_back({TFileRole::CsvCopy, base::ChangeFileExt(dstFile, ".csv")});
    }
    return files;
}

TJobFiles ListPossibleJobFiles(const std::filesystem::path& dstFile)
{
    return {{TFileRole::Features, dstFile},
            {TFileRole::Attributes, base::ChangeFileExt(dstFile, ".mid")},
            {TFileRole::Ledger, base::ChangeFileExt(dstFile, ".csv")}};
}

TJobFiles ListMergedFiles(const TCatalogueLine& item, const std::filesystem::path& combineFile,
                          std::span<const ksj::TConverterEntry> table)
{
    TJobFiles files = ListJobFiles(item, combineFile, table);
    std::erase_if(files, [](const TJobFile& file) { return file.Role == TFileRole::CsvCopy; });
    return files;
}

const std::filesystem::path* FindJobFile(const TJobFiles& files, TFileRole role)
{
    const auto it = std::find_if(files.begin(), files.end(),
                                 [role](const TJobFile& file) { return file.Role == role; });
    return it != files.end() ? &it->Path : nullptr;
}

} // namespace tolvane::driver
