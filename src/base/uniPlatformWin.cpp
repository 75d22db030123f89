// The Windows side of the platform layer (built with MinGW-w64; tested under wine). Paths go to
// the system as UTF-16 ("W" calls); errors are the system's codes (std::system_category()),
// whose portable meaning default_error_condition() gives.
#include <windows.h>

#include "base/uniPlatform.h"
#undef ReplaceFile // ours, not the Windows call

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <io.h>
#include <limits>
#include <utility>

#include "base/uniCodePage.h"

namespace tolvane::base {

namespace {

std::error_code LastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle); // NOLINT(performance-no-int-to-ptr)
}

std::intptr_t Stored(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

constexpr std::intptr_t kNoHandle = -1; // INVALID_HANDLE_VALUE

std::wstring Wide(std::string_view utf8)
{
    const std::u16string wide = Utf8ToUtf16(utf8);
    return {wide.begin(), wide.end()};
}

std::string Utf8(std::wstring_view wide)
{
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

// Opens `path` to ask about it, not to read it; follows links and opens folders too.
HANDLE OpenForQuery(const std::filesystem::path& path)
{
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

TFileId IdOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// What an open handle is.
TFileStatus StatusOf(HANDLE handle, const std::filesystem::path& path)
{
    TFileStatus status;
    switch (::GetFileType(handle)) {
    case FILE_TYPE_DISK: {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle, &info)) {
            return {};
        }
        status.Kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TFileKind::Directory
                                                                              : TFileKind::Regular;
        status.Id = IdOf(info);
        return status;
    }
    case FILE_TYPE_CHAR:
        status.Kind = TFileKind::Device;
        break;
    case FILE_TYPE_PIPE:
        status.Kind = TFileKind::Pipe;
        break;
    default:
        status.Kind = TFileKind::Other;
        break;
    }
    // Devices and pipes have no file index: their names tell them apart.
    status.Id = {std::numeric_limits<std::uint64_t>::max(),
                 std::hash<std::string>{}(NameKey(path))};
    return status;
}

} // namespace

TFileStatus StatFile(const std::filesystem::path& path) noexcept
{
    try {
        const HANDLE handle = OpenForQuery(path);
        if (handle == INVALID_HANDLE_VALUE) {
            return {};
        }
        const TFileStatus status = StatusOf(handle, path);
        ::CloseHandle(handle);
        return status;
    } catch (...) {
        return {};
    }
}

std::string NameKey(const std::filesystem::path& name)
{
    // File systems of Windows compare names without regard to case, by a fixed table.
    std::wstring upper = name.native();
    if (!upper.empty()) {
        const int size =
            ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, upper.data(),
                            static_cast<int>(upper.size()), nullptr, 0, nullptr, nullptr, 0);
        if (size > 0) {
            std::wstring mapped(static_cast<std::size_t>(size), L'\0');
            ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, upper.data(),
                            static_cast<int>(upper.size()), mapped.data(), size, nullptr, nullptr,
                            0);
            upper = std::move(mapped);
        }
    }
    return Utf8(upper);
}

bool IsDeviceName(std::string_view name)
{
    // The part before the first dot, without trailing blanks, in any case.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (char& c : stem) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
        stem == "CONOUT$") {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

std::error_code ReplaceFile(const std::filesystem::path& from,
                            const std::filesystem::path& to) noexcept
{
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return LastError();
    }
    return {};
}

void CopyAccessRights(const std::filesystem::path& /*from*/,
                      const std::filesystem::path& /*to*/) noexcept
{
    // The new file has the rights that its folder passes on to every new file; a read-only
    // file is not replaced at all (MoveFileExW refuses it).
}

// ---------------------------------------------------------------------------------------------
// TFileLock
//
// LockFileEx locks belong to the handle, so two opens conflict even within one process. The
// holder deletes the lock file through its handle before it lets go; while the deletion is
// pending the name cannot be opened (access denied), and a claimant that got its lock on a file
// that has meanwhile been deleted finds that the path no longer leads to its file and tries
// again. A lock file left by a killed process is not locked and is taken over.

