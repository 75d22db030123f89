// What differs between operating systems, in one place: what a path names and its identity,
// putting a file in another's place, locks between writers, cancel signals, the terminal and the
// process id. Everything else of the core reaches the system through the standard library or
// through these functions; a port replaces uniPlatform.cpp and keeps these contracts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace tolvane::base {

/// What a path names, following symbolic links.
enum class TFileKind : std::uint8_t {
    Missing,   ///< nothing there, or it cannot be looked up
    Regular,   ///< a file
    Directory, ///< a folder
    Device,    ///< a character device (a terminal, /dev/null): read and written in place
    Pipe,      ///< a named pipe (FIFO) or a socket
    Other,     ///< a block device or anything else
};

/// The identity of a file: equal for every path that reaches the same file, through links or
/// other spellings (on POSIX the device and inode numbers).
struct TFileId
{
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;

    bool operator==(const TFileId&) const = default;
};

struct TFileStatus
{
    TFileKind Kind = TFileKind::Missing;
    TFileId Id; ///< meaningful unless Kind is Missing
};

/// Looks `path` up, following symbolic links. Never raises.
TFileStatus StatFile(const std::filesystem::path& path) noexcept;

/// `name` (one path component) as the file system compares names: unchanged where names are
/// case-sensitive.
std::string NameKey(const std::filesystem::path& name);

/// Puts the file `from` in the place of `to` (both in one folder), replacing `to` in one step:
/// there is no moment without a file at `to`. Returns the system's error.
std::error_code ReplaceFile(const std::filesystem::path& from,
                            const std::filesystem::path& to) noexcept;

/// Gives `to` the access rights of the existing file `from`, as far as the system allows.
void CopyAccessRights(const std::filesystem::path& from, const std::filesystem::path& to) noexcept;

/// An exclusive claim on a lock file, between processes and between threads of one process
/// alike. The claim ends when the object goes or the process ends, however it ends; the lock
/// file is removed when the claim ends normally (one left by a killed process is taken over).
class TFileLock
{
public:
    enum class TResult : std::uint8_t {
        Locked, ///< the claim is ours
        Busy,   ///< someone else holds it
        Failed, ///< the lock file cannot be created (the error says why)
    };

    TFileLock() = default;
    ~TFileLock();
    TFileLock(TFileLock&& other) noexcept;
    TFileLock& operator=(TFileLock&& other) noexcept;
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    /// Tries once to claim `lockFile`, creating it when missing; never waits.
    TResult TryLock(const std::filesystem::path& lockFile, std::error_code& error);
    /// Ends the claim and removes the lock file.
    void Unlock() noexcept;
    bool IsLocked() const noexcept { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::filesystem::path m_path;
};

/// The id of this process.
std::uint64_t ProcessId() noexcept;

/// True when `stream` is a terminal.
bool IsTerminal(std::FILE* stream) noexcept;

/// From now on an interrupt (Ctrl+C, SIGINT) or a termination request (SIGTERM) does not end
/// the process: it is recorded, and CancelSignal() returns it, so that the running job stops at
/// its next pump point and cleans up. A second such signal ends the process at once. A signal
/// that the process was started with ignored (nohup, a background job) stays ignored.
void InstallCancelSignals();

/// The number of the first cancel signal received since InstallCancelSignals, or 0. Safe from
/// any thread.
int CancelSignal() noexcept;

} // namespace tolvane::base
