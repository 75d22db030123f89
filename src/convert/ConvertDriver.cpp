// One conversion job.
#include "convert/ConvertDriver.h"

#include <memory>
#include <optional>
#include <system_error>

#include "convert/AppError.h"
#include "convert/ExeDir.h"
#include "convert/ItemDefs.h"
#include "convert/Ledger.h"
#include "convert/uniCodePage.h"
#include "convert/uniMessages.h"
#include "convert/uniTextFile.h"
#include "mif/uniMifUtils.h"

namespace tolvane::convert {

namespace {

constexpr std::string_view kMsgOverwritesSource =
    "変換後のファイル \"%s\" "
    "は変換元のファイルと同じです。変換元を上書きしないよう、別のファイル名を指定してください";
constexpr std::string_view kMsgOutputsCollide =
    "変換後のファイル \"%s\" が同じ変換の別の出力と重なります。別のファイル名を指定してください";

// A job never writes over its own source, and no two of its outputs are one file.
void CheckOutputs(const std::filesystem::path& srcFile,
                  const std::vector<std::filesystem::path>& outputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (IsSameFile(outputs[i], srcFile)) {
            throw TFileError(FormatMessage(kMsgOverwritesSource, {outputs[i].string()}),
                             std::make_error_code(std::errc::file_exists));
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (IsSameFile(outputs[i], outputs[j])) {
                throw TFileError(FormatMessage(kMsgOutputsCollide, {outputs[i].string()}),
                                 std::make_error_code(std::errc::file_exists));
            }
        }
    }
}

// Whatever happens, the observer ends with the status cleared and the progress bar hidden.
class TProgressReset
{
public:
    explicit TProgressReset(TProgress& progress) : m_progress(progress) {}
    ~TProgressReset()
    {
        try {
            m_progress.Observer().SetStatusText("");
            m_progress.SetPosition(m_progress.Max());
            m_progress.SetPosition(0);
            m_progress.Observer().ShowProgress(false);
        } catch (
            ...) { // NOLINT(bugprone-empty-catch): an observer must not turn cleanup into a crash
        }
    }
    TProgressReset(const TProgressReset&) = delete;
    TProgressReset& operator=(const TProgressReset&) = delete;

private:
    TProgress& m_progress;
};

} // namespace

bool ConvertDataItem(const TCatalogue& catalogue, std::int64_t itemIndex,
                     const std::filesystem::path& srcFile, const std::filesystem::path& dstFile,
                     std::int64_t coordSysIndex, TJobObserver& observer,
                     std::span<const TConverterEntry> table)
{
    TProgress progress(observer);
    TProgressReset reset(progress);

    // Preparation: errors here leave the driver as they are.
    progress.SetMax(CountLines(srcFile));
    observer.ShowProgress(true);
    observer.SetStatusText("");
    observer.SetStatusText(kStatusPreparing);
    bool result = true;

    const TCatalogueLine item = catalogue.Item(itemIndex);
    const bool ledgerOnly = item.IsLedgerOnly();
    const std::filesystem::path midFile = ChangeFileExt(dstFile, ".mid");
    const std::filesystem::path csvFile = ChangeFileExt(dstFile, ".csv");
    const TConverterEntry* converter = ledgerOnly ? nullptr : FindConverter(table, item.FormatCode);

    TSjisLineReader src(srcFile);

    std::vector<std::filesystem::path> outputs;
    if (!ledgerOnly) {
        outputs.push_back(dstFile);
        outputs.push_back(midFile);
    }
    if (item.HasLedger || item.FormatCode == "M3NS") {
        outputs.push_back(csvFile);
    }
    CheckOutputs(srcFile, outputs);

    std::optional<TSjisWriter> mif;
    std::optional<TSjisWriter> mid;
    TDefLines paramLines;
    TDefLines columnDefLines;
    if (!ledgerOnly) {
        mif.emplace(dstFile);
        mid.emplace(midFile);
        LoadItemDefinitions(catalogue.DefineDir(), item.ParamFile, item.ColumnFile, paramLines,
                            columnDefLines);
        if (item.HasLedger) {
            progress.SetMax(progress.Max() * 2);
        }
    }
    observer.SetStatusText(SjisToUtf8(item.ItemName) + std::string(kStatusConvertingSuffix));

    // Conversion: an error here makes the job fail, with its reason and place.
    try {
        if (!ledgerOnly) {
            mif::WriteMifHeader(*mif, mif::CoordSysText(coordSysIndex));
            mif::WriteMifColumns(*mif, BuildColumns(columnDefLines));
            if (converter != nullptr) {
                TConvertContext context{src,
                                        *mif,
                                        *mid,
                                        columnDefLines,
                                        paramLines,
                                        progress,
                                        catalogue.DefineDir(),
                                        converter->ClosedOnly,
                                        csvFile};
                converter->Convert(context);
            }
            // Closing writes out the buffers: a full disk shows here, as a failed job.
            mif->Close();
            mid->Close();
        }
        if (item.HasLedger) {
            const TLedgerParams params{item.LedgerKey, item.LedgerLines, item.LedgerFile};
            WriteLedgerCsv(src, params, catalogue.DefineDir(), csvFile, progress);
        }
    } catch (TAppError& error) {
        result = false;
        error.SetPlace(src.FileName(), src.LineNo());
        observer.JobFailed(error);
    } catch (const std::exception& e) {
        result = false;
        TAppError error(e.what());
        error.SetPlace(src.FileName(), src.LineNo());
        observer.JobFailed(error);
    }

    // Completion: always.
    observer.SetStatusText(kStatusFinishing);
    src.Close();
    if (mif) {
        mif->Abandon();
    }
    if (mid) {
        mid->Abandon();
    }
    return result;
}

} // namespace tolvane::convert
