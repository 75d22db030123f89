// What differs between operating systems, in one place: what a path names and its identity,
// putting a file in another's place, locks between writers, cancel signals, the terminal and the
// process id, files opened by path, the executable's path and the console. Everything else of the
// core reaches the system through the standard library or through these functions. Each system
// has its own uniPlatform<System>.cpp (Posix, Win) with these contracts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

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

/// `name` (one path component, or a whole path) as the file system compares names, as bytes:
/// unchanged where names are case-sensitive; upper-cased on Windows, whose names are not.
std::string NameKey(const std::filesystem::path& name);

/// True when `name` (one path component, UTF-8) names a device wherever it stands, without
/// being listed in any folder: on Windows "NUL", "CON", "COM1", "LPT1" … (also with an
/// extension); never elsewhere.
bool IsDeviceName(std::string_view name);

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
    bool IsLocked() const noexcept { return m_fd != -1; }

private:
    std::intptr_t m_fd = -1; ///< a descriptor, or on Windows a handle
    std::filesystem::path m_path;
};

/// A file opened by path and read or written as bytes (line ends are not translated), not
/// inherited by programs that this one starts. Every call reports the system's error instead of
/// raising; an interrupted call is repeated. Closed when the object goes.
class TFile
{
public:
    enum class TMode : std::uint8_t {
        Read,  ///< an existing file, to read; a folder is refused
        Write, ///< created, or emptied when it exists, to write
    };

    TFile() = default;
    ~TFile();
    TFile(TFile&& other) noexcept;
    TFile& operator=(TFile&& other) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    bool Open(const std::filesystem::path& path, TMode mode, std::error_code& error) noexcept;
    /// Reads up to `size` bytes: how many, 0 at the end, or -1 on an error.
    std::ptrdiff_t Read(char* data, std::size_t size, std::error_code& error) noexcept;
    /// Writes all `size` bytes.
    bool Write(const char* data, std::size_t size, std::error_code& error) noexcept;
    /// Goes back to the first byte.
    bool Rewind(std::error_code& error) noexcept;
    /// The size of a regular file; -1 for anything else.
    std::int64_t Size() const noexcept;
    /// Closes the file; false when the system reports that the data could not be written.
    bool Close(std::error_code& error) noexcept;
    bool IsOpen() const noexcept { return m_fd != -1; }

private:
    std::intptr_t m_fd = -1; ///< a descriptor, or on Windows a handle
};

/// CP932 bytes as UTF-8 through the system's converter (glibc iconv "CP932"; code page 932 of
/// Windows), or nothing when some byte sequence is no character. The systems differ in a few
/// codes: use base/uniCodePage, which makes them agree.
std::optional<std::string> SystemSjisToUtf8(std::string_view sjis);
/// UTF-8 as CP932 through the system's converter without best-fit substitutes, or nothing when
/// a character has no code or the text is not UTF-8.
std::optional<std::string> SystemUtf8ToSjis(std::string_view utf8);

/// The full path of the running program, or empty when the system cannot say.
std::filesystem::path ExecutablePath();

/// The id of this process.
std::uint64_t ProcessId() noexcept;

/// True when `stream` is a terminal (on Windows a console: not the NUL device, not a pipe).
bool IsTerminal(std::FILE* stream) noexcept;

/// The width in columns of the terminal of `stream`, or 0 when it is none or cannot say.
int TerminalWidth(std::FILE* stream) noexcept;

/// Prepares the standard streams for UTF-8 text: on Windows they pass bytes unchanged (no CR
/// before LF) and a console understands the escape sequences of a terminal; nothing elsewhere.
void PrepareStandardStreams() noexcept;

/// Writes UTF-8 `text` to `stream` (stdout or stderr). On a Windows console it goes through the
/// console's wide-character call, so that Japanese shows whatever the console's code page;
/// elsewhere, and when redirected, the bytes go out as they are.
void WriteText(std::FILE* stream, std::string_view text);

/// The arguments of this process as UTF-8, without the program's name: on POSIX `argv` of
/// main(); on Windows `argv` of wmain() (programs linked with -municode), so that no argument
/// passes through the ANSI code page.
#ifdef _WIN32
std::vector<std::string> ProgramArguments(int argc, wchar_t** argv);
#else
std::vector<std::string> ProgramArguments(int argc, char** argv);
#endif

/// True when the user's language, as the system knows it, is Japanese (for a process whose
/// environment names no locale).
bool SystemLanguageIsJapanese() noexcept;

/// From now on an interrupt (Ctrl+C, SIGINT) or a termination request (SIGTERM) does not end
/// the process: it is recorded, and CancelSignal() returns it, so that the running job stops at
/// its next pump point and cleans up. A second such signal ends the process at once. A signal
/// that the process was started with ignored (nohup, a background job) stays ignored. On
/// Windows Ctrl+C and Ctrl+Break count as SIGINT; closing the console window as SIGTERM.
void InstallCancelSignals();

/// The number of the first cancel signal received since InstallCancelSignals, or 0. Safe from
/// any thread.
int CancelSignal() noexcept;

} // namespace tolvane::base
