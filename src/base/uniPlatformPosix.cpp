// The POSIX side of the platform layer.
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "base/uniPlatform.h"

namespace tolvane::base {

TFileStatus StatFile(const std::filesystem::path& path) noexcept
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    TFileStatus status;
    status.Id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    if (S_ISREG(st.st_mode)) {
        status.Kind = TFileKind::Regular;
    } else if (S_ISDIR(st.st_mode)) {
        status.Kind = TFileKind::Directory;
    } else if (S_ISCHR(st.st_mode)) {
        status.Kind = TFileKind::Device;
    } else if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
        status.Kind = TFileKind::Pipe;
    } else {
        status.Kind = TFileKind::Other;
    }
    return status;
}

std::string NameKey(const std::filesystem::path& name)
{
    return name.native();
}

bool IsDeviceName(std::string_view /*name*/)
{
    return false;
}

std::error_code ReplaceFile(const std::filesystem::path& from,
                            const std::filesystem::path& to) noexcept
{
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return {errno, std::generic_category()};
    }
    return {};
}

void CopyAccessRights(const std::filesystem::path& from, const std::filesystem::path& to) noexcept
{
    struct stat st
    {
    };
    if (::stat(from.c_str(), &st) == 0) {
        ::chmod(to.c_str(), st.st_mode & 07777);
    }
}

// ---------------------------------------------------------------------------------------------
// TFileLock
//
// flock() locks belong to the open file, so two opens conflict even within one process. The
// holder removes the lock file before it lets go; a claimant that got its lock on a file that
// has meanwhile been removed (or replaced) finds that the path no longer leads to its file and
// tries again.

TFileLock::~TFileLock()
{
    Unlock();
}

TFileLock::TFileLock(TFileLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path))
{
}

namespace {

int Fd(std::intptr_t fd)
{
    return static_cast<int>(fd);
}

} // namespace

