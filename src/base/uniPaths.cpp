// The folder of the running executable and small path helpers.
#include "base/uniPaths.h"

#include <algorithm>
#include <system_error>
#include <vector>

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

std::string IdKey(char tag, const TFileId& id)
{
    std::string key(1, tag);
    key.append(std::to_string(id.Device));
    key.push_back(':');
    key.append(std::to_string(id.Inode));
    return key;
}

std::string PathKey(const std::filesystem::path& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return "p" + (ec ? path : absolute).lexically_normal().string();
}

} // namespace

std::string TFileKeys::KeyOf(const std::filesystem::path& path, TFileKind* kind)
{
    const TFileStatus status = StatFile(path);
    if (kind != nullptr) {
        *kind = status.Kind;
    }
    if (status.Kind != TFileKind::Missing) {
        return IdKey('f', status.Id);
    }
    const std::filesystem::path name = path.filename();
    if (name.empty() || name == "." || name == "..") {
        return PathKey(path);
    }
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    auto [it, inserted] = m_folders.try_emplace(folder.native());
    if (inserted) {
        const TFileStatus folderStatus = StatFile(folder);
        it->second = folderStatus.Kind == TFileKind::Directory ? IdKey('d', folderStatus.Id)
                                                               : PathKey(folder);
    }
    std::string key = it->second;
    key.push_back('/');
    key.append(NameKey(name));
    return key;
}

bool IsPlainFileName(const std::filesystem::path& name)
{
    const std::string& text = name.native();
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

std::filesystem::path DefaultDefineDir()
{
    return std::filesystem::path(GetExeDir()) / "Define";
}

} // namespace tolvane::base
