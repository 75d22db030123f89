// The POSIX side of the platform layer.
#include "base/uniPlatform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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
    if (::fstat(m_fd, &held) == 0 && ::lstat(m_path.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        ::unlink(m_path.c_str());
    }
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
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
