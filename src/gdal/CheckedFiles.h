// Writes through GDAL that are checked: a small GDAL virtual file system that writes to the real
// path behind its prefix and keeps the first I/O error of each file. GDAL 3.6's GeoJSON writer
// ignores the results of its writes and of closing, so without it a full disk would pass unseen.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>

namespace tolvane::gdal {

/// The I/O errors of one file written through the checked file system.
class TIoErrors
{
public:
    /// Keeps the first error (an errno value).
    void Record(int error);
    bool Failed() const noexcept { return m_failed.load(std::memory_order_relaxed); }
    /// The first error.
    std::error_code Code() const;

private:
    mutable std::mutex m_mutex;
    std::atomic<bool> m_failed{false};
    int m_error = 0;
};

/// The checked file system: the GDAL name of `path` ("/vsitolvanechk/" + path). Installs
/// the file system on first use.
std::string CheckedName(const std::string& path);

/// Watches `path`: errors of the writes to it through the checked file system go to the result
/// until Unwatch. A path watched again gets a new record.
std::shared_ptr<TIoErrors> WatchFile(const std::string& path);
void UnwatchFile(const std::string& path) noexcept;

} // namespace tolvane::gdal
