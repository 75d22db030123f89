// Conversion between Shift-JIS (code page 932, Windows semantics) and UTF-8. Used only at the
// edges: the screen, the terminal and file-system paths. Everything else stays in CP932 bytes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane::base {

/// CP932 → UTF-8. Bytes that are not valid CP932 become U+FFFD; never fails. For messages
/// and display.
std::string SjisToUtf8(std::string_view sjis);
/// CP932 → UTF-8, or nothing when `sjis` is not valid CP932.
std::optional<std::string> TrySjisToUtf8(std::string_view sjis);

/// UTF-8 → CP932. Characters without a CP932 code (and invalid UTF-8) become "?".
std::string Utf8ToSjis(std::string_view utf8);
/// UTF-8 → CP932, or nothing when a character has no CP932 code.
std::optional<std::string> TryUtf8ToSjis(std::string_view utf8);

/// A path held as CP932 text (inside Define and batch-list files) as a file-system path.
/// Invalid CP932 bytes raise TDataError.
std::filesystem::path SjisToPath(std::string_view sjis);
/// A file-system path as CP932 text, for writing into a batch-list file. Characters without
/// a CP932 code become "?".
std::string PathToSjis(const std::filesystem::path& path);
/// A file-system path as UTF-8 text for messages.
std::string PathToUtf8(const std::filesystem::path& path);

} // namespace tolvane::base
