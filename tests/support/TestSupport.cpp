// Helpers shared by the tests.
#include "support/TestSupport.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#ifdef _WIN32
#include <windows.h>
#endif

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniPlatform.h"

namespace tolvane::test {

TTempDir::TTempDir()
{
    static std::atomic<int> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate = base / ("tolvane-test-" + std::to_string(base::ProcessId()) + "-" +
                                 std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            break;
        }
    }
}

std::filesystem::path TTempDir::operator/(std::string_view name) const
{
    return m_path / base::Utf8ToPath(name);
}

TTempDir::~TTempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link)
{
#ifdef _WIN32
    (void)target;
    (void)link;
    return false;
#else
    std::filesystem::create_symlink(target, link);
    return true;
#endif
}

std::filesystem::path NullDevice()
{
#ifdef _WIN32
    return "NUL";
#else
    return "/dev/null";
#endif
}

std::string Sjis(std::string_view utf8)
{
    return base::Utf8ToSjis(utf8);
}

std::string CrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

int CountOpenFds()
{
#ifdef _WIN32
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return static_cast<int>(count);
#else
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
#endif
}

std::filesystem::path TestDataDir()
{
    return TOLVANE_TEST_DATA_DIR;
}

std::filesystem::path SourceDir()
{
    return TOLVANE_SOURCE_DIR;
}

std::filesystem::path BinDir()
{
    return TOLVANE_BIN_DIR;
}

driver::TJobResult ConvertRecorded(const driver::TCatalogue& catalogue, std::int64_t itemIndex,
                                   const std::filesystem::path& srcFile,
                                   const std::filesystem::path& dstFile,
                                   shapes::TCoordSysIndex coordSys, TRecordingObserver& observer,
                                   std::span<const ksj::TConverterEntry> table)
{
    driver::TJobResult result =
        driver::ConvertDataItem(catalogue, itemIndex, srcFile, dstFile, coordSys, observer, table);
    if (result.Failure) {
        observer.Failures.emplace_back(result.Failure->what());
    }
    return result;
}

} // namespace tolvane::test
