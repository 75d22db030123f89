// The checked GDAL file system.
#include "gdal/CheckedFiles.h"

#include <cerrno>
#include <cpl_vsi.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tolvane::gdal {

namespace {

// GDAL keeps the pointer, not a copy: the prefix must outlive the process's use of GDAL.
constexpr char kPrefix[] = "/vsitolvanechk/";
constexpr std::string_view kPrefixText = kPrefix;
constexpr std::size_t kFileBuffer = 256 * 1024;

struct TWatched
{
    std::mutex Mutex;
    std::map<std::string, std::shared_ptr<TIoErrors>, std::less<>> Files;
};

TWatched& Watched()
{
    static TWatched watched;
    return watched;
}

std::shared_ptr<TIoErrors> FindWatched(const std::string& path)
{
    TWatched& watched = Watched();
    const std::lock_guard lock(watched.Mutex);
    const auto found = watched.Files.find(path);
    return found != watched.Files.end() ? found->second : nullptr;
}

/// An open file: the stream, and where its errors go (nothing for a file nobody watches).
struct THandle
{
    std::FILE* File = nullptr;
    std::shared_ptr<TIoErrors> Errors;
    bool Writable = false;
    std::vector<char> Buffer;

    void Record(int error) const
    {
        if (Errors) {
            Errors->Record(error);
        }
    }
};

THandle* AsHandle(void* file)
{
    return static_cast<THandle*>(file);
}

// GDAL 3.6 hands the callbacks the name without the prefix; a later one might not.
std::string RealPath(const char* name)
{
    const std::string_view text(name);
    return text.starts_with(kPrefixText) ? std::string(text.substr(kPrefixText.size()))
                                         : std::string(text);
}

void* Open(void* /*userData*/, const char* name, const char* access)
{
    std::string mode;
    for (const char* c = access; *c != '\0'; ++c) {
        if (*c != 't') {
            mode.push_back(*c);
        }
    }
    const std::string path = RealPath(name);
    auto handle = std::make_unique<THandle>();
    handle->Errors = FindWatched(path);
    handle->Writable = !mode.empty() && (mode[0] != 'r' || mode.find('+') != std::string::npos);
    handle->File = std::fopen(path.c_str(), mode.c_str());
    if (handle->File == nullptr) {
        if (handle->Writable) {
            handle->Record(errno);
        }
        return nullptr;
    }
    if (handle->Writable) {
        handle->Buffer.resize(kFileBuffer);
        std::setvbuf(handle->File, handle->Buffer.data(), _IOFBF, handle->Buffer.size());
    }
    return handle.release();
}

int Stat(void* /*userData*/, const char* name, VSIStatBufL* stat, int /*flags*/)
{
    return ::stat64(RealPath(name).c_str(), stat);
}

int Unlink(void* /*userData*/, const char* name)
{
    return ::unlink(RealPath(name).c_str());
}

vsi_l_offset Tell(void* file)
{
    return static_cast<vsi_l_offset>(ftello(AsHandle(file)->File));
}

int Seek(void* file, vsi_l_offset offset, int whence)
{
    return fseeko(AsHandle(file)->File, static_cast<off_t>(offset), whence);
}

std::size_t Read(void* file, void* buffer, std::size_t size, std::size_t count)
{
    return std::fread(buffer, size, count, AsHandle(file)->File);
}

int Eof(void* file)
{
    return std::feof(AsHandle(file)->File);
}

std::size_t Write(void* file, const void* buffer, std::size_t size, std::size_t count)
{
    THandle* handle = AsHandle(file);
    const std::size_t written = std::fwrite(buffer, size, count, handle->File);
    if (written != count) {
        handle->Record(errno);
    }
    return written;
}

int Flush(void* file)
{
    THandle* handle = AsHandle(file);
    const int result = std::fflush(handle->File);
    if (result != 0) {
        handle->Record(errno);
    }
    return result;
}

int Truncate(void* file, vsi_l_offset size)
{
    THandle* handle = AsHandle(file);
    if (std::fflush(handle->File) != 0) {
        handle->Record(errno);
        return -1;
    }
    return ::ftruncate(fileno(handle->File), static_cast<off_t>(size));
}

int Close(void* file)
{
    const std::unique_ptr<THandle> handle(AsHandle(file));
    int result = 0;
    if (handle->Writable && std::fflush(handle->File) != 0) {
        handle->Record(errno);
        result = -1;
    }
    if (std::fclose(handle->File) != 0 && handle->Writable) {
        handle->Record(errno);
        result = -1;
    }
    return result;
}

void Install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        VSIFilesystemPluginCallbacksStruct* callbacks = VSIAllocFilesystemPluginCallbacksStruct();
        callbacks->open = Open;
        callbacks->stat = Stat;
        callbacks->unlink = Unlink;
        callbacks->tell = Tell;
        callbacks->seek = Seek;
        callbacks->read = Read;
        callbacks->eof = Eof;
        callbacks->write = Write;
        callbacks->flush = Flush;
        callbacks->truncate = Truncate;
        callbacks->close = Close;
        callbacks->nBufferSize = 0;
        VSIInstallPluginHandler(kPrefix, callbacks);
        VSIFreeFilesystemPluginCallbacksStruct(callbacks);
    });
}

} // namespace

void TIoErrors::Record(int error)
{
    const std::lock_guard lock(m_mutex);
    if (!m_failed.load(std::memory_order_relaxed)) {
        m_error = error != 0 ? error : EIO;
        m_failed.store(true, std::memory_order_relaxed);
    }
}

std::error_code TIoErrors::Code() const
{
    const std::lock_guard lock(m_mutex);
    return {m_error, std::generic_category()};
}

std::string CheckedName(const std::string& path)
{
    Install();
    return std::string(kPrefixText) + path;
}

std::shared_ptr<TIoErrors> WatchFile(const std::string& path)
{
    auto errors = std::make_shared<TIoErrors>();
    TWatched& watched = Watched();
    const std::lock_guard lock(watched.Mutex);
    watched.Files[path] = errors;
    return errors;
}

void UnwatchFile(const std::string& path) noexcept
{
    TWatched& watched = Watched();
    const std::lock_guard lock(watched.Mutex);
    watched.Files.erase(path);
}

} // namespace tolvane::gdal
