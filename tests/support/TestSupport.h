// Helpers shared by the tests: temporary folders, byte files, open descriptors, a recording
// observer and the place of the test data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/JobObserver.h"
#include "driver/ConvertDriver.h"

namespace tolvane::test {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempDir
{
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const noexcept { return m_path; }
    /// The path of `name` (UTF-8) in the folder.
    std::filesystem::path operator/(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
/// Text in UTF-8 as CP932 bytes (for test sources written in this file's encoding).
std::string Sjis(std::string_view utf8);
/// A symbolic link `link` to `target`; false where the system makes none for a test (Windows
/// asks for a privilege).
bool MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link);
/// The device that swallows what is written: "/dev/null", on Windows "NUL".
std::filesystem::path NullDevice();

/// Lines joined with CR LF, each line ended.
std::string CrLf(const std::vector<std::string>& lines);

/// Number of open file descriptors of this process (on Windows: of open handles).
int CountOpenFds();

std::filesystem::path TestDataDir();
std::filesystem::path SourceDir();
std::filesystem::path BinDir();

/// Records what a job reports, in order.
class TRecordingObserver : public base::TJobObserver
{
public:
    void SetStatusText(std::string_view text) override { Statuses.emplace_back(text); }
    void SetProgressMax(std::int64_t max) override { Maxima.push_back(max); }
    void SetProgressPos(std::int64_t pos) override { Positions.push_back(pos); }
    void ShowProgress(bool visible) override { Visibility.push_back(visible); }
    void ProcessEvents() override { ++EventPumps; }
    /// Asks to stop once CancelAfterPumps pumps have run (never when negative).
    bool CancelRequested() override
    {
        return CancelAfterPumps >= 0 && EventPumps >= CancelAfterPumps;
    }

    std::vector<std::string> Statuses;
    std::vector<std::int64_t> Maxima;
    std::vector<std::int64_t> Positions;
    std::vector<bool> Visibility;
    int EventPumps = 0;
    int CancelAfterPumps = -1;
    std::vector<std::string> Failures; ///< what() of every failure
};

/// ConvertDataItem, with the what() of a failure added to `observer.Failures`.
driver::TJobResult
ConvertRecorded(const driver::TCatalogue& catalogue, std::int64_t itemIndex,
                const std::filesystem::path& srcFile, const std::filesystem::path& dstFile,
                shapes::TCoordSysIndex coordSys, TRecordingObserver& observer,
                std::span<const ksj::TConverterEntry> table = ksj::kConverterTable);

} // namespace tolvane::test
