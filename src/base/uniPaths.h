// The folder of the running executable, the places where the programs find their data, and
// small path helpers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

/// A folder of the programs' data, found by its name.
struct TDataFolder
{
    std::string_view Name;     ///< "Define": the folder's name beside the program and in share
    std::string_view Variable; ///< the environment variable that names it: "TOLVANE_DEFINE"
    std::string_view Marker;   ///< a file the folder must hold to count; empty: any folder
};

inline constexpr TDataFolder kDefineFolder{"Define", "TOLVANE_DEFINE", "データ項目.txt"};
inline constexpr TDataFolder kHelpFolder{"help", "TOLVANE_HELP", ""};

/// The data of an installed program, from the folder of its executable (bin/).
inline constexpr std::string_view kInstalledDataDir = "../share/tolvane";

/// What named a place where a data folder is looked for.
enum class TPlaceKind : std::uint8_t {
    Option,      ///< the command line (--define DIR)
    Environment, ///< the folder's environment variable
    Installed,   ///< <exe>/../share/tolvane/<name>
    Portable,    ///< <exe>/<name>, the folder beside the executable
};

struct TDataPlace
{
    std::filesystem::path Dir;
    TPlaceKind Kind = TPlaceKind::Portable;
};

/// What a search for a data folder starts from.
struct TDataSearch
{
    std::optional<std::filesystem::path> Given; ///< from the command line
    std::optional<std::string> Environment;     ///< the variable's value; nullopt when unset
    std::filesystem::path ExeDir;               ///< the executable's folder
};

/// The places to look, in order. A folder given on the command line is the only place, else
/// a folder that the environment variable names (when set and not empty); otherwise
/// <exe>/../share/tolvane/<name> (an installed program) and then <exe>/<name> (the portable
/// layout). A folder that the user named is never passed over for another one.
std::vector<TDataPlace> DataPlaces(const TDataFolder& folder, const TDataSearch& search);

/// The first place that holds the folder (with its marker file). Raises TFileError naming
/// every place tried when none does.
std::filesystem::path FindDataFolder(const TDataFolder& folder, const TDataSearch& search);

/// The search of this process: `given`, the folder's environment variable, GetExeDir().
TDataSearch ProcessDataSearch(const TDataFolder& folder,
                              std::optional<std::filesystem::path> given = std::nullopt);

/// The Define folder of this process: `given` (--define DIR), else $TOLVANE_DEFINE, else the
/// installed share/tolvane/Define, else Define beside the executable. Raises TFileError naming
/// every place tried when none holds the catalogue.
std::filesystem::path
DefaultDefineDir(const std::optional<std::filesystem::path>& given = std::nullopt);

/// The portable layout: the Define folder of a program in `exeDir` is the one beside it, with
/// no installed share/tolvane/Define above it.
bool IsPortableLayout(const std::filesystem::path& exeDir);

/// A folder of the system (under /usr, /etc, /opt, /var …), where the programs never write
/// their settings.
bool IsSystemFolder(const std::filesystem::path& dir);

} // namespace tolvane::base
