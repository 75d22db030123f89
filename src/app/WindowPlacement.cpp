// Where the main window was.
#include "app/WindowPlacement.h"

#include <optional>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>

#include "app/uniQtText.h"
#include "base/uniCodePage.h"
#include "base/uniNumbers.h"
#include "base/uniPaths.h"

namespace tolvane::app {

namespace {

const QString kSection = QStringLiteral("Window");
const QString kSettingsSection = QStringLiteral("Settings");
const QString kRecentSection = QStringLiteral("Recent");

// The stored spelling of `section`/`key`, matched without regard to letter case.
std::optional<QString> FindKey(const QStringList& keys, const QString& section, const QString& key)
{
    for (const QString& stored : keys) {
        const qsizetype slash = stored.indexOf(QLatin1Char('/'));
        if (slash < 0 || stored.indexOf(QLatin1Char('/'), slash + 1) >= 0) {
            continue;
        }
        if (QStringView(stored).left(slash).compare(section, Qt::CaseInsensitive) == 0 &&
            QStringView(stored).mid(slash + 1).compare(key, Qt::CaseInsensitive) == 0) {
            return stored;
        }
    }
    return std::nullopt;
}

// The section as already spelled in the file, or `section`.
QString SectionSpelling(const QStringList& keys, const QString& section)
{
    for (const QString& stored : keys) {
        const qsizetype slash = stored.indexOf(QLatin1Char('/'));
        if (slash > 0 &&
            QStringView(stored).left(slash).compare(section, Qt::CaseInsensitive) == 0) {
            return stored.left(slash);
        }
    }
    return section;
}

std::optional<int> ReadStoredInteger(const QSettings& settings, const QStringList& keys,
                                     const QString& section, const QString& key)
{
    const std::optional<QString> stored = FindKey(keys, section, key);
    if (!stored) {
        return std::nullopt;
    }
    const QVariant value = settings.value(*stored);
    // A value holding a comma comes back as a list: not an integer.
    if (value.typeId() == QMetaType::QStringList) {
        return std::nullopt;
    }
    return base::TryStrToInt(value.toString().toStdString());
}

int ReadInteger(const QSettings& settings, const QStringList& keys, const QString& key, int def)
{
    return ReadStoredInteger(settings, keys, kSection, key).value_or(def);
}

QString ReadText(const QSettings& settings, const QStringList& keys, const QString& section,
                 const QString& key)
{
    const std::optional<QString> stored = FindKey(keys, section, key);
    if (!stored) {
        return {};
    }
    const QVariant value = settings.value(*stored);
    // A value written by hand with a comma and no quotes comes back as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    return value.toString();
}

// Writes values into `settings`, keeping the spelling of sections and keys already there.
class TIniWriter
{
public:
    explicit TIniWriter(QSettings& settings) : m_settings(settings), m_keys(settings.allKeys()) {}

