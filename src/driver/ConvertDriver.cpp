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
#include "driver/JobOutputs.h"
#include "driver/Ledger.h"

namespace tolvane::driver {

using namespace tolvane::base;

namespace {

// A job never writes over its own source, and no two of its outputs are one file.
void CheckOutputs(const std::filesystem::path& srcFile, const TJobFiles& outputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (IsSameFile(outputs[i].Path, srcFile)) {
            throw TFileError(FormatMessage(kMsgOverwritesSource, {PathToUtf8(outputs[i].Path)}),
                             std::make_error_code(std::errc::file_exists));
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (IsSameFile(outputs[i].Path, outputs[j].Path)) {
                throw TFileError(FormatMessage(kMsgOutputsCollide, {PathToUtf8(outputs[i].Path)}),
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
    if (srcFile == std::filesystem::path("-")) {
        throw TFileError(FormatMessage(kMsgSourceNotAFile, {"-", kKindStdin}),
                         std::make_error_code(std::errc::invalid_argument));
    }
    const TFileKind kind = StatFile(srcFile).Kind;
    if (kind != TFileKind::Missing && kind != TFileKind::Regular) {
        throw TFileError(
            FormatMessage(kMsgSourceNotAFile, {PathToUtf8(srcFile), FileKindName(kind)}),
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
        error.SetPlace(PathToUtf8(catalogue.DefineDir() / Utf8ToPath(kCatalogueFileName)),
                       itemIndex + 1);
        throw;
    }
}

// A failed job keeps what it wrote of its MIF, MID and ledger CSV; a converter's CSV copy is
// written whole or not at all, and so is every file of a GeoPackage or GeoJSON job (a
// GeoPackage commits nothing of a failed job, a GeoJSON file would be cut off).
std::vector<TOutputSpec> OutputSpecs(const TJobFiles& files)
{
    std::vector<TOutputSpec> specs;
    for (const TJobFile& file : files) {
        const bool whole = file.Role == TFileRole::CsvCopy || file.Format == TFileFormat::Utf8Csv ||
                           file.Format == TFileFormat::GeoPackage ||
                           file.Format == TFileFormat::GeoJson;
        specs.push_back({file.Path, whole ? TOnFailure::Drop : TOnFailure::Keep});
    }
    return specs;
}

// The destination's format must be one this build writes, and only GDAL's formats transform.
void CheckFormat(const std::filesystem::path& dstFile, const TJobOptions& options)
{
    if (const auto why = WhyCannotWrite(dstFile)) {
        throw TFileError(*why, std::make_error_code(std::errc::not_supported));
    }
    if (options.TargetEpsg != 0 && OutputFormatOf(dstFile) == TOutputFormat::Mif) {
        throw TDataError(FormatMessage(kMsgReprojectNeedsGdal,
                                       {std::to_string(options.TargetEpsg), dstFile.string()}));
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
                           TJobObserver& observer, std::span<const ksj::TConverterEntry> table,
                           const TJobOptions& options)
{
    return ConvertPending(catalogue, itemIndex, srcFile, dstFile, coordSys, observer, table,
                          options)
        .Place();
}

TPendingJob ConvertPending(const TCatalogue& catalogue, std::int64_t itemIndex,
                           const std::filesystem::path& srcFile,
                           const std::filesystem::path& dstFile, shapes::TCoordSysIndex coordSys,
                           TJobObserver& observer, std::span<const ksj::TConverterEntry> table,
                           const TJobOptions& options)
{
    TProgress progress(observer);
    TProgressReset reset(progress);

    // Preparation: errors here leave the driver as they are.
    CheckSource(srcFile);
    CheckFormat(dstFile, options);
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
    if (auto datum = CheckDatumName(srcFile, coordSys)) {
        result.Warnings.push_back(std::move(*datum));
    }
    std::vector<std::filesystem::path> writePaths;
    for (std::size_t i = 0; i < files.size(); ++i) {
        writePaths.push_back(outputs->WritePath(i));
    }

    std::unique_ptr<TJobOutputs> jobOutputs;
    shapes::TFeatureOutput* out = nullptr;
    TDefLines paramLines;
    TDefLines columnDefLines;
    try {
        jobOutputs = std::make_unique<TJobOutputs>(
            files, writePaths,
            TOutputSettings{coordSys, options.TargetEpsg, item.ItemName, srcFile});
        out = jobOutputs->Features();
        if (!ledgerOnly) {
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
        if (out != nullptr) {
            out->Begin(BuildColumns(columnDefLines));
            if (converter != nullptr) {
                const std::unique_ptr<shapes::TTableOutput> csvCopy =
                    jobOutputs->CreateTable(TFileRole::CsvCopy);
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
        if (FindJobFile(files, TFileRole::Ledger) != nullptr) {
            const TLedgerParams params{item.LedgerKey, item.LedgerLines, item.LedgerFile};
            result.LedgerRows = WriteLedger(
                src, params, catalogue.DefineDir(),
                [&] { return jobOutputs->CreateTable(TFileRole::Ledger); }, progress);
        }
        // A GeoPackage commits the job here.
        jobOutputs->Finish();
        result.Notes = jobOutputs->Notes();
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
    if (out != nullptr) {
        result.Objects = out->Objects();
    }
    jobOutputs.reset();
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
