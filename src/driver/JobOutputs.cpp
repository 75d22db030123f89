// The outputs of one job.
#include "driver/JobOutputs.h"

#include <stdexcept>

#include "base/AppError.h"
#include "base/uniMessages.h"
#include "mif/MifOutput.h"
#ifdef TOLVANE_HAVE_GDAL
#include "gdal/GdalOutput.h"
#include "gdal/Utf8CsvOutput.h"
#endif

namespace tolvane::driver {

// The file written through GDAL, in a build that has it.
class TJobOutputs::TGdalParts
{
public:
#ifdef TOLVANE_HAVE_GDAL
    std::unique_ptr<gdal::TGdalDataset> Dataset;
    std::string Description;
#endif
};

namespace {

std::size_t IndexOf(const TJobFiles& files, TFileRole role)
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].Role == role) {
            return i;
        }
    }
    throw std::logic_error("a job without the file it writes to");
}

} // namespace

TJobOutputs::TJobOutputs(const TJobFiles& files, std::span<const std::filesystem::path> writePaths,
                         const TOutputSettings& settings)
    : m_files(files), m_writePaths(writePaths), m_settings(settings)
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TJobFile& file = files[i];
        switch (file.Format) {
        case TFileFormat::Mif:
            m_features = std::make_unique<mif::TMifOutput>(
                writePaths[i], writePaths[IndexOf(files, TFileRole::Attributes)],
                settings.CoordSys);
            break;
        case TFileFormat::GeoPackage:
        case TFileFormat::GeoJson: {
#ifdef TOLVANE_HAVE_GDAL
            m_gdal = std::make_unique<TGdalParts>();
            m_gdal->Dataset = std::make_unique<gdal::TGdalDataset>(
                file.Format == TFileFormat::GeoPackage ? gdal::TGdalFormat::GeoPackage
                                                       : gdal::TGdalFormat::GeoJson,
                writePaths[i]);
            m_gdal->Description = gdal::SourceDescription(settings.ItemName, settings.SourceFile);
            for (const TJobLayer& layer : file.Layers) {
                if (layer.Role == TFileRole::Features) {
                    m_features = m_gdal->Dataset->CreateFeatureOutput(
                        {layer.Name, settings.CoordSys, m_gdal->Description, settings.TargetEpsg});
                }
            }
            break;
#else
            throw base::TAppError(
                base::FormatMessage(base::kMsgGdalMissing, {writePaths[i].string()}));
#endif
        }
        case TFileFormat::Mid:
        case TFileFormat::Csv:
        case TFileFormat::Utf8Csv:
            // Created with the output that writes them.
            break;
        }
    }
}

TJobOutputs::~TJobOutputs() = default;

shapes::TFeatureOutput* TJobOutputs::Features() const noexcept
{
    return m_features.get();
}

std::unique_ptr<shapes::TTableOutput> TJobOutputs::CreateTable(TFileRole role)
{
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const TJobFile& file = m_files[i];
        if (file.Format == TFileFormat::Csv && file.Role == role) {
            return std::make_unique<mif::TCsvOutput>(m_writePaths[i]);
        }
#ifdef TOLVANE_HAVE_GDAL
        if (file.Format == TFileFormat::Utf8Csv && file.Role == role) {
            return std::make_unique<gdal::TUtf8CsvOutput>(m_writePaths[i]);
        }
        if (file.Format == TFileFormat::GeoPackage) {
            for (const TJobLayer& layer : file.Layers) {
                if (layer.Role == role) {
                    return m_gdal->Dataset->CreateTableOutput(layer.Name, m_gdal->Description);
                }
            }
        }
#endif
    }
    return nullptr;
}

void TJobOutputs::Finish()
{
#ifdef TOLVANE_HAVE_GDAL
    if (m_gdal) {
        m_gdal->Dataset->Finish();
    }
#endif
}

std::vector<std::string> TJobOutputs::Notes() const
{
    std::vector<std::string> notes;
#ifdef TOLVANE_HAVE_GDAL
    if (m_gdal && m_settings.TargetEpsg != 0) {
        std::string note = m_gdal->Dataset->TransformationNote();
        if (!note.empty()) {
            notes.push_back(std::move(note));
        }
    }
#endif
    return notes;
}

} // namespace tolvane::driver
