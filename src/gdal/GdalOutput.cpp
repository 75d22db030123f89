// GeoPackage and GeoJSON outputs through GDAL's C++ API.
//
// Every object becomes the feature that GDAL's MapInfo reader makes of what our MIF output writes
// for it (GDAL 3.6, measured with ogrinfo on our files):
// - coordinates are the eight-decimal text of the MIF read back (MifCoord);
// - a point is a POINT; a region of one ring is normalised as the MIF writer normalises it, and
//   its ring is closed as the reader closes it (two points p, q give the ring p q p); a region of
//   several rings is sorted into a POLYGON with holes or a MULTIPOLYGON by
//   OGRGeometryFactory::organizePolygons (METHOD=DEFAULT), as the reader does; a polyline of one
//   section is a LINESTRING, of several a MULTILINESTRING; a region or polyline of fewer than two
//   points and WriteNone give a feature without geometry ("None" in the MIF);
// - field types: Integer → Integer, Float → Real, Date → Date, Logical → String (the reader's
//   String(1)), Char → String (so codes keep their leading zeros); no widths, as the reader keeps
//   no value short of its width;
// - values: Char and Logical are decoded from CP932; Integer and Float go through the same
//   OGRFeature::SetField(text) as the reader's (so "12abc" is 12, "abc" and "" are 0, an integer
//   beyond 32 bits is clamped, "1.5e3" is 1500); Date as ReadMidDate reads it.
// Where the MIF cannot be read back (GDAL stops at a row with fewer values than columns, or
// at a section of a multi-section polyline with fewer than two points), the feature is still
// written: missing values are null and such sections are left out. Where the reader's value
// cannot be kept: a date it reads as 0000/00/00 or 1984/255/255 is null, bytes that are not
// CP932 become U+FFFD (the reader drops them), a GeoPackage keeps -0 as 0, and GDAL's GeoJSON
// writer leaves out an infinite Real.
//
// A GeoPackage layer's spatial index is created with the empty table and loaded in one pass at
// the end (RtreeLoader), its insert trigger set aside meanwhile: GDAL 3.6 would insert the
// objects one by one, four fifths of the job's time.
#include "gdal/GdalOutput.h"

#include <array>
#include <cmath>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <map>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

#include "base/AppError.h"
#include "base/uniBytes.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "gdal/CheckedFiles.h"
#include "gdal/GdalSupport.h"
#include "gdal/Reprojection.h"
#include "gdal/RtreeLoader.h"
#include "gdal/uniGdalFields.h"

