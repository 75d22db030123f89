// The folder of the running executable, the places of the data folders and small path helpers.
#include "base/uniPaths.h"

#include <array>
#include <cstdlib>
#include <system_error>

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"

namespace tolvane::base {

std::filesystem::path GetExePath()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    return exe;
}

std::string ExtractFileDir(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, slash + 1));
}

std::string GetExeDir()
{
    std::string dir = ExtractFileDir(GetExePath().string());
    if (!dir.empty() && dir.back() != '/') {
        dir.push_back('/');
    }
    return dir;
}

std::string ExtractBaseName(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    std::string out;
    if (dot != std::string_view::npos && dot >= nameStart) {
        out.assign(path.substr(0, dot));
    } else {
        out.assign(path);
    }
    out.append(ext);
    return out;
}

std::filesystem::path ChangeFileExt(const std::filesystem::path& path, std::string_view ext)
{
    return {ChangeFileExt(std::string_view(path.native()), ext)};
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
        return std::filesystem::equivalent(a, b, ec);
    }
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    if (ec) {
        return a == b;
    }
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    if (ec) {
        return a == b;
    }
    return ca == cb;
}

namespace {

// The folder exists and holds the marker file (when the folder has one).
bool HoldsFolder(const std::filesystem::path& dir, const TDataFolder& folder)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        return false;
    }
    return folder.Marker.empty() ||
           std::filesystem::is_regular_file(dir / std::filesystem::path(folder.Marker), ec);
}

std::filesystem::path InstalledPlace(const std::filesystem::path& exeDir, const TDataFolder& folder)
{
    return (exeDir / kInstalledDataDir / folder.Name).lexically_normal();
}

std::string PlaceLabel(const TDataPlace& place, const TDataFolder& folder)
{
    switch (place.Kind) {
    case TPlaceKind::Option:
        return std::string(kMsgPlaceOption.Text());
    case TPlaceKind::Environment:
        return FormatMessage(kMsgPlaceEnvironment, {folder.Variable});
    case TPlaceKind::Installed:
        return std::string(kMsgPlaceInstalled.Text());
    case TPlaceKind::Portable:
        break;
    }
    return std::string(kMsgPlacePortable.Text());
}

} // namespace

std::vector<TDataPlace> DataPlaces(const TDataFolder& folder, const TDataSearch& search)
{
    if (search.Given) {
        return {{*search.Given, TPlaceKind::Option}};
    }
    if (search.Environment && !search.Environment->empty()) {
        return {{std::filesystem::path(*search.Environment), TPlaceKind::Environment}};
    }
    return {{InstalledPlace(search.ExeDir, folder), TPlaceKind::Installed},
            {(search.ExeDir / folder.Name).lexically_normal(), TPlaceKind::Portable}};
}

std::filesystem::path FindDataFolder(const TDataFolder& folder, const TDataSearch& search)
{
    const std::vector<TDataPlace> places = DataPlaces(folder, search);
    for (const TDataPlace& place : places) {
        if (HoldsFolder(place.Dir, folder)) {
            return place.Dir;
        }
    }
    std::string text = folder.Marker.empty() ? FormatMessage(kMsgDataFolderNotFound, {folder.Name})
                                             : FormatMessage(kMsgDataFolderWithMarkerNotFound,
                                                             {folder.Name, folder.Marker});
    for (const TDataPlace& place : places) {
        text += "\n  " + PathToUtf8(place.Dir) + " (" + PlaceLabel(place, folder) + ")";
    }
    if (places.front().Kind == TPlaceKind::Installed) {
        text += "\n" + FormatMessage(kMsgDataFolderHint, {folder.Variable});
    }
    throw TFileError(text, std::make_error_code(std::errc::no_such_file_or_directory));
}

TDataSearch ProcessDataSearch(const TDataFolder& folder, std::optional<std::filesystem::path> given)
{
    TDataSearch search;
    search.Given = std::move(given);
    if (const char* value = std::getenv(std::string(folder.Variable).c_str())) {
        search.Environment = value;
    }
    search.ExeDir = GetExeDir();
    return search;
}

std::filesystem::path DefaultDefineDir(const std::optional<std::filesystem::path>& given)
{
    return FindDataFolder(kDefineFolder, ProcessDataSearch(kDefineFolder, given));
}

bool IsPortableLayout(const std::filesystem::path& exeDir)
{
    return HoldsFolder(exeDir / kDefineFolder.Name, kDefineFolder) &&
           !HoldsFolder(InstalledPlace(exeDir, kDefineFolder), kDefineFolder);
}

bool IsSystemFolder(const std::filesystem::path& dir)
{
    static constexpr std::array<std::string_view, 10> kSystemRoots{
        "/usr", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/etc", "/opt", "/var", "/boot"};
    std::error_code ec;
    std::filesystem::path full = std::filesystem::weakly_canonical(dir, ec);
    if (ec) {
        full = dir.lexically_normal();
    }
    const std::string text = full.string();
    for (const std::string_view root : kSystemRoots) {
        if (text.starts_with(root) && (text.size() == root.size() || text[root.size()] == '/')) {
            return true;
        }
    }
    return false;
}

} // namespace tolvane::base
