// Where the main window was.
#include "app/WindowPlacement.h"

#include <optional>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>

#include "app/uniQtText.h"
#include "base/uniNumbers.h"
#include "base/uniPaths.h"

namespace tolvane::app {

namespace {

const QString kSection = QStringLiteral("Window");

// The stored spelling of `section`/`key`, matched without regard to letter case.
std::optional<QString> FindKey(const QStringList& keys, const QString& key)
{
    for (const QString& stored : keys) {
        const qsizetype slash = stored.indexOf(QLatin1Char('/'));
        if (slash < 0 || stored.indexOf(QLatin1Char('/'), slash + 1) >= 0) {
            continue;
        }
        if (QStringView(stored).left(slash).compare(kSection, Qt::CaseInsensitive) == 0 &&
            QStringView(stored).mid(slash + 1).compare(key, Qt::CaseInsensitive) == 0) {
            return stored;
        }
    }
    return std::nullopt;
}

// The section as already spelled in the file, or "Window".
QString SectionSpelling(const QStringList& keys)
{
    for (const QString& stored : keys) {
        const qsizetype slash = stored.indexOf(QLatin1Char('/'));
        if (slash > 0 &&
            QStringView(stored).left(slash).compare(kSection, Qt::CaseInsensitive) == 0) {
            return stored.left(slash);
        }
    }
    return kSection;
}

int ReadInteger(const QSettings& settings, const QStringList& keys, const QString& key, int def)
{
    const std::optional<QString> stored = FindKey(keys, key);
    if (!stored) {
        return def;
    }
    const QVariant value = settings.value(*stored);
    // A value holding a comma comes back as a list: not an integer.
    if (value.typeId() == QMetaType::QStringList) {
        return def;
    }
    return base::TryStrToInt(value.toString().toStdString()).value_or(def);
}

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

TSettingsLocation DefaultSettingsLocation()
{
    const std::string base = base::ExtractBaseName(base::GetExePath().native());
    const QString name = Utf8ToQString(base) + QStringLiteral(".INI");
    TSettingsLocation location;
    location.Primary = Utf8ToQString(base::GetExeDir()) + name;
    location.Fallback = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/tolvane/") + name;
    return location;
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
    placement.Left = ReadInteger(settings, keys, QStringLiteral("Left"), placement.Left);
    placement.Top = ReadInteger(settings, keys, QStringLiteral("Top"), placement.Top);
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
    const QStringList keys = settings.allKeys();
    const QString section = SectionSpelling(keys);
    const auto write = [&](const QString& key, int value) {
        settings.setValue(FindKey(keys, key).value_or(section + QLatin1Char('/') + key), value);
    };
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

void LoadWindowPlacement(QWidget& window, const TSettingsLocation& location)
{
    const TWindowPlacement placement = ReadWindowPlacement(SettingsFileToRead(location));
    window.move(placement.Left, placement.Top);
    window.resize(placement.Width, placement.Height);
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
        const QRect bounds = window.frameGeometry();
        placement.Left = bounds.left();
        placement.Top = bounds.top();
        placement.Width = bounds.width();
        placement.Height = bounds.height();
    }
    const bool withBounds = placement.State == kStateNormal;
    if (WriteWindowPlacement(location.Primary, placement, withBounds)) {
        return location.Primary;
    }
    if (location.Fallback.isEmpty() ||
        !QDir().mkpath(QFileInfo(location.Fallback).absolutePath()) ||
        !WriteWindowPlacement(location.Fallback, placement, withBounds)) {
        return {};
    }
    return location.Fallback;
}

} // namespace tolvane::app
