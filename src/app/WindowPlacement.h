// Where the main window was, and what else it remembers: the settings INI named after the
// executable, beside it in the portable layout, otherwise in the user's configuration folder.
#pragma once

#include <cstdint>
#include <filesystem>

#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace tolvane::app {

inline constexpr int kStateNormal = 0;
inline constexpr int kStateMaximized = 1;
inline constexpr int kStateMinimized = 2;

/// Section "Window" of the settings INI; missing or unreadable keys give these defaults.
/// Left, Top, Width and Height are the window's area inside its frame, so that the window comes
/// back exactly where it was left whatever frame the desktop draws around it. A size of 0 is
/// the window's own default size.
struct TWindowPlacement
{
    int Left = 20;
    int Top = 20;
    int Width = 0;
    int Height = 0;
    int State = kStateNormal; ///< 0 normal, 1 maximized, 2 minimized; anything else reads as 0
    bool HasPosition = false; ///< Left and Top were both stored
};

/// What the window remembers between runs besides its placement: sections "Settings" and
/// "Recent" of the same INI.
struct TSessionSettings
{
    QString SourceDir;      ///< folder of the last source file
    QString DestinationDir; ///< folder of the last destination or merged file
    QString BatchDir;       ///< folder of the last batch-list file opened or saved
    std::int64_t ItemIndex = -1;
    QString ItemName; ///< the item is restored only while its catalogue line keeps this name
    int CoordSys = 0;
    bool Combine = false;
    QString CombineFile;
    QStringList RecentBatchLists; ///< newest first
};

inline constexpr int kMaxRecentBatchLists = 8;

/// `wanted` (the area inside the frame) moved and, if need be, shrunk (never below `minimum`) so
/// that it and its `frame` lie inside `available`; unchanged when they fit.
QRect FitOnScreen(const QRect& wanted, const QRect& available, const QSize& minimum,
                  const QMargins& frame);

/// The settings INI, and the one that takes its place when it cannot be written (empty: none).
struct TSettingsLocation
{
    QString Primary;
    QString Fallback;
};

/// The settings of the executable `exePath`, named after it (ExtractBaseName + ".INI"). In the
/// portable layout (base::IsPortableLayout), when the executable's folder can be written and is
/// no system folder: the INI beside the executable, with `configDir`/tolvane/<name>.INI as the
/// fallback. Otherwise `configDir`/tolvane/<name>.INI alone: an installed program never writes
/// beside itself.
TSettingsLocation SettingsLocationFor(const std::filesystem::path& exePath,
                                      const QString& configDir, bool exeDirWritable);

/// SettingsLocationFor the running executable, the user's configuration folder
/// ($XDG_CONFIG_HOME or ~/.config) and whether the executable's folder can be written now.
TSettingsLocation DefaultSettingsLocation();

/// The INI to read: the fallback when the primary cannot be written and the fallback exists,
/// otherwise the primary.
QString SettingsFileToRead(const TSettingsLocation& location);

/// Reads section "Window" of `iniPath`. Section and key names match in any letter case; values
/// are strict integers (decimal, or hexadecimal with "0x" or "$"). A missing file gives the
/// defaults, a bad value the default of its key.
TWindowPlacement ReadWindowPlacement(const QString& iniPath);

/// Writes "State" and, when `withBounds`, "Left", "Top", "Width" and "Height" to section
/// "Window" of `iniPath`, reusing the letter case of keys already there. False when the file
/// could not be written.
bool WriteWindowPlacement(const QString& iniPath, const TWindowPlacement& placement,
                          bool withBounds);

/// Reads sections "Settings" and "Recent" of `iniPath` (names in any letter case); missing or
/// unreadable values give the defaults.
TSessionSettings ReadSessionSettings(const QString& iniPath);

/// Writes sections "Settings" and "Recent" of `iniPath`. False when the file could not be
/// written.
bool WriteSessionSettings(const QString& iniPath, const TSessionSettings& settings);

/// Places `window` at the stored position and size (its own size when none is stored; a stored
/// position is the area inside the frame, the default one the frame's corner), kept on the
/// screen, and sets the stored state.
void LoadWindowPlacement(QWidget& window, const TSettingsLocation& location);

/// Stores the window's state and, in the normal state, the geometry inside its frame (as
/// LoadWindowPlacement restores it); a maximized or minimized window is hidden and returned to
/// the normal state first. Writes the primary INI, or the fallback when the primary cannot be
/// written, creating the INI's folder when it is missing. Returns the file written, or an empty
/// string when neither could be; never throws.
QString SaveWindowPlacement(QWidget& window, const TSettingsLocation& location);

} // namespace tolvane::app
