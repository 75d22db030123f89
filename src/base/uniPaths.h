// The folder of the running executable, where the Define folder and the settings live.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base/uniPlatform.h"

namespace tolvane::base {

/// The folder of the running executable, ending in "/".
std::string GetExeDir();
/// The full path of the running executable.
std::filesystem::path GetExePath();
/// True for a character that separates path components: "/", and on Windows also "\\".
bool IsPathSeparator(char c);
/// Where the last component of `path` (UTF-8) begins: after the last separator; on Windows
/// also after the drive of "C:name".
std::size_t FileNameStart(std::string_view path);
/// The folder part of `path`: everything up to and including the last separator (on Windows
/// "/" or "\\", or the drive of "C:name"; empty when there is none).
std::string ExtractFileDir(std::string_view path);
/// The file name of `path` without folder and without extension.
std::string ExtractBaseName(std::string_view path);
/// `path` with the extension of its last component replaced by `ext` (".mid"); a name without
/// a dot gets `ext` appended.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
/// The same, on a file-system path.
std::filesystem::path ChangeFileExt(const std::filesystem::path& path, std::string_view ext);

/// True when `a` and `b` name one file: the same file through links or other spellings, or,
/// while they do not exist yet, the same normalised path.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

/// Keys for hash tables that are equal for two paths exactly when they name one file (the rule
/// of IsSameFile): the file's identity when it exists; when it does not, its folder's identity
/// and its name; when the folder is missing too, the normalised absolute path. Each folder is
/// looked up and listed once, so that a list of a million paths in a few folders costs one look-up
/// per path that exists and none for one that does not. A key holds bytes, not text.
class TFileKeys
{
public:
    /// The key of `path`; `kind`, when given, receives what the path names.
    std::string KeyOf(const std::filesystem::path& path, TFileKind* kind = nullptr);

private:
    struct TFolder
    {
        std::string Key;
        bool Listed = false; ///< Names holds every name in the folder
        std::unordered_set<std::string> Names;
    };
    const TFolder& Folder(const std::string& folder);

    std::unordered_map<std::string, TFolder> m_folders;
};

/// True when `name` names a file inside a folder without leaving it: one path component, not
/// "." or "..", with no separator ("/" or "\\") and no drive (":"). The empty name is plain.
bool IsPlainFileName(const std::filesystem::path& name);

/// True when some file name that matches `mask` ("L01-*P*.txt"; "*" and "?" wildcards, letter
/// case ignored, several masks separated by ";") begins with `text`.
bool MaskCanBegin(std::string_view mask, std::string_view text);

/// The shipped Define folder beside the executable.
std::filesystem::path DefaultDefineDir();

} // namespace tolvane::base
