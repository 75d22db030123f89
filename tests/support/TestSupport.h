// Helpers shared by the tests: temporary folders, byte files, open descriptors, a recording
// observer and the place of the test data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "convert/JobObserver.h"

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
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
/// Text in UTF-8 as CP932 bytes (for test sources written in this file's encoding).
std::string Sjis(std::string_view utf8);
/// Lines joined with CR LF, each line ended.
std::string CrLf(const std::vector<std::string>& lines);

/// Number of open file descriptors of this process.
int CountOpenFds();

std::filesystem::path TestDataDir();
std::filesystem::path SourceDir();
std::filesystem::path BinDir();

/// Records what a job reports, in order.
class TRecordingObserver : public convert::TJobObserver
{
public:
    void SetStatusText(std::string_view text) override { Statuses.emplace_back(text); }
    void SetProgressMax(std::int64_t max) override { Maxima.push_back(max); }
    void SetProgressPos(std::int64_t pos) override { Positions.push_back(pos); }
    void ShowProgress(bool visible) override { Visibility.push_back(visible); }
    void ProcessEvents() override { ++EventPumps; }
    void JobFailed(const convert::TAppError& error) override;

    std::vector<std::string> Statuses;
    std::vector<std::int64_t> Maxima;
    std::vector<std::int64_t> Positions;
    std::vector<bool> Visibility;
    int EventPumps = 0;
    std::vector<std::string> Failures; ///< what() of every failure
};

} // namespace tolvane::test
