// The folder of the running executable, the places of the data folders and small path helpers.
#include "base/uniPaths.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"

namespace tolvane::base {

std::filesystem::path GetExePath()
{
    return ExecutablePath();
}

bool IsPathSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::size_t FileNameStart(std::string_view path)
{
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\");
    if (separator != std::string_view::npos) {
        return separator + 1;
    }
    // "C:name" is "name" in the current folder of drive C.
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive ? 2 : 0;
#else
    const std::size_t separator = path.rfind('/');
    return separator == std::string_view::npos ? 0 : separator + 1;
#endif
}

std::string ExtractFileDir(std::string_view path)
{
    return std::string(path.substr(0, FileNameStart(path)));
}

std::string GetExeDir()
{
    std::string dir = ExtractFileDir(PathToUtf8(GetExePath()));
    if (!dir.empty() && FileNameStart(dir) != dir.size()) {
        dir.push_back('/');
    }
    return dir;
}

std::string ExtractBaseName(std::string_view path)
{
    std::string_view name = path.substr(FileNameStart(path));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext)
{
    const std::size_t nameStart = FileNameStart(path);
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
    return Utf8ToPath(ChangeFileExt(std::string_view(PathToUtf8(path)), ext));
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const TFileStatus sa = StatFile(a);
    const TFileStatus sb = StatFile(b);
    if (sa.Kind != TFileKind::Missing && sb.Kind != TFileKind::Missing) {
        return sa.Id == sb.Id;
    }
    std::error_code ec;
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    if (ec) {
        return a == b;
    }
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    if (ec) {
        return a == b;
    }
    return NameKey(ca) == NameKey(cb);
}

namespace {

// A file's identity as a key: the tag and the two numbers' bytes.
std::string IdKey(char tag, const TFileId& id)
{
    std::string key(1 + sizeof id.Device + sizeof id.Inode, tag);
    std::memcpy(key.data() + 1, &id.Device, sizeof id.Device);
    std::memcpy(key.data() + 1 + sizeof id.Device, &id.Inode, sizeof id.Inode);
    return key;
}

std::string PathKey(const std::filesystem::path& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    std::filesystem::path normal = (ec ? path : absolute).lexically_normal();
    if (!normal.has_filename() && normal != normal.root_path()) {
        normal = normal.parent_path(); // "no/." is "no/", which is "no"
    }
    return "p" + NameKey(normal);
}

} // namespace

const TFileKeys::TFolder& TFileKeys::Folder(const std::string& folder)
{
    auto [it, inserted] = m_folders.try_emplace(folder);
    TFolder& entry = it->second;
    if (!inserted) {
        return entry;
    }
    const std::filesystem::path folderPath = Utf8ToPath(folder);
    const TFileStatus status = StatFile(folderPath);
    if (status.Kind != TFileKind::Directory) {
        entry.Key = PathKey(folderPath);
        return entry;
    }
    entry.Key = IdKey('d', status.Id);
    // The names once, so that a name that is not there needs no look-up of its own.
    std::error_code ec;
    std::filesystem::directory_iterator names(folderPath, ec);
    for (; !ec && names != std::filesystem::directory_iterator(); names.increment(ec)) {
        entry.Names.insert(NameKey(names->path().filename()));
    }
    entry.Listed = !ec;
    if (ec) {
        entry.Names.clear();
    }
    return entry;
}

std::string TFileKeys::KeyOf(const std::filesystem::path& path, TFileKind* kind)
{
    const std::string text = PathToUtf8(path);
    const std::size_t nameStart = FileNameStart(text);
    const std::string_view name = std::string_view(text).substr(nameStart);
    TFileStatus status;
    std::string key;
    if (name.empty() || name == "." || name == "..") {
        status = StatFile(path);
        key = status.Kind != TFileKind::Missing ? IdKey('f', status.Id) : PathKey(path);
    } else {
        // The folder as written, without the separator after it unless it is the root.
        std::string folderText = text.substr(0, nameStart);
        if (folderText.empty()) {
            folderText = ".";
        } else if (IsPathSeparator(folderText.back()) && folderText.size() > 1 &&
                   folderText[folderText.size() - 2] != ':') {
            folderText.pop_back();
        }
        const TFolder& folder = Folder(folderText);
        const std::string nameKey = NameKey(Utf8ToPath(name));
        if (!folder.Listed || folder.Names.contains(nameKey) || IsDeviceName(name)) {
            status = StatFile(path);
        }
        if (status.Kind != TFileKind::Missing) {
            key = IdKey('f', status.Id);
        } else {
            key.reserve(folder.Key.size() + 1 + nameKey.size());
            key.append(folder.Key);
            key.push_back('/');
            key.append(nameKey);
        }
    }
    if (kind != nullptr) {
        *kind = status.Kind;
    }
    return key;
}

bool IsPlainFileName(const std::filesystem::path& name)
{
    const std::string text = PathToUtf8(name);
    if (text.empty()) {
        return true;
    }
    return text != "." && text != ".." && text.find_first_of("/\\:") == std::string::npos;
}

namespace {

char UpperChar(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether `text` can begin a name that `pattern` matches: the pattern positions reachable
// after `text` are followed; any position left can still be completed by some further text.
bool PatternCanBegin(std::string_view pattern, std::string_view text)
{
    std::vector<bool> states(pattern.size() + 1, false);
    std::vector<bool> next(pattern.size() + 1, false);
    auto close = [&pattern](std::vector<bool>& set) {
        for (std::size_t p = 0; p < pattern.size(); ++p) {
            if (set[p] && pattern[p] == '*') {
                set[p + 1] = true;
            }
        }
    };
    states[0] = true;
    close(states);
    for (const char c : text) {
        std::fill(next.begin(), next.end(), false);
        bool any = false;
        for (std::size_t p = 0; p < pattern.size(); ++p) {
            if (!states[p]) {
                continue;
            }
            if (pattern[p] == '*') {
                next[p] = true;
                any = true;
            } else if (pattern[p] == '?' || UpperChar(pattern[p]) == UpperChar(c)) {
                next[p + 1] = true;
                any = true;
            }
        }
        if (!any) {
            return false;
        }
        close(next);
        states.swap(next);
    }
    return true;
}

} // namespace

bool MaskCanBegin(std::string_view mask, std::string_view text)
{
    for (;;) {
        const std::size_t end = mask.find(';');
        std::string_view one = mask.substr(0, end);
        const std::size_t slash = one.find_last_of("/\\");
        if (slash != std::string_view::npos) {
            one.remove_prefix(slash + 1);
        }
        while (!one.empty() && one.front() == ' ') {
            one.remove_prefix(1);
        }
        if (one.empty() || PatternCanBegin(one, text)) {
            return true;
        }
        if (end == std::string_view::npos) {
            return false;
        }
        mask.remove_prefix(end + 1);
    }
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
           std::filesystem::is_regular_file(dir / Utf8ToPath(folder.Marker), ec);
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
    search.ExeDir = Utf8ToPath(GetExeDir());
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
