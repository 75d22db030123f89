// The folder of the running executable and small path helpers.
#include "base/uniPaths.h"

#include <system_error>

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

std::filesystem::path DefaultDefineDir()
{
    return std::filesystem::path(GetExeDir()) / "Define";
}

} // namespace tolvane::base
