// Conversion between Shift-JIS (code page 932, Windows semantics) and UTF-8. Used only at the
// edges: the screen, the terminal and file-system paths. Everything else stays in CP932 bytes.
//
// One table on every system: what Windows' code page 932 and glibc's iconv "CP932" both decode,
// decoded as both do; 0x80, 0xA0 and 0xFD to 0xFF are no characters. A character is encoded
// only when some code decodes to it: the few that one system or the other maps one way only
// (U+00A5 to 0x5C, U+301C to 0x8160, U+0080, U+F8F0 …) are refused on both. A character with
// several codes (NEC and IBM duplicates) gets the one both systems choose.
// tests/data/cp932.txt lists the whole table.
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
/// A file-system path as UTF-8 text for messages. Never raises: on Windows a name that is not
/// valid UTF-16 shows U+FFFD for what is not.
std::string PathToUtf8(const std::filesystem::path& path);
/// UTF-8 text (a command-line argument, a name typed by the user) as a file-system path. Never
/// raises: on Windows bytes that are not UTF-8 become U+FFFD; on POSIX the bytes are the name.
std::filesystem::path Utf8ToPath(std::string_view utf8);

/// UTF-8 → UTF-16; a byte that does not belong to a well-formed character becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
/// UTF-8 → UTF-16, or nothing when `utf8` is not well-formed.
std::optional<std::u16string> TryUtf8ToUtf16(std::string_view utf8);
/// UTF-16 → UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace tolvane::base
