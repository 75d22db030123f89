// Where the main window was: the settings INI named after the executable, beside it (or in
// the user's configuration folder when that folder cannot be written).
#pragma once

#include <QString>

class QWidget;

namespace tolvane::app {

inline constexpr int kStateNormal = 0;
inline constexpr int kStateMaximized = 1;
inline constexpr int kStateMinimized = 2;

/// Section "Window" of the settings INI; missing or unreadable keys give these defaults.
struct TWindowPlacement
{
    int Left = 20;
    int Top = 20;
    int Width = 700;
    int Height = 500;
    int State = kStateNormal; ///< 0 normal, 1 maximized, 2 minimized; anything else reads as 0
};

/// The settings INI beside the executable, and the one in the user's configuration folder
/// that takes its place when the executable's folder cannot be written.
struct TSettingsLocation
{
    QString Primary;
    QString Fallback;
};

/// GetExeDir() + ExtractBaseName(executable) + ".INI", and the same name in
/// $XDG_CONFIG_HOME/tolvane/.
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

/// Moves `window` to the stored position and size and sets the stored state.
void LoadWindowPlacement(QWidget& window, const TSettingsLocation& location);

/// Stores the window's state and, in the normal state, its outer bounds; a maximized or
/// minimized window is hidden and returned to the normal state first. Writes the primary INI,
/// or the fallback when the primary cannot be written. Returns the file written, or an empty
/// string when neither could be; never throws.
QString SaveWindowPlacement(QWidget& window, const TSettingsLocation& location);

} // namespace tolvane::app