TFileLock::~TFileLock()
{
    Unlock();
}

TFileLock::TFileLock(TFileLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, kNoHandle)), m_path(std::move(other.m_path))
{
}

TFileLock& TFileLock::operator=(TFileLock&& other) noexcept
{
    if (this != &other) {
        Unlock();
        m_fd = std::exchange(other.m_fd, kNoHandle);
        m_path = std::move(other.m_path);
    }
    return *this;
}

TFileLock::TResult TFileLock::TryLock(const std::filesystem::path& lockFile, std::error_code& error)
{
    Unlock();
    error.clear();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const HANDLE handle = ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = LastError();
            if (error.value() == ERROR_ACCESS_DENIED) {
                // Most likely being deleted by its holder, who lets go in a moment.
                ::Sleep(attempt < 10 ? 0 : 1);
                continue;
            }
            return TResult::Failed;
        }
        OVERLAPPED whole{};
        if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                          &whole)) {
            const std::error_code code = LastError();
            ::CloseHandle(handle);
            if (code.value() == ERROR_LOCK_VIOLATION || code.value() == ERROR_IO_PENDING) {
                error.clear();
                return TResult::Busy;
            }
            error = code;
            return TResult::Failed;
        }
        BY_HANDLE_FILE_INFORMATION held{};
        if (::GetFileInformationByHandle(handle, &held)) {
            const TFileStatus named = StatFile(lockFile);
            if (named.Kind == TFileKind::Regular && named.Id == IdOf(held)) {
                m_fd = Stored(handle);
                m_path = lockFile;
                error.clear();
                return TResult::Locked;
            }
        }
        ::CloseHandle(handle);
        error.clear();
    }
    if (!error) {
        error = std::make_error_code(std::errc::resource_unavailable_try_again);
    }
    return TResult::Failed;
}

void TFileLock::Unlock() noexcept
{
    if (m_fd == kNoHandle) {
        return;
    }
    const HANDLE handle = Handle(m_fd);
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    ::SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose);
    ::CloseHandle(handle);
    m_fd = kNoHandle;
    m_path.clear();
}

// ---------------------------------------------------------------------------------------------
// TFile

TFile::~TFile()
{
    if (m_fd != kNoHandle) {
        ::CloseHandle(Handle(m_fd));
    }
}

TFile::TFile(TFile&& other) noexcept : m_fd(std::exchange(other.m_fd, kNoHandle)) {}

TFile& TFile::operator=(TFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd != kNoHandle) {
            ::CloseHandle(Handle(m_fd));
        }
        m_fd = std::exchange(other.m_fd, kNoHandle);
    }
    return *this;
}

bool TFile::Open(const std::filesystem::path& path, TMode mode, std::error_code& error) noexcept
{
    error.clear();
    if (m_fd != kNoHandle) {
        ::CloseHandle(Handle(m_fd));
        m_fd = kNoHandle;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (mode == TMode::Read) {
        handle = ::CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    } else {
        handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastError();
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            error = std::make_error_code(std::errc::is_a_directory);
        }
        return false;
    }
    m_fd = Stored(handle);
    return true;
}

std::ptrdiff_t TFile::Read(char* data, std::size_t size, std::error_code& error) noexcept
{
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1U << 30));
    DWORD got = 0;
    if (!::ReadFile(Handle(m_fd), data, chunk, &got, nullptr)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) {
            return 0; // the writer of a pipe is gone: its end
        }
        error = {static_cast<int>(code), std::system_category()};
        return -1;
    }
    return static_cast<std::ptrdiff_t>(got);
}

bool TFile::Write(const char* data, std::size_t size, std::error_code& error) noexcept
{
    std::size_t done = 0;
    while (done < size) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1U << 30));
        DWORD put = 0;
        if (!::WriteFile(Handle(m_fd), data + done, chunk, &put, nullptr)) {
            error = LastError();
            return false;
        }
        done += put;
    }
    return true;
}

bool TFile::Rewind(std::error_code& error) noexcept
{
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(Handle(m_fd), start, nullptr, FILE_BEGIN)) {
        error = LastError();
        return false;
    }
    return true;
}

