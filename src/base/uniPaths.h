// The folder of the running executable, where the Define folder and the settings live.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tolvane::base {

/// The folder of the running executable, ending in "/".
std::string GetExeDir();
/// The full path of the running executable.
std::filesystem::path GetExePath();
/// The folder part of `path`: everything up to and including the last "/" (empty when there
/// is none).
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

/// The shipped Define folder beside the executable.
std::filesystem::path DefaultDefineDir();

} // namespace tolvane::base
