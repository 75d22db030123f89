// Shared pieces of the fuzz targets.
#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace tolvane::fuzz {

const std::filesystem::path& ScratchDir()
{
    static const std::filesystem::path dir = [] {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        auto path = base / ("tolvane-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        // Gone when the process ends normally (a crash leaves it for the post-mortem). The
        // handler runs after this static is destroyed, so it keeps a copy of its own.
        static const auto* const kept = new std::filesystem::path(path);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(*kept, ec);
        });
        return path;
    }();
    return dir;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int CountOpenFds()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace tolvane::fuzz
