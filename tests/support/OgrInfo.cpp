// Running commands from tests, and ogrinfo.
#include "support/OgrInfo.h"

#include <cstdio>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "base/uniCodePage.h"

namespace tolvane::test {

TShellResult Shell(const std::string& command)
{
    TShellResult result;
#ifdef _WIN32
    FILE* pipe = ::_popen((command + " 2>&1").c_str(), "rb");
#else
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
#endif
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.Output.append(buffer, n);
    }
#ifdef _WIN32
    result.Status = ::_pclose(pipe); // the exit code
#else
    const int status = ::pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return result;
}

bool HaveOgrInfo()
{
    static const bool have = Shell("ogrinfo --version").Status == 0;
    return have;
}

TOgrRead ReadWithOgr(const std::filesystem::path& mif)
{
    const TShellResult shell =
        Shell("ogrinfo -ro -q -al -geom=SUMMARY -fields=NO \"" + base::PathToUtf8(mif) + "\"");
    TOgrRead read;
    read.Status = shell.Status;
    read.Output = shell.Output;
    std::istringstream lines(shell.Output);
    std::string line;
    bool inFeature = false;
    bool sawGeometry = false;
    auto endFeature = [&] {
        if (inFeature && !sawGeometry) {
            ++read.Geometries["NONE"];
        }
    };
    while (std::getline(lines, line)) {
        if (line.rfind("ERROR", 0) == 0) {
            read.Errors = true;
        }
        if (line.rfind("OGRFeature(", 0) == 0) {
            endFeature();
            ++read.Features;
            inFeature = true;
            sawGeometry = false;
        } else if (inFeature && line.rfind("  ", 0) == 0 && line.find(" : ") != std::string::npos &&
                   line.rfind("  Style", 0) != 0) {
            ++read.Geometries[line.substr(2, line.find(" : ") - 2)];
            sawGeometry = true;
        }
    }
    endFeature();
    return read;
}

std::size_t CountDelimitedValues(std::string_view row)
{
    std::size_t values = 1;
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '"') {
            if (quoted && i + 1 < row.size() && row[i + 1] == '"') {
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (row[i] == ',' && !quoted) {
            ++values;
        }
    }
    return values;
}

} // namespace tolvane::test
