// Text and paths between the core and Qt: the core's CP932 bytes reach a QString only through
// uniCodePage, and paths travel as UTF-8.
#pragma once

#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include <QString>

namespace tolvane::app {

/// UTF-8 text (messages, status texts) as a QString.
QString Utf8ToQString(std::string_view utf8);
/// The text the window shows for an error: its message and, for ours, where it arose.
QString ErrorText(const std::exception& error);
/// CP932 bytes (catalogue and batch-list text) as a QString; invalid bytes become U+FFFD.
QString SjisToQString(std::string_view sjis);
/// A path typed or picked in the window as a file-system path.
std::filesystem::path ToPath(const QString& path);
/// A file-system path for display.
QString PathToQString(const std::filesystem::path& path);

/// `text` without leading and trailing blanks and control characters (code points up to
/// U+0020; a full-width space stays).
QString TrimBlanks(const QString& text);

/// `path` with the extension of its file name replaced by `ext` (".mif"); a name without a dot
/// gets `ext` appended.
QString ChangeFileExt(const QString& path, std::string_view ext);

} // namespace tolvane::app
