// One conversion job.
#include "driver/ConvertDriver.h"

#include <memory>
#include <optional>
#include <system_error>

#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "base/uniTextFile.h"
#include "driver/ItemDefs.h"
#include "driver/JobFiles.h"
#include "driver/Ledger.h"
#include "mif/MifOutput.h"

namespace tolvane::driver {

using namespace tolvane::base;

namespace {

// A job never writes over its own source, and no two of its outputs are one file.
void CheckOutputs(const std::filesystem::path& srcFile, const TJobFiles& outputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (IsSameFile(outputs[i].Path, srcFile)) {
            throw TFileError(FormatMessage(kMsgOverwritesSource, {outputs[i].Path.string()}),
                             std::make_error_code(std::errc::file_exists));
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (IsSameFile(outputs[i].Path, outputs[j].Path)) {
                throw TFileError(FormatMessage(kMsgOutputsCollide, {outputs[i].Path.string()}),
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

TJobResult ConvertDataItem(const TCatalogue& catalogue, std::int64_t itemIndex,
                           const std::filesystem::path& srcFile,
                           const std::filesystem::path& dstFile, shapes::TCoordSysIndex coordSys,
                           TJobObserver& observer, std::span<const ksj::TConverterEntry> table)
{
    TProgress progress(observer);
    TProgressReset reset(progress);

    // Preparation: errors here leave the driver as they are.
    progress.SetMax(CountLines(srcFile));
    observer.ShowProgress(true);
    observer.SetStatusText("");
    observer.SetStatusText(kStatusPreparing);
    TJobResult result;
    result.Succeeded = true;

    const TCatalogueLine item = catalogue.Item(itemIndex);
    const bool ledgerOnly = item.IsLedgerOnly();
    const ksj::TConverterEntry* converter =
        ledgerOnly ? nullptr : ksj::FindConverter(table, item.FormatCode);
    const TJobFiles files = ListJobFiles(item, dstFile, table);

    TSjisLineReader src(srcFile);
    CheckOutputs(srcFile, files);

    std::unique_ptr<mif::TMifOutput> out;
    TDefLines paramLines;
    TDefLines columnDefLines;
    if (!ledgerOnly) {
        out =
            std::make_unique<mif::TMifOutput>(*FindJobFile(files, TFileRole::Features),
                                              *FindJobFile(files, TFileRole::Attributes), coordSys);
        LoadItemDefinitions(catalogue.DefineDir(), item.ParamFile, item.ColumnFile, paramLines,
                            columnDefLines);
        if (item.HasLedger) {
            progress.SetMax(progress.Max() * 2);
        }
    }
    observer.SetStatusText(SjisToUtf8(item.ItemName) + std::string(kStatusConvertingSuffix));

    // Conversion: an error here makes the job fail, with its reason and place.
    try {
        if (out) {
            out->Begin(BuildColumns(columnDefLines));
            if (converter != nullptr) {
                std::unique_ptr<mif::TCsvOutput> csvCopy;
                if (const auto* csvFile = FindJobFile(files, TFileRole::CsvCopy)) {
                    csvCopy = std::make_unique<mif::TCsvOutput>(*csvFile,
                                                                mif::TCsvOutput::TMode::Replacing);
                }
                ksj::TConvertContext context{src,
                                             *out,
                                             columnDefLines,
                                             paramLines,
                                             progress,
                                             catalogue.DefineDir(),
                                             converter->ClosedOnly,
                                             csvCopy.get()};
                converter->Convert(context);
                if (csvCopy) {
                    csvCopy->Finish();
                }
            }
            // Finishing writes out the buffers: a full disk shows here, as a failed job.
            out->Finish();
        }
        if (const auto* csvFile = FindJobFile(files, TFileRole::Ledger)) {
            const TLedgerParams params{item.LedgerKey, item.LedgerLines, item.LedgerFile};
            WriteLedgerCsv(src, params, catalogue.DefineDir(), *csvFile, progress);
        }
    } catch (const TJobCancelled&) {
        // Not a failure: the caller reports it. What the job wrote is closed as it stands.
        observer.SetStatusText(kStatusFinishing);
        throw;
    } catch (TAppError& error) {
        result.Succeeded = false;
        error.SetPlace(src.FileName(), src.LineNo());
        result.Failure = error;
    } catch (const std::exception& e) {
        result.Succeeded = false;
        TAppError error(e.what());
        error.SetPlace(src.FileName(), src.LineNo());
        result.Failure = error;
    }

    // Completion: always.
    observer.SetStatusText(kStatusFinishing);
    src.Close();
    out.reset();
    return result;
}

} // namespace tolvane::driver