TFileLock& TFileLock::operator=(TFileLock&& other) noexcept
{
    if (this != &other) {
        Unlock();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

TFileLock::TResult TFileLock::TryLock(const std::filesystem::path& lockFile, std::error_code& error)
{
    Unlock();
    error.clear();
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = -1;
        do {
            fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            error = {errno, std::generic_category()};
            return TResult::Failed;
        }
        int locked = -1;
        do {
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const int code = errno;
            ::close(fd);
            if (code == EWOULDBLOCK) {
                return TResult::Busy;
            }
            error = {code, std::generic_category()};
            return TResult::Failed;
        }
        struct stat held
        {
        };
        struct stat named
        {
        };
        if (::fstat(fd, &held) == 0 && ::lstat(lockFile.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_fd = fd;
            m_path = lockFile;
            return TResult::Locked;
        }
        ::close(fd);
    }
    error = std::make_error_code(std::errc::resource_unavailable_try_again);
    return TResult::Failed;
}

void TFileLock::Unlock() noexcept
{
    if (m_fd < 0) {
        return;
    }
    struct stat held
    {
    };
    struct stat named
    {
    };
    if (::fstat(Fd(m_fd), &held) == 0 && ::lstat(m_path.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        ::unlink(m_path.c_str());
    }
    ::close(Fd(m_fd));
    m_fd = -1;
    m_path.clear();
}

// ---------------------------------------------------------------------------------------------
// TFile

TFile::~TFile()
{
    if (m_fd != -1) {
        ::close(Fd(m_fd));
    }
}

TFile::TFile(TFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

TFile& TFile::operator=(TFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd != -1) {
            ::close(Fd(m_fd));
        }
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool TFile::Open(const std::filesystem::path& path, TMode mode, std::error_code& error) noexcept
{
    error.clear();
    if (m_fd != -1) {
        ::close(Fd(m_fd));
        m_fd = -1;
    }
    const int flags =
        mode == TMode::Read ? O_RDONLY | O_CLOEXEC : O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = {errno, std::generic_category()};
        return false;
    }
    struct stat st
    {
    };
    if (mode == TMode::Read && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    m_fd = fd;
    return true;
}

std::ptrdiff_t TFile::Read(char* data, std::size_t size, std::error_code& error) noexcept
{
    for (;;) {
        const ssize_t got = ::read(Fd(m_fd), data, size);
        if (got >= 0) {
            return got;
        }
        if (errno != EINTR) {
            error = {errno, std::generic_category()};
            return -1;
        }
    }
}

bool TFile::Write(const char* data, std::size_t size, std::error_code& error) noexcept
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(Fd(m_fd), data + done, size - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = {errno, std::generic_category()};
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool TFile::Rewind(std::error_code& error) noexcept
{
    if (::lseek(Fd(m_fd), 0, SEEK_SET) < 0) {
        error = {errno, std::generic_category()};
        return false;
    }
    return true;
}

std::int64_t TFile::Size() const noexcept
{
    struct stat st
    {
    };
    if (m_fd == -1 || ::fstat(Fd(m_fd), &st) != 0 || !S_ISREG(st.st_mode)) {
        return -1;
    }
    return static_cast<std::int64_t>(st.st_size);
}

bool TFile::Close(std::error_code& error) noexcept
{
    if (m_fd == -1) {
        return true;
    }
    const int fd = Fd(std::exchange(m_fd, -1));
    // After EINTR the descriptor is gone all the same (Linux), and nothing was lost.
    if (::close(fd) != 0 && errno != EINTR) {
        error = {errno, std::generic_category()};
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Code page 932 through iconv. The name "CP932" matches Windows on every double-byte code (NEC
// and IBM extensions, U+FF5E for 0x8160); "SHIFT_JIS" would turn 0x5C into a yen sign.

namespace {

class TIconv
{
public:
    TIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~TIconv()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    /// Converts all of `in`, or nothing at the first byte that does not convert.
    std::optional<std::string> Convert(std::string_view in)
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            return std::nullopt;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 3 + 16, '\0');
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::size_t used = 0;
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (rc != static_cast<std::size_t>(-1)) {
                continue;
            }
            if (errno != E2BIG) {
                return std::nullopt; // EILSEQ, or EINVAL for a lead byte at the very end
            }
            out.resize(out.size() * 2);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t m_cd;
};

} // namespace

// iconv descriptors keep state, so every thread gets its own.
std::optional<std::string> SystemSjisToUtf8(std::string_view sjis)
{
    thread_local TIconv cd("UTF-8", "CP932");
    return cd.Convert(sjis);
}

std::optional<std::string> SystemUtf8ToSjis(std::string_view utf8)
{
    thread_local TIconv cd("CP932", "UTF-8");
    return cd.Convert(utf8);
}

std::filesystem::path ExecutablePath()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    return exe;
}

// ---------------------------------------------------------------------------------------------
// Process

std::uint64_t ProcessId() noexcept
{
    return static_cast<std::uint64_t>(::getpid());
}

bool IsTerminal(std::FILE* stream) noexcept
{
    return ::isatty(::fileno(stream)) == 1;
}

int TerminalWidth(std::FILE* stream) noexcept
{
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0) {
        return size.ws_col;
    }
    return 0;
}

void PrepareStandardStreams() noexcept {}

void WriteText(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool SystemLanguageIsJapanese() noexcept
{
    return false; // the environment is the system's word on the language
}

namespace {

std::atomic<int> g_cancelSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");

extern "C" void OnCancelSignal(int signal)
{
    int expected = 0;
    if (!g_cancelSignal.compare_exchange_strong(expected, signal)) {
        // Asked twice: end at once, as the signal would have without us.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
}

} // namespace

void InstallCancelSignals()
{
    for (const int signal : {SIGINT, SIGTERM}) {
        // A signal ignored from the start (a background job of a shell, nohup) stays ignored.
        struct sigaction previous
        {
        };
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action
        {
        };
        action.sa_handler = &OnCancelSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}

int CancelSignal() noexcept
{
    return g_cancelSignal.load();
}

} // namespace tolvane::base