std::int64_t TFile::Size() const noexcept
{
    LARGE_INTEGER size{};
    if (m_fd == kNoHandle || ::GetFileType(Handle(m_fd)) != FILE_TYPE_DISK ||
        !::GetFileSizeEx(Handle(m_fd), &size)) {
        return -1;
    }
    return size.QuadPart;
}

bool TFile::Close(std::error_code& error) noexcept
{
    if (m_fd == kNoHandle) {
        return true;
    }
    if (!::CloseHandle(Handle(std::exchange(m_fd, kNoHandle)))) {
        error = LastError();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Code page 932: Windows' own tables, strictly (no best-fit substitutes, no default character).

std::optional<std::string> SystemSjisToUtf8(std::string_view sjis)
{
    if (sjis.empty()) {
        return std::string();
    }
    if (sjis.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2)) {
        return std::nullopt;
    }
    const int length = static_cast<int>(sjis.size());
    const int units =
        ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, sjis.data(), length, nullptr, 0);
    if (units <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, sjis.data(), length, wide.data(), units);
    return Utf8(wide);
}

std::optional<std::string> SystemUtf8ToSjis(std::string_view utf8)
{
    const std::optional<std::u16string> utf16 = TryUtf8ToUtf16(utf8);
    if (!utf16) {
        return std::nullopt;
    }
    if (utf16->empty()) {
        return std::string();
    }
    if (utf16->size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2)) {
        return std::nullopt;
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(utf16->data());
    const int length = static_cast<int>(utf16->size());
    BOOL usedDefault = FALSE;
    const int bytes = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                            nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, length, out.data(), bytes, nullptr,
                          &usedDefault);
    if (usedDefault) {
        return std::nullopt;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Process

std::filesystem::path ExecutablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return {buffer};
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::uint64_t ProcessId() noexcept
{
    return ::GetCurrentProcessId();
}

namespace {

HANDLE StreamHandle(std::FILE* stream)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream))); // NOLINT
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

} // namespace

bool IsTerminal(std::FILE* stream) noexcept
{
    return IsConsole(StreamHandle(stream));
}

int TerminalWidth(std::FILE* stream) noexcept
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(StreamHandle(stream), &info)) {
        return 0;
    }
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void PrepareStandardStreams() noexcept
{
    for (std::FILE* stream : {stdout, stderr}) {
        std::fflush(stream);
        ::_setmode(::_fileno(stream), _O_BINARY);
        const HANDLE handle = StreamHandle(stream);
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode)) {
            ::SetConsoleMode(handle,
                             mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        }
    }
}

void WriteText(std::FILE* stream, std::string_view text)
{
    const HANDLE handle = StreamHandle(stream);
    if (!IsConsole(handle)) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    std::fflush(stream);
    const std::wstring wide = Wide(text);
    std::size_t done = 0;
    while (done < wide.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
        DWORD written = 0;
        if (!::WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) ||
            written == 0) {
            return;
        }
        done += written;
    }
}

std::vector<std::string> ProgramArguments(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(Utf8(argv[i]));
    }
    return args;
}

bool SystemLanguageIsJapanese() noexcept
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

// ---------------------------------------------------------------------------------------------
// Cancel: Ctrl+C and Ctrl+Break as SIGINT, closing the console, logging off and shutting down
// as SIGTERM. The handler runs on a thread of its own.

namespace {

std::atomic<int> g_cancelSignal{0};

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    int expected = 0;
    if (!g_cancelSignal.compare_exchange_strong(expected, interrupt ? SIGINT : SIGTERM)) {
        return FALSE; // asked twice: the default, which ends the process at once
    }
    if (!interrupt) {
        // The process ends when this returns: give the job a few seconds to stop and clean up.
        ::Sleep(4000);
    }
    return TRUE;
}

} // namespace

void InstallCancelSignals()
{
    // Ctrl+C that the process was started ignoring (a program started in a new process group)
    // never reaches the handler, and so stays ignored.
    ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

int CancelSignal() noexcept
{
    return g_cancelSignal.load();
}

} // namespace tolvane::base
