// Which files a job writes: the one rule the driver, the batch checks and the merge share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "driver/Catalogue.h"
#include "ksj/ConvertContext.h"

namespace tolvane::driver {

/// What a file of a job holds.
enum class TFileRole : std::uint8_t {
    Features,   ///< the objects (.mif)
    Attributes, ///< their rows (.mid)
    Ledger,     ///< the ledger CSV (.csv)
    CsvCopy,    ///< the CSV copy of the records that some converters write (.csv)
};

struct TJobFile
{
    TFileRole Role = TFileRole::Features;
    std::filesystem::path Path;
};

using TJobFiles = std::vector<TJobFile>;

/// The files a job of `item` writes for the destination `dstFile`, in the order it creates them:
/// the MIF (`dstFile` itself) and the MID unless the item is ledger-only, then the CSV when the
/// item has a ledger or its converter in `table` writes a CSV copy (one file: the ledger, when
/// both would).
TJobFiles ListJobFiles(const TCatalogueLine& item, const std::filesystem::path& dstFile,
                       std::span<const ksj::TConverterEntry> table);

/// Every file a job for `dstFile` may write, whatever its item: the MIF, the MID and the CSV.
TJobFiles ListPossibleJobFiles(const std::filesystem::path& dstFile);

/// The files that a merge of jobs of `item` writes to `combineFile`: those of ListJobFiles that
/// a merge joins (the MIF, the MID and the ledger; not a converter's CSV copy).
TJobFiles ListMergedFiles(const TCatalogueLine& item, const std::filesystem::path& combineFile,
                          std::span<const ksj::TConverterEntry> table);

/// The file of `files` that has `role`, or nullptr.
const std::filesystem::path* FindJobFile(const TJobFiles& files, TFileRole role);

} // namespace tolvane::driver