namespace tolvane::gdal {

using shapes::TColType;
using shapes::TSFGrid;

namespace {

OGRFieldType FieldType(TColType type)
{
    switch (type) {
    case TColType::Integer:
        return OFTInteger;
    case TColType::Float:
        return OFTReal;
    case TColType::Date:
        return OFTDate;
    case TColType::Char:
    case TColType::Logical:
        break;
    }
    return OFTString;
}

// Point count of part k as the MIF writer counts it: the next start minus this one, or the rest.
std::size_t PartCount(const shapes::TSFShape& shape, std::size_t k)
{
    const auto start = static_cast<std::size_t>(shape.Parts[k]);
    const std::size_t next = k + 1 < shape.Parts.size()
                                 ? static_cast<std::size_t>(shape.Parts[k + 1])
                                 : shape.Points.size();
    return next >= start ? next - start : 0;
}

/// Copies `count` points of `points` from `first` (as far as there are) into `line`, as the MIF
/// text reads back.
void SetPoints(OGRSimpleCurve& line, const std::vector<shapes::TSFPoint>& points, std::size_t first,
               std::size_t count)
{
    const std::size_t available = first < points.size() ? points.size() - first : 0;
    const std::size_t n = std::min(count, available);
    line.setNumPoints(static_cast<int>(n), FALSE);
    for (std::size_t i = 0; i < n; ++i) {
        const shapes::TSFPoint& p = points[first + i];
        line.setPoint(static_cast<int>(i), MifCoord(p.X), MifCoord(p.Y));
    }
}

/// The geometry of `feature` as a T, reused when it is one, else a new one.
template <class T> T& GeometryAs(OGRFeature& feature)
{
    if (auto* current = dynamic_cast<T*>(feature.GetGeometryRef())) {
        return *current;
    }
    auto created = std::make_unique<T>();
    T& result = *created;
    feature.SetGeometryDirectly(created.release());
    return result;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The file

class TGdalDataset::TState
{
public:
    TState(TGdalFormat format, const std::filesystem::path& path);
    ~TState() { CloseQuietly(); }
    TState(const TState&) = delete;
    TState& operator=(const TState&) = delete;

    TGdalFormat Format() const noexcept { return m_format; }

    /// A new layer with `fields` (UTF-8 names) of `types`, GeoPackage's FID and geometry
    /// columns named so that no field clashes with them.
    OGRLayer* CreateLayer(const std::string& name, OGRSpatialReference* srs,
                          OGRwkbGeometryType geometryType, const std::string& description,
                          const std::vector<std::string>& fields,
                          const std::vector<OGRFieldType>& types);
    /// Raises when GDAL reported a failure, `ok` is false or a checked write failed.
    void Check(const TGdalErrors& errors, bool ok, std::string_view call) const;
    [[noreturn]] void Fail(const std::string& reason) const;

    /// Runs one SQL statement of SQLite's (GeoPackage only); raises when it fails.
    void ExecuteSql(const std::string& sql);
    /// The first value of the first row of `sql`'s result, if any.
    std::optional<std::string> QueryText(const std::string& sql);

    /// The spatial index of a GeoPackage layer being built.
    struct TIndexBuild
    {
        std::unique_ptr<TRtreeLoader> Loader;
        std::string InsertTrigger; ///< the SQL that creates the trigger set aside meanwhile
    };
    /// Takes over the spatial index of `layer`, still empty: creates the table and its index
    /// now, and sets aside the trigger that would fill the index object by object. Nothing for
    /// GeoJSON, or when the index is not where GDAL puts it.
    TIndexBuild* TakeIndex(OGRLayer& layer);
    /// Writes the rest of the index and puts its trigger back. Once per index.
    void FinishIndex(TIndexBuild& index);

    /// TGdalDataset::AppendFrom and EnsureLayer.
    std::int64_t AppendFrom(const std::filesystem::path& source, const std::string& layer,
                            const TAppendTarget& target, const std::function<void()>& tick);
    void EnsureLayer(const TAppendTarget& target);

    /// Notes that coordinates within `box` were transformed from EPSG:sourceEpsg to
    /// EPSG:targetEpsg.
    void NoteTransformed(const OGREnvelope& box, int sourceEpsg, int targetEpsg);
    std::string TransformationNote() const;

    void Finish();

private:
    GDALDataset& Dataset() const;
    void CloseQuietly() noexcept;

    /// A layer that AppendFrom fills.
    struct TAppended
    {
        OGRLayer* Layer = nullptr;
        TIndexBuild* Index = nullptr;
    };
    TAppended& AppendTarget(const TAppendTarget& target, const OGRFeatureDefn* like);

    TGdalFormat m_format;
    std::string m_path;
    GDALDataset* m_dataset = nullptr;
    bool m_transaction = false;
    std::shared_ptr<TIoErrors> m_io;
    std::vector<OGRLayer*> m_layers;
    std::vector<std::unique_ptr<TIndexBuild>> m_indexes;
    std::map<std::string, TAppended> m_appended;
    OGREnvelope m_transformed;
    int m_sourceEpsg = 0;
    int m_targetEpsg = 0;
};

namespace {

/// `text` as an SQL string literal, or (with '"') as a quoted name.
std::string SqlQuoted(std::string_view text, char quote = '\'')
{
    std::string quoted(1, quote);
    for (const char c : text) {
        quoted.push_back(c);
        if (c == quote) {
            quoted.push_back(quote);
        }
    }
    quoted.push_back(quote);
    return quoted;
}

/// Removes the file at `path` (and what SQLite keeps beside a GeoPackage), as a writer that
/// truncates would replace it. A folder stays: creating the file fails then.
void RemoveEarlier(const std::filesystem::path& path, TGdalFormat format)
{
    std::vector<std::filesystem::path> files{path};
    if (format == TGdalFormat::GeoPackage) {
        for (const char* suffix : {"-journal", "-wal", "-shm"}) {
            files.emplace_back(path.string() + suffix);
        }
    }
    for (const std::filesystem::path& file : files) {
        std::error_code code;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(file, code)) &&
            !std::filesystem::remove(file, code)) {
            throw base::TFileError::OpenFailed(file.string(), code);
        }
    }
}

} // namespace

TGdalDataset::TState::TState(TGdalFormat format, const std::filesystem::path& path)
    : m_format(format), m_path(base::PathToUtf8(path))
{
    RegisterDrivers();
    RemoveEarlier(path, format);
    const char* driverName = format == TGdalFormat::GeoPackage ? "GPKG" : "GeoJSON";
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    if (driver == nullptr) {
        throw base::TAppError(base::FormatMessage(
            base::kMsgGdalFailed, {std::string("GetDriverByName(") + driverName + ")"}));
    }
    std::string name = m_path;
    if (format == TGdalFormat::GeoJson) {
        m_io = WatchFile(m_path);
        name = CheckedName(m_path);
    }
    const TGdalErrors errors;
    m_dataset = driver->Create(name.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (m_dataset == nullptr || errors.Failed() || (m_io && m_io->Failed())) {
        std::error_code code = std::make_error_code(std::errc::io_error);
        std::string reason = errors.Failed()
                                 ? errors.Message()
                                 : base::FormatMessage(base::kMsgGdalFailed, {"Create"});
        if (m_io && m_io->Failed()) {
            code = m_io->Code();
            reason = base::SystemReason(code);
        }
        CloseQuietly();
        throw base::TFileError(base::FormatMessage(base::kMsgFileOpenError, {m_path, reason}),
                               code);
    }
    if (format == TGdalFormat::GeoPackage) {
        Check(errors, m_dataset->StartTransaction() == OGRERR_NONE, "StartTransaction");
        m_transaction = true;
    }
}

GDALDataset& TGdalDataset::TState::Dataset() const
{
    if (m_dataset == nullptr) {
        throw std::logic_error("the GDAL file is already finished");
    }
    return *m_dataset;
}

void TGdalDataset::TState::Fail(const std::string& reason) const
{
    throw base::TFileError(base::FormatMessage(base::kMsgFileWriteError, {m_path, reason}),
                           std::make_error_code(std::errc::io_error));
}

void TGdalDataset::TState::Check(const TGdalErrors& errors, bool ok, std::string_view call) const
{
    // A failed write is the cause of what GDAL says after it.
    if (m_io && m_io->Failed()) {
        throw base::TFileError::WriteFailed(m_path, m_io->Code());
    }
    if (errors.Failed()) {
        Fail(errors.Message());
    }
    if (!ok) {
        Fail(base::FormatMessage(base::kMsgGdalFailed, {call}));
    }
}

OGRLayer* TGdalDataset::TState::CreateLayer(const std::string& name, OGRSpatialReference* srs,
                                            OGRwkbGeometryType geometryType,
                                            const std::string& description,
                                            const std::vector<std::string>& fields,
                                            const std::vector<OGRFieldType>& types)
{
    const TGdalErrors errors;
    CPLStringList options;
    if (!description.empty()) {
        options.SetNameValue("DESCRIPTION", description.c_str());
    }
    if (m_format == TGdalFormat::GeoPackage) {
        options.SetNameValue("FID", FreeName("fid", fields).c_str());
        if (geometryType != wkbNone) {
            options.SetNameValue("GEOMETRY_NAME", FreeName("geom", fields).c_str());
            options.SetNameValue("SPATIAL_INDEX", "YES");
        }
    }
    OGRLayer* layer = Dataset().CreateLayer(name.c_str(), srs, geometryType, options.List());
    Check(errors, layer != nullptr, "CreateLayer");
    for (std::size_t i = 0; i < fields.size(); ++i) {
        OGRFieldDefn field(fields[i].c_str(), types[i]);
        Check(errors, layer->CreateField(&field) == OGRERR_NONE, "CreateField");
    }
    m_layers.push_back(layer);
    return layer;
}

void TGdalDataset::TState::ExecuteSql(const std::string& sql)
{
    const TGdalErrors errors;
    if (OGRLayer* result = Dataset().ExecuteSQL(sql.c_str(), nullptr, nullptr)) {
        m_dataset->ReleaseResultSet(result);
    }
    Check(errors, true, "ExecuteSQL");
}

std::optional<std::string> TGdalDataset::TState::QueryText(const std::string& sql)
{
    const TGdalErrors errors;
    std::optional<std::string> text;
    if (OGRLayer* result = Dataset().ExecuteSQL(sql.c_str(), nullptr, nullptr)) {
        const std::unique_ptr<OGRFeature> row(result->GetNextFeature());
        if (row && row->IsFieldSetAndNotNull(0)) {
            text = row->GetFieldAsString(0);
        }
        m_dataset->ReleaseResultSet(result);
    }
    Check(errors, true, "ExecuteSQL");
    return text;
}

TGdalDataset::TState::TIndexBuild* TGdalDataset::TState::TakeIndex(OGRLayer& layer)
{
    if (m_format != TGdalFormat::GeoPackage) {
        return nullptr;
    }
    {
        // GDAL creates the index when the table comes into being, here while it is empty.
        const TGdalErrors errors;
        Check(errors, layer.SyncToDisk() == OGRERR_NONE, "SyncToDisk");
    }
    const std::string rtree =
        std::string("rtree_") + layer.GetName() + "_" + layer.GetGeometryColumn();
    const std::string trigger = rtree + "_insert";
    const std::optional<std::string> insert = QueryText(
        "SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = " + SqlQuoted(trigger));
    const std::optional<std::string> nodeBytes = QueryText(
        "SELECT length(data) FROM " + SqlQuoted(rtree + "_node", '"') + " WHERE nodeno = 1");
    if (!insert || !nodeBytes) {
        return nullptr;
    }
    ExecuteSql("DROP TRIGGER " + SqlQuoted(trigger, '"'));
    auto index = std::make_unique<TIndexBuild>();
    index->InsertTrigger = *insert;
    index->Loader =
        std::make_unique<TRtreeLoader>(rtree, static_cast<std::size_t>(std::stoul(*nodeBytes)),
                                       [this](const std::string& sql) { ExecuteSql(sql); });
    m_indexes.push_back(std::move(index));
    return m_indexes.back().get();
}

void TGdalDataset::TState::FinishIndex(TIndexBuild& index)
{
    if (!index.Loader) {
        return;
    }
    index.Loader->Finish();
    index.Loader.reset();
    ExecuteSql(index.InsertTrigger);
}

TGdalDataset::TState::TAppended& TGdalDataset::TState::AppendTarget(const TAppendTarget& target,
                                                                    const OGRFeatureDefn* like)
{
    TAppended& appended = m_appended[target.Name];
    if (appended.Layer != nullptr) {
        return appended;
    }
    std::vector<std::string> names;
    std::vector<OGRFieldType> types;
    for (int i = 0; like != nullptr && i < like->GetFieldCount(); ++i) {
        names.emplace_back(like->GetFieldDefn(i)->GetNameRef());
        types.push_back(like->GetFieldDefn(i)->GetType());
    }
    std::unique_ptr<OGRSpatialReference> srs;
    const shapes::TCoordSys* coordSys = shapes::FindCoordSys(target.CoordSys);
    if (!target.Table && coordSys != nullptr) {
        srs = MakeSrs(coordSys->Epsg);
    }
    appended.Layer = CreateLayer(target.Name, srs.get(), target.Table ? wkbNone : wkbUnknown,
                                 target.Description, names, types);
    if (!target.Table) {
        appended.Index = TakeIndex(*appended.Layer);
    }
    return appended;
}

std::int64_t TGdalDataset::TState::AppendFrom(const std::filesystem::path& source,
                                              const std::string& layer, const TAppendTarget& target,
                                              const std::function<void()>& tick)
{
    const std::string sourcePath = base::PathToUtf8(source);
    const auto readFailed = [&sourcePath](const std::string& reason) {
        return base::TFileError(base::FormatMessage(base::kMsgFileReadError, {sourcePath, reason}),
                                std::make_error_code(std::errc::io_error));
    };
    GDALDatasetUniquePtr input;
    OGRLayer* from = nullptr;
    {
        const TGdalErrors errors;
        input.reset(GDALDataset::Open(sourcePath.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                      nullptr, nullptr, nullptr));
        if (!input || errors.Failed()) {
            throw base::TFileError(
                base::FormatMessage(
                    base::kMsgFileOpenError,
                    {sourcePath, errors.Failed()
                                     ? errors.Message()
                                     : base::FormatMessage(base::kMsgGdalFailed, {"Open"})}),
                std::make_error_code(std::errc::io_error));
        }
        from = input->GetLayerByName(layer.c_str());
        // A GeoJSON file has one layer, whatever name a reader gives it.
        if (from == nullptr && input->GetLayerCount() == 1 &&
            EQUAL(input->GetDriverName(), "GeoJSON")) {
            from = input->GetLayer(0);
        }
        if (from == nullptr) {
            throw base::TFileError(base::FormatMessage(base::kMsgLayerMissing, {sourcePath, layer}),
                                   std::make_error_code(std::errc::no_such_file_or_directory));
        }
    }
    const OGRFeatureDefn* fromDefn = from->GetLayerDefn();
    TAppended& to = AppendTarget(target, fromDefn);
    OGRFeatureDefn* toDefn = to.Layer->GetLayerDefn();
    std::vector<int> fieldMap;
    for (int i = 0; i < fromDefn->GetFieldCount(); ++i) {
        fieldMap.push_back(toDefn->GetFieldIndex(fromDefn->GetFieldDefn(i)->GetNameRef()));
    }
    OGRFeature out(toDefn);
    std::int64_t copied = 0;
    from->ResetReading();
    for (;;) {
        std::unique_ptr<OGRFeature> feature;
        {
            const TGdalErrors errors;
            feature.reset(from->GetNextFeature());
            if (errors.Failed()) {
                throw readFailed(errors.Message());
            }
        }
        if (!feature) {
            break;
        }
        const TGdalErrors errors;
        out.SetFrom(feature.get(), fieldMap.data(), TRUE);
        out.SetFID(OGRNullFID);
        Check(errors, to.Layer->CreateFeature(&out) == OGRERR_NONE, "CreateFeature");
        const OGRGeometry* geometry = out.GetGeometryRef();
        if (to.Index != nullptr && to.Index->Loader && geometry != nullptr &&
            !geometry->IsEmpty()) {
            OGREnvelope box;
            geometry->getEnvelope(&box);
            to.Index->Loader->Add(out.GetFID(), TBox{box.MinX, box.MaxX, box.MinY, box.MaxY});
        }
        ++copied;
        if (tick && copied % 1000 == 0) {
            tick();
        }
    }
    return copied;
}

void TGdalDataset::TState::EnsureLayer(const TAppendTarget& target)
{
    AppendTarget(target, nullptr);
}

void TGdalDataset::TState::NoteTransformed(const OGREnvelope& box, int sourceEpsg, int targetEpsg)
{
    m_transformed.Merge(box);
    m_sourceEpsg = sourceEpsg;
    m_targetEpsg = targetEpsg;
}

std::string TGdalDataset::TState::TransformationNote() const
{
    if (!m_transformed.IsInit()) {
        return {};
    }
    const shapes::TSFPoint centre{(m_transformed.MinX + m_transformed.MaxX) / 2,
                                  (m_transformed.MinY + m_transformed.MaxY) / 2};
    try {
        return TransformationText(DescribeTransformation(m_sourceEpsg, m_targetEpsg, centre),
                                  m_sourceEpsg, m_targetEpsg);
    } catch (const base::TAppError&) {
        // The coordinates were transformed: only the words for it are missing.
        return {};
    }
}

void TGdalDataset::TState::Finish()
{
    if (m_dataset == nullptr) {
        return;
    }
    for (const std::unique_ptr<TIndexBuild>& index : m_indexes) {
        FinishIndex(*index);
    }
    const TGdalErrors errors;
    // A GeoPackage builds a layer's spatial index here: inside the transaction, so that a failure
    // fails the commit instead of only the close.
    for (OGRLayer* layer : m_layers) {
        Check(errors, layer->SyncToDisk() == OGRERR_NONE, "SyncToDisk");
    }
    if (m_transaction) {
        m_transaction = false;
        Check(errors, m_dataset->CommitTransaction() == OGRERR_NONE, "CommitTransaction");
    }
    // GDALClose reports its failures only through CPLError.
    GDALClose(std::exchange(m_dataset, nullptr));
    m_layers.clear();
    Check(errors, true, "GDALClose");
    if (m_io) {
        UnwatchFile(m_path);
    }
}

void TGdalDataset::TState::CloseQuietly() noexcept
{
    if (m_dataset != nullptr) {
        const TGdalErrors errors;
        if (m_transaction) {
            m_dataset->RollbackTransaction();
            m_transaction = false;
        }
        GDALClose(std::exchange(m_dataset, nullptr));
        m_layers.clear();
    }
    if (m_io) {
        UnwatchFile(m_path);
    }
}

// ---------------------------------------------------------------------------------------------
// The layer of objects

namespace {

class TFeatureLayer final : public shapes::TFeatureOutput
{
public:
    TFeatureLayer(std::shared_ptr<TGdalDataset::TState> state, TLayerOptions options);

    void Begin(const shapes::TSFColumns& columns) override;
    void WritePoint(const shapes::TSFPoint& point, const shapes::TSFRow& row) override;
    void WriteRegion(shapes::TSFPolygon& shape, const shapes::TSFRow& row) override;
    void WritePLine(const shapes::TSFPolyLine& shape, const shapes::TSFRow& row) override;
    void WriteNone(const shapes::TSFRow& row) override;
    /// Reads each distinct coordinate of the division back once, for all its cells.
    void BeginGrid(const TSFGrid& grid) override;
    void WriteGridCell(std::int32_t row, std::int32_t column,
                       const shapes::TSFRow& values) override;
    void Finish() override;

private:
    /// The feature's geometry as a polygon of one ring of `count` points, reused when it is one.
    OGRLinearRing& SingleRing(std::size_t count);
    void SetRings(const shapes::TSFPolygon& shape);
    void SetValues(const shapes::TSFRow& row);
    void TransformGeometry();
    void Write(const shapes::TSFRow& row, const TGdalErrors& errors);

    std::shared_ptr<TGdalDataset::TState> m_state;
    TLayerOptions m_options;
    std::unique_ptr<OGRSpatialReference> m_srs;
    std::unique_ptr<OGRCoordinateTransformation> m_transform;
    OGRLayer* m_layer = nullptr;
    std::unique_ptr<OGRFeature> m_feature;
    std::vector<TColType> m_types;
    TRowSplitter m_splitter;
    std::string m_text;
    TGdalDataset::TState::TIndexBuild* m_index = nullptr;

    std::array<TSFGrid::TRing, TSFGrid::kMaxCells> m_gridX{};
    std::array<TSFGrid::TRing, TSFGrid::kMaxCells> m_gridY{};
    std::array<double, TSFGrid::kMaxCells> m_centerX{};
    std::array<double, TSFGrid::kMaxCells> m_centerY{};
};

TFeatureLayer::TFeatureLayer(std::shared_ptr<TGdalDataset::TState> state, TLayerOptions options)
    : m_state(std::move(state)), m_options(std::move(options))
{
    if (const shapes::TCoordSys* coordSys = shapes::FindCoordSys(m_options.CoordSys)) {
        m_srs = MakeSrs(coordSys->Epsg);
    }
    if (m_options.TargetEpsg != 0) {
        const std::string target = std::to_string(m_options.TargetEpsg);
        if (!m_srs) {
            throw base::TAppError(base::FormatMessage(base::kMsgNoSourceCrs, {target}));
        }
        std::unique_ptr<OGRSpatialReference> targetSrs = MakeSrs(m_options.TargetEpsg);
        const TGdalErrors errors;
        m_transform.reset(OGRCreateCoordinateTransformation(m_srs.get(), targetSrs.get()));
        if (!m_transform) {
            throw base::TAppError(
                base::FormatMessage(base::kMsgNoTransformation,
                                    {std::to_string(shapes::FindCoordSys(m_options.CoordSys)->Epsg),
                                     target, errors.Message()}));
        }
        m_srs = std::move(targetSrs);
    }
}

void TFeatureLayer::Begin(const shapes::TSFColumns& columns)
{
    if (m_layer != nullptr) {
        throw std::logic_error("Begin of a GDAL layer twice");
    }
    std::vector<std::string> names;
    std::vector<OGRFieldType> types;
    m_types.clear();
    for (const shapes::TSFColumn& column : columns) {
        names.push_back(column.Name);
        types.push_back(FieldType(column.ColType));
        m_types.push_back(column.ColType);
    }
    m_layer = m_state->CreateLayer(m_options.Name, m_srs.get(), wkbUnknown, m_options.Description,
                                   MakeFieldNames(names, TNameRules::Mif), types);
    m_feature = std::make_unique<OGRFeature>(m_layer->GetLayerDefn());
    m_index = m_state->TakeIndex(*m_layer);
}

void TFeatureLayer::WritePoint(const shapes::TSFPoint& point, const shapes::TSFRow& row)
{
    const TGdalErrors errors;
    auto& geometry = GeometryAs<OGRPoint>(*m_feature);
    geometry.setX(MifCoord(point.X));
    geometry.setY(MifCoord(point.Y));
    Write(row, errors);
}

OGRLinearRing& TFeatureLayer::SingleRing(std::size_t count)
{
    auto* polygon = dynamic_cast<OGRPolygon*>(m_feature->GetGeometryRef());
    if (polygon == nullptr || polygon->getNumInteriorRings() != 0 ||
        polygon->getExteriorRing() == nullptr) {
        auto created = std::make_unique<OGRPolygon>();
        created->addRingDirectly(std::make_unique<OGRLinearRing>().release());
        polygon = created.get();
        m_feature->SetGeometryDirectly(created.release());
    }
    OGRLinearRing& ring = *polygon->getExteriorRing();
    ring.setNumPoints(static_cast<int>(count), FALSE);
    return ring;
}

void TFeatureLayer::WriteRegion(shapes::TSFPolygon& shape, const shapes::TSFRow& row)
{
    const TGdalErrors errors;
    if (shape.NumParts > 1) {
        SetRings(shape);
    } else {
        shapes::NormalizeRing(shape);
        if (shape.NumPoints < 2) {
            m_feature->SetGeometryDirectly(nullptr);
        } else {
            OGRLinearRing& ring = SingleRing(shape.Points.size());
            SetPoints(ring, shape.Points, 0, shape.Points.size());
            ring.closeRings();
        }
    }
    Write(row, errors);
}

void TFeatureLayer::SetRings(const shapes::TSFPolygon& shape)
{
    std::vector<std::unique_ptr<OGRPolygon>> polygons;
    for (std::size_t k = 0; k < shape.Parts.size(); ++k) {
        auto ring = std::make_unique<OGRLinearRing>();
        SetPoints(*ring, shape.Points, static_cast<std::size_t>(shape.Parts[k]),
                  PartCount(shape, k));
        ring->closeRings();
        polygons.push_back(std::make_unique<OGRPolygon>());
        polygons.back()->addRingDirectly(ring.release());
    }
    // organizePolygons takes the polygons.
    std::vector<OGRGeometry*> taken;
    taken.reserve(polygons.size());
    for (std::unique_ptr<OGRPolygon>& polygon : polygons) {
        taken.push_back(polygon.release());
    }
    int valid = FALSE;
    const char* options[] = {"METHOD=DEFAULT", nullptr};
    m_feature->SetGeometryDirectly(OGRGeometryFactory::organizePolygons(
        taken.data(), static_cast<int>(taken.size()), &valid, options));
}

void TFeatureLayer::WritePLine(const shapes::TSFPolyLine& shape, const shapes::TSFRow& row)
{
    const TGdalErrors errors;
    if (shape.NumParts > 1) {
        auto lines = std::make_unique<OGRMultiLineString>();
        for (std::size_t k = 0; k < shape.Parts.size(); ++k) {
            auto line = std::make_unique<OGRLineString>();
            SetPoints(*line, shape.Points, static_cast<std::size_t>(shape.Parts[k]),
                      PartCount(shape, k));
            if (line->getNumPoints() >= 2) {
                lines->addGeometryDirectly(line.release());
            }
        }
        m_feature->SetGeometryDirectly(lines->IsEmpty() ? nullptr : lines.release());
    } else if (shape.NumPoints < 2) {
        m_feature->SetGeometryDirectly(nullptr);
    } else {
        SetPoints(GeometryAs<OGRLineString>(*m_feature), shape.Points, 0, shape.Points.size());
    }
    Write(row, errors);
}

void TFeatureLayer::WriteNone(const shapes::TSFRow& row)
{
    const TGdalErrors errors;
    m_feature->SetGeometryDirectly(nullptr);
    Write(row, errors);
}

void TFeatureLayer::BeginGrid(const TSFGrid& grid)
{
    shapes::TFeatureOutput::BeginGrid(grid);
    if (m_transform) {
        return;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(grid.N); ++i) {
        if (grid.Centres) {
            m_centerX[i] = MifCoord(grid.CenterX[i]);
            m_centerY[i] = MifCoord(grid.CenterY[i]);
            continue;
        }
        for (std::size_t v = 0; v < TSFGrid::kRingPoints; ++v) {
            m_gridX[i][v] = MifCoord(grid.X[i][v]);
            m_gridY[i][v] = MifCoord(grid.Y[i][v]);
        }
    }
}

void TFeatureLayer::WriteGridCell(std::int32_t row, std::int32_t column,
                                  const shapes::TSFRow& values)
{
    if (m_transform) {
        shapes::TFeatureOutput::WriteGridCell(row, column, values);
        return;
    }
    const TGdalErrors errors;
    const TSFGrid& grid = *Grid();
    const auto r = static_cast<std::size_t>(row);
    const auto c = static_cast<std::size_t>(column);
    if (grid.Centres) {
        auto& point = GeometryAs<OGRPoint>(*m_feature);
        point.setX(m_centerX[c]);
        point.setY(m_centerY[r]);
    } else {
        // As NormalizeRing turns the cell's ring: on the values as they came.
        const bool reverse = shapes::PolygonArea(grid.X[c], grid.Y[r]) > 0;
        OGRLinearRing& ring = SingleRing(TSFGrid::kRingPoints);
        for (std::size_t j = 0; j < TSFGrid::kRingPoints; ++j) {
            const std::size_t v = reverse ? TSFGrid::kRingPoints - 1 - j : j;
            ring.setPoint(static_cast<int>(j), m_gridX[c][v], m_gridY[r][v]);
        }
        ring.closeRings();
    }
    Write(values, errors);
}

void TFeatureLayer::SetValues(const shapes::TSFRow& row)
{
    const std::span<const std::string_view> values = m_splitter.SplitMid(row);
    TMidDate date;
    for (std::size_t i = 0; i < m_types.size(); ++i) {
        const int field = static_cast<int>(i);
        if (i >= values.size()) {
            m_feature->SetFieldNull(field);
            continue;
        }
        const std::string_view value = values[i];
        switch (m_types[i]) {
        case TColType::Char:
        case TColType::Logical:
            m_feature->SetField(field, base::SjisToUtf8(value).c_str());
            break;
        case TColType::Integer:
        case TColType::Float:
            // GDAL's own reading of the text, as its MapInfo reader's.
            m_text.assign(value);
            m_feature->SetField(field, m_text.c_str());
            break;
        case TColType::Date:
            if (ReadMidDate(value, date)) {
                m_feature->SetField(field, date.Year, date.Month, date.Day);
            } else {
                m_feature->SetFieldNull(field);
            }
            break;
        }
    }
}

void TFeatureLayer::TransformGeometry()
{
    OGRGeometry* geometry = m_feature->GetGeometryRef();
    if (geometry == nullptr) {
        return;
    }
    OGREnvelope box;
    geometry->getEnvelope(&box);
    m_state->NoteTransformed(box, shapes::FindCoordSys(m_options.CoordSys)->Epsg,
                             m_options.TargetEpsg);
    if (geometry->transform(m_transform.get()) != OGRERR_NONE) {
        throw base::TAppError(
            base::FormatMessage(base::kMsgTransformFailed, {base::FormatCoordString(box.MinX),
                                                            base::FormatCoordString(box.MinY),
                                                            std::to_string(m_options.TargetEpsg)}));
    }
}

void TFeatureLayer::Write(const shapes::TSFRow& row, const TGdalErrors& errors)
{
    if (!m_feature) {
        throw std::logic_error("an object before Begin of a GDAL layer");
    }
    SetValues(row);
    if (m_transform) {
        TransformGeometry();
    }
    m_feature->SetFID(OGRNullFID);
    m_state->Check(errors, m_layer->CreateFeature(m_feature.get()) == OGRERR_NONE, "CreateFeature");
    const OGRGeometry* geometry = m_feature->GetGeometryRef();
    if (m_index != nullptr && m_index->Loader && geometry != nullptr && !geometry->IsEmpty()) {
        OGREnvelope box;
        geometry->getEnvelope(&box);
        m_index->Loader->Add(m_feature->GetFID(), TBox{box.MinX, box.MaxX, box.MinY, box.MaxY});
    }
    CountObject();
}

void TFeatureLayer::Finish()
{
    if (m_layer == nullptr) {
        Begin({});
    }
    if (m_index != nullptr) {
        m_state->FinishIndex(*m_index);
    }
    const TGdalErrors errors;
    m_state->Check(errors, m_layer->SyncToDisk() == OGRERR_NONE, "SyncToDisk");
}

// ---------------------------------------------------------------------------------------------
// Tables

class TTableLayer final : public shapes::TTableOutput
{
public:
    TTableLayer(std::shared_ptr<TGdalDataset::TState> state, std::string name,
                std::string description)
        : m_state(std::move(state)), m_name(std::move(name)), m_description(std::move(description))
    {
    }

    void WriteHeader(const shapes::TSFRow& row) override;
    void WriteRow(const shapes::TSFRow& row) override;
    void Finish() override;

private:
    void Create(std::span<const std::string_view> header);
    void AddColumns(std::size_t count, const TGdalErrors& errors);

    std::shared_ptr<TGdalDataset::TState> m_state;
    std::string m_name;
    std::string m_description;
    OGRLayer* m_layer = nullptr;
    std::unique_ptr<OGRFeature> m_feature;
    std::vector<std::string> m_fields; ///< the column names, then the FID column's
    std::size_t m_columns = 0;
    TRowSplitter m_splitter;
};

void TTableLayer::Create(std::span<const std::string_view> header)
{
    const std::vector<std::string> names(header.begin(), header.end());
    m_fields = MakeFieldNames(names, TNameRules::Table);
    m_columns = m_fields.size();
    m_layer = m_state->CreateLayer(m_name, nullptr, wkbNone, m_description, m_fields,
                                   std::vector<OGRFieldType>(m_columns, OFTString));
    m_fields.push_back(FreeName("fid", m_fields));
    m_feature = std::make_unique<OGRFeature>(m_layer->GetLayerDefn());
}

void TTableLayer::AddColumns(std::size_t count, const TGdalErrors& errors)
{
    // A feature reads its field count from the definition: it must go before the definition
    // grows.
    m_feature.reset();
    for (std::size_t i = m_columns; i < count; ++i) {
        std::string name = FreeName("field_" + std::to_string(i + 1), m_fields);
        OGRFieldDefn field(name.c_str(), OFTString);
        m_state->Check(errors, m_layer->CreateField(&field) == OGRERR_NONE, "CreateField");
        m_fields.push_back(std::move(name));
    }
    m_columns = count;
    m_feature = std::make_unique<OGRFeature>(m_layer->GetLayerDefn());
}

void TTableLayer::WriteHeader(const shapes::TSFRow& row)
{
    if (m_layer == nullptr) {
        Create(m_splitter.SplitCsv(row));
        return;
    }
    WriteRow(row);
}

void TTableLayer::WriteRow(const shapes::TSFRow& row)
{
    if (m_layer == nullptr) {
        Create({});
    }
    const TGdalErrors errors;
    const std::span<const std::string_view> values = m_splitter.SplitCsv(row);
    if (values.size() > m_columns) {
        AddColumns(values.size(), errors);
    }
    for (std::size_t i = 0; i < m_columns; ++i) {
        const int field = static_cast<int>(i);
        if (i < values.size()) {
            m_feature->SetField(field, base::SjisToUtf8(values[i]).c_str());
        } else {
            m_feature->SetFieldNull(field);
        }
    }
    m_feature->SetFID(OGRNullFID);
    m_state->Check(errors, m_layer->CreateFeature(m_feature.get()) == OGRERR_NONE, "CreateFeature");
}

void TTableLayer::Finish()
{
    if (m_layer == nullptr) {
        Create({});
    }
    const TGdalErrors errors;
    m_state->Check(errors, m_layer->SyncToDisk() == OGRERR_NONE, "SyncToDisk");
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::string SourceDescription(std::string_view itemName, const std::filesystem::path& srcFile)
{
    return base::FormatMessage(
        base::kMsgSourceDescription,
        {base::SjisToUtf8(itemName), base::PathToUtf8(srcFile.filename()), TOLVANE_VERSION});
}

TGdalDataset::TGdalDataset(TGdalFormat format, const std::filesystem::path& path)
    : m_state(std::make_shared<TState>(format, path))
{
}

TGdalDataset::~TGdalDataset() = default;

TGdalFormat TGdalDataset::Format() const noexcept
{
    return m_state->Format();
}

std::unique_ptr<shapes::TFeatureOutput>
TGdalDataset::CreateFeatureOutput(const TLayerOptions& options)
{
    return std::make_unique<TFeatureLayer>(m_state, options);
}

std::unique_ptr<shapes::TTableOutput>
TGdalDataset::CreateTableOutput(const std::string& name, const std::string& description)
{
    if (!HoldsTables()) {
        throw std::logic_error("only a GeoPackage holds tables");
    }
    return std::make_unique<TTableLayer>(m_state, name, description);
}

std::int64_t TGdalDataset::AppendFrom(const std::filesystem::path& source, const std::string& layer,
                                      const TAppendTarget& target,
                                      const std::function<void()>& tick)
{
    return m_state->AppendFrom(source, layer, target, tick);
}

void TGdalDataset::EnsureLayer(const TAppendTarget& target)
{
    m_state->EnsureLayer(target);
}

std::string TGdalDataset::TransformationNote() const
{
    return m_state->TransformationNote();
}

void TGdalDataset::Finish()
{
    m_state->Finish();
}

} // namespace tolvane::gdal