    void Write(const QString& section, const QString& key, const QVariant& value)
    {
        m_settings.setValue(
            FindKey(m_keys, section, key)
                .value_or(SectionSpelling(m_keys, section) + QLatin1Char('/') + key),
            value);
    }
    void Remove(const QString& section, const QString& key)
    {
        if (const std::optional<QString> stored = FindKey(m_keys, section, key)) {
            m_settings.remove(*stored);
        }
    }

private:
    QSettings& m_settings;
    QStringList m_keys;
};

// The frame around the window's area; nothing while the desktop has not framed it yet.
QMargins FrameMargins(const QWidget& window)
{
    const QRect inside = window.geometry();
    const QRect frame = window.frameGeometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(),
            frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

// A typical frame with its title bar, for a window that must be moved onto the screen before
// its frame is known.
constexpr QMargins kTypicalFrame(4, 32, 4, 4);

// The file can be written: it exists and is writable, or its folder exists and is writable.
bool CanWrite(const QString& iniPath)
{
    const QFileInfo file(iniPath);
    if (file.exists()) {
        return file.isFile() && file.isWritable();
    }
    const QFileInfo dir(file.absolutePath());
    return dir.isDir() && dir.isWritable();
}

} // namespace

TSettingsLocation SettingsLocationFor(const std::filesystem::path& exePath,
                                      const QString& configDir, bool exeDirWritable)
{
    const std::string name = base::ExtractBaseName(exePath.native()) + ".INI";
    const QString user = configDir + QStringLiteral("/tolvane/") + Utf8ToQString(name);
    const std::filesystem::path exeDir = exePath.parent_path();
    if (exeDirWritable && base::IsPortableLayout(exeDir) && !base::IsSystemFolder(exeDir)) {
        return {PathToQString(exeDir / name), user};
    }
    return {user, QString()};
}

TSettingsLocation DefaultSettingsLocation()
{
    const std::filesystem::path exe = base::GetExePath();
    // Qt asks the system (on Windows: the folder's access rights), not only the mode bits.
    const bool writable = QFileInfo(PathToQString(exe.parent_path())).isWritable();
    return SettingsLocationFor(
        exe, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), writable);
}

QString SettingsFileToRead(const TSettingsLocation& location)
{
    if (!location.Fallback.isEmpty() && !CanWrite(location.Primary) &&
        QFileInfo::exists(location.Fallback)) {
        return location.Fallback;
    }
    return location.Primary;
}

TWindowPlacement ReadWindowPlacement(const QString& iniPath)
{
    TWindowPlacement placement;
    if (iniPath.isEmpty() || !QFileInfo(iniPath).isFile()) {
        return placement;
    }
    const QSettings settings(iniPath, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    const std::optional<int> left =
        ReadStoredInteger(settings, keys, kSection, QStringLiteral("Left"));
    const std::optional<int> top =
        ReadStoredInteger(settings, keys, kSection, QStringLiteral("Top"));
    placement.Left = left.value_or(placement.Left);
    placement.Top = top.value_or(placement.Top);
    placement.HasPosition = left.has_value() && top.has_value();
    placement.Width = ReadInteger(settings, keys, QStringLiteral("Width"), placement.Width);
    placement.Height = ReadInteger(settings, keys, QStringLiteral("Height"), placement.Height);
    const int state = ReadInteger(settings, keys, QStringLiteral("State"), kStateNormal);
    placement.State = state == kStateMaximized || state == kStateMinimized ? state : kStateNormal;
    return placement;
}

bool WriteWindowPlacement(const QString& iniPath, const TWindowPlacement& placement,
                          bool withBounds)
{
    if (iniPath.isEmpty() || !CanWrite(iniPath)) {
        return false;
    }
    QSettings settings(iniPath, QSettings::IniFormat);
    TIniWriter writer(settings);
    const auto write = [&](const QString& key, int value) { writer.Write(kSection, key, value); };
    if (withBounds) {
        write(QStringLiteral("Left"), placement.Left);
        write(QStringLiteral("Top"), placement.Top);
        write(QStringLiteral("Width"), placement.Width);
        write(QStringLiteral("Height"), placement.Height);
    }
    write(QStringLiteral("State"), placement.State);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

TSessionSettings ReadSessionSettings(const QString& iniPath)
{
    TSessionSettings session;
    if (iniPath.isEmpty() || !QFileInfo(iniPath).isFile()) {
        return session;
    }
    const QSettings settings(iniPath, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    const auto text = [&](const char* key) {
        return ReadText(settings, keys, kSettingsSection, QString::fromLatin1(key));
    };
    const auto integer = [&](const char* key) {
        return ReadStoredInteger(settings, keys, kSettingsSection, QString::fromLatin1(key));
    };
    session.SourceDir = text("SourceDir");
    session.DestinationDir = text("DestinationDir");
    session.BatchDir = text("BatchDir");
    session.ItemIndex = integer("Item").value_or(-1);
    session.ItemName = text("ItemName");
    session.CoordSys = integer("CoordSys").value_or(0);
    session.Combine = integer("Combine").value_or(0) != 0;
    session.CombineFile = text("CombineFile");
    for (int i = 1; i <= kMaxRecentBatchLists; ++i) {
        const QString file =
            ReadText(settings, keys, kRecentSection, QStringLiteral("File%1").arg(i));
        if (!file.isEmpty() && !session.RecentBatchLists.contains(file)) {
            session.RecentBatchLists.append(file);
        }
    }
    return session;
}

bool WriteSessionSettings(const QString& iniPath, const TSessionSettings& session)
{
    if (iniPath.isEmpty() || !CanWrite(iniPath)) {
        return false;
    }
    QSettings settings(iniPath, QSettings::IniFormat);
    TIniWriter writer(settings);
    const auto write = [&](const char* key, const QVariant& value) {
        writer.Write(kSettingsSection, QString::fromLatin1(key), value);
    };
    write("SourceDir", session.SourceDir);
    write("DestinationDir", session.DestinationDir);
    write("BatchDir", session.BatchDir);
    write("Item", static_cast<qlonglong>(session.ItemIndex));
    write("ItemName", session.ItemName);
    write("CoordSys", session.CoordSys);
    write("Combine", session.Combine ? 1 : 0);
    write("CombineFile", session.CombineFile);
    for (int i = 1; i <= kMaxRecentBatchLists; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= session.RecentBatchLists.size()) {
            writer.Write(kRecentSection, key, session.RecentBatchLists.at(i - 1));
        } else {
            writer.Remove(kRecentSection, key);
        }
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QRect FitOnScreen(const QRect& wanted, const QRect& available, const QSize& minimum,
                  const QMargins& frame)
{
    if (available.isEmpty()) {
        return wanted;
    }
    // The room for the window's area: the screen less the frame around it.
    const QRect room = available.marginsRemoved(frame);
    if (room.contains(wanted)) {
        return wanted;
    }
    QSize size = wanted.size().boundedTo(room.size()).expandedTo(minimum);
    QRect fitted(wanted.topLeft(), size);
    if (fitted.right() > room.right()) {
        fitted.moveRight(room.right());
    }
    if (fitted.bottom() > room.bottom()) {
        fitted.moveBottom(room.bottom());
    }
    if (fitted.left() < room.left()) {
        fitted.moveLeft(room.left());
    }
    if (fitted.top() < room.top()) {
        fitted.moveTop(room.top());
    }
    return fitted;
}

void LoadWindowPlacement(QWidget& window, const TSettingsLocation& location)
{
    const TWindowPlacement placement = ReadWindowPlacement(SettingsFileToRead(location));
    QSize size = window.size();
    if (placement.Width > 0 && placement.Height > 0) {
        size = QSize(placement.Width, placement.Height).expandedTo(window.minimumSize());
    }
    const QMargins frame = FrameMargins(window);
    // The default place is the frame's corner; a stored one is the area inside the frame.
    const QPoint topLeft = placement.HasPosition
                               ? QPoint(placement.Left, placement.Top)
                               : QPoint(placement.Left + frame.left(), placement.Top + frame.top());
    const QRect wanted(topLeft, size);
    QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    // A window that fits stays exactly where it was left; one that does not is moved and shrunk
    // with room for a frame.
    QRect fitted = FitOnScreen(wanted, available, window.minimumSize(), frame);
    if (fitted != wanted && frame.isNull()) {
        fitted = FitOnScreen(wanted, available, window.minimumSize(), kTypicalFrame);
    }
    if (placement.HasPosition || fitted != wanted) {
        window.setGeometry(fitted);
    } else {
        window.resize(size);
        window.move(placement.Left, placement.Top);
    }
    switch (placement.State) {
    case kStateMaximized:
        window.setWindowState(Qt::WindowMaximized);
        break;
    case kStateMinimized:
        window.setWindowState(Qt::WindowMinimized);
        break;
    default:
        window.setWindowState(Qt::WindowNoState);
        break;
    }
}

QString SaveWindowPlacement(QWidget& window, const TSettingsLocation& location)
{
    TWindowPlacement placement;
    const Qt::WindowStates state = window.windowState();
    placement.State = state.testFlag(Qt::WindowMinimized)   ? kStateMinimized
                      : state.testFlag(Qt::WindowMaximized) ? kStateMaximized
                                                            : kStateNormal;
    if (placement.State != kStateNormal) {
        window.hide();
        window.setWindowState(Qt::WindowNoState);
    } else {
        const QRect bounds = window.geometry();
        placement.Left = bounds.left();
        placement.Top = bounds.top();
        placement.Width = bounds.width();
        placement.Height = bounds.height();
    }
    const bool withBounds = placement.State == kStateNormal;
    for (const QString& ini : {location.Primary, location.Fallback}) {
        if (!ini.isEmpty() && QDir().mkpath(QFileInfo(ini).absolutePath()) &&
            WriteWindowPlacement(ini, placement, withBounds)) {
            return ini;
        }
    }
    return {};
}

} // namespace tolvane::app
