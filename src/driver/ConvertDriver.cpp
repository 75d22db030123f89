// One conversion job.
#include "driver/ConvertDriver.h"

#include <memory>
#include <optional>
#include <system_error>

#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "base/uniPlatform.h"
#include "base/uniTextFile.h"
#include "driver/InputChecks.h"
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

// The source is read twice (counted, then converted) and rewound by some converters: it must
// be a file. A pipe or a device would never end or could not be read again, and "-" stands
// for standard input by custom.
void CheckSource(const std::filesystem::path& srcFile)
{
    if (srcFile.native() == "-") {
        throw TFileError(FormatMessage(kMsgSourceNotAFile, {"-", kKindStdin}),
                         std::make_error_code(std::errc::invalid_argument));
    }
    const TFileKind kind = StatFile(srcFile).Kind;
    if (kind != TFileKind::Missing && kind != TFileKind::Regular) {
        throw TFileError(FormatMessage(kMsgSourceNotAFile, {srcFile.string(), FileKindName(kind)}),
                         std::make_error_code(std::errc::invalid_argument));
    }
}

// The item's definition files are plain names inside the Define folder: a catalogue line must
// not lead the job to read files elsewhere.
void CheckDefineNames(const TCatalogue& catalogue, std::int64_t itemIndex,
                      const TCatalogueLine& item)
{
    const auto check = [](const std::string& name) {
        if (!IsPlainFileName(SjisToPath(name))) {
            throw TDataError(FormatMessage(kMsgDefineNameNotPlain, {SjisToUtf8(name)}));
        }
    };
    try {
        if (!item.IsLedgerOnly()) {
            check(item.ParamFile);
            check(item.ColumnFile);
        }
        if (item.HasLedger) {
            check(item.LedgerFile);
        }
    } catch (TAppError& error) {
        error.SetPlace(
            (catalogue.DefineDir() / std::filesystem::path(std::string(kCatalogueFileName)))
                .string(),
            itemIndex + 1);
        throw;
    }
}

// A failed job keeps what it wrote of its objects and its ledger; a converter's CSV copy is
// written whole or not at all.
std::vector<TOutputSpec> OutputSpecs(const TJobFiles& files)
{
    std::vector<TOutputSpec> specs;
    for (const TJobFile& file : files) {
        specs.push_back(
            {file.Path, file.Role == TFileRole::CsvCopy ? TOnFailure::Drop : TOnFailure::Keep});
    }
    return specs;
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

TPendingJob::TPendingJob(TJobResult result, std::unique_ptr<TOutputFiles> outputs)
    : m_result(std::move(result)), m_outputs(std::move(outputs))
{
}

TPendingJob::TPendingJob(TPendingJob&&) noexcept = default;
TPendingJob& TPendingJob::operator=(TPendingJob&&) noexcept = default;
TPendingJob::~TPendingJob() = default;

TJobResult TPendingJob::Place()
{
    if (m_outputs) {
        try {
            m_outputs->Place(m_result.Succeeded);
        } catch (const TAppError& error) {
            if (m_result.Succeeded) {
                m_result.Succeeded = false;
                m_result.Failure = error;
            }
        }
        m_result.Files = m_outputs->Placed();
        m_outputs.reset();
    }
    return m_result;
}

TJobResult ConvertDataItem(const TCatalogue& catalogue, std::int64_t itemIndex,
                           const std::filesystem::path& srcFile,
                           const std::filesystem::path& dstFile, shapes::TCoordSysIndex coordSys,
                           TJobObserver& observer, std::span<const ksj::TConverterEntry> table)
{
    return ConvertPending(catalogue, itemIndex, srcFile, dstFile, coordSys, observer, table)
        .Place();
}

TPendingJob ConvertPending(const TCatalogue& catalogue, std::int64_t itemIndex,
                           const std::filesystem::path& srcFile,
                           const std::filesystem::path& dstFile, shapes::TCoordSysIndex coordSys,
                           TJobObserver& observer, std::span<const ksj::TConverterEntry> table)
{
    TProgress progress(observer);
    TProgressReset reset(progress);

    // Preparation: errors here leave the driver as they are.
    CheckSource(srcFile);
    const std::int64_t lineCount = CountLines(srcFile, kDefaultBlockSize, &progress);
    progress.SetMax(lineCount);
    observer.ShowProgress(true);
    observer.SetStatusText("");
    observer.SetStatusText(kStatusPreparing);
    TJobResult result;
    result.Succeeded = true;

    const TCatalogueLine item = catalogue.Item(itemIndex);
    CheckDefineNames(catalogue, itemIndex, item);
    const bool ledgerOnly = item.IsLedgerOnly();
    const ksj::TConverterEntry* converter =
        ledgerOnly ? nullptr : ksj::FindConverter(table, item.FormatCode);
    const TJobFiles files = ListJobFiles(item, dstFile, table);

    TSjisLineReader src(srcFile);
    CheckOutputs(srcFile, files);
    auto outputs = std::make_unique<TOutputFiles>(OutputSpecs(files));
    result.Warnings = CheckSourceHeader(item, srcFile, lineCount);
    // Where the writer of the file of `role` writes, or nullptr when the job has none.
    const auto writePath = [&](TFileRole role) -> const std::filesystem::path* {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i].Role == role) {
                return &outputs->WritePath(i);
            }
        }
        return nullptr;
    };

    std::unique_ptr<mif::TMifOutput> out;
    TDefLines paramLines;
    TDefLines columnDefLines;
    try {
        if (!ledgerOnly) {
            out = std::make_unique<mif::TMifOutput>(*writePath(TFileRole::Features),
                                                    *writePath(TFileRole::Attributes), coordSys);
            LoadItemDefinitions(catalogue.DefineDir(), item.ParamFile, item.ColumnFile, paramLines,
                                columnDefLines);
            if (item.HasLedger) {
                progress.SetMax(progress.Max() * 2);
            }
        }
    } catch (TAppError& error) {
        outputs->ShowDestinations(error);
        throw;
    }
    observer.SetStatusText(SjisToUtf8(item.ItemName) + std::string(kStatusConvertingSuffix));

    // Conversion: an error here makes the job fail, with its reason and place.
    try {
        if (out) {
            out->Begin(BuildColumns(columnDefLines));
            if (converter != nullptr) {
                std::unique_ptr<mif::TCsvOutput> csvCopy;
                if (const auto* csvFile = writePath(TFileRole::CsvCopy)) {
                    csvCopy = std::make_unique<mif::TCsvOutput>(*csvFile);
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
        if (const auto* csvFile = writePath(TFileRole::Ledger)) {
            const TLedgerParams params{item.LedgerKey, item.LedgerLines, item.LedgerFile};
            result.LedgerRows =
                WriteLedgerCsv(src, params, catalogue.DefineDir(), *csvFile, progress);
        }
    } catch (const TJobCancelled&) {
        // Not a failure: the caller reports it. The outputs go with their temporary files.
        observer.SetStatusText(kStatusFinishing);
        throw;
    } catch (TAppError& error) {
        result.Succeeded = false;
        outputs->ShowDestinations(error);
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
    if (out) {
        result.Objects = out->Objects();
        out.reset();
    }
    if (result.Succeeded) {
        if (FindJobFile(files, TFileRole::Features) != nullptr && result.Objects == 0) {
            result.Warnings.emplace_back(kWarnNoObjects);
        } else if (ledgerOnly && !files.empty() && result.LedgerRows == 0) {
            result.Warnings.emplace_back(kWarnNoLedgerRows);
        }
    }
    return {std::move(result), std::move(outputs)};
}

} // namespace tolvane::driver
