// Shift-JIS text files.
#include "base/uniTextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/AppError.h"
#include "base/JobObserver.h"
#include "base/uniByteScan.h"
#include "base/uniMessages.h"

namespace tolvane::base {

namespace {

constexpr char kCtrlZ = '\x1A';

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

int OpenForReading(const std::filesystem::path& path)
{
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        throw TFileError::OpenFailed(path.string(), LastError());
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw TFileError::OpenFailed(path.string(),
                                     std::error_code(EISDIR, std::generic_category()));
    }
    return fd;
}

// read() that retries on EINTR; raises on errors.
std::size_t ReadSome(int fd, char* data, std::size_t size, const std::string& fileName)
{
    for (;;) {
        const ssize_t got = ::read(fd, data, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throw TFileError::ReadFailed(fileName, LastError());
        }
    }
}

void AppendWithoutCr(std::string& out, const char* data, std::size_t size)
{
    const char* end = data + size;
    while (data < end) {
        const auto* cr =
            static_cast<const char*>(std::memchr(data, '\r', static_cast<std::size_t>(end - data)));
        if (cr == nullptr) {
            out.append(data, end);
            return;
        }
        out.append(data, cr);
        data = cr + 1;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TSjisLineReader

TSjisLineReader::TSjisLineReader(const std::filesystem::path& path, std::size_t blockSize,
                                 std::size_t maxLineLength)
    : m_fileName(path.string()), m_buffer(blockSize == 0 ? 1 : blockSize), m_maxLine(maxLineLength)
{
    m_fd = OpenForReading(path);
}

TSjisLineReader::~TSjisLineReader()
{
    Close();
}

void TSjisLineReader::Close() noexcept
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_atEnd = true;
    m_pos = m_end = 0;
}

bool TSjisLineReader::Fill()
{
    if (m_atEnd || m_fd < 0) {
        return false;
    }
    m_pos = 0;
    m_end = ReadSome(m_fd, m_buffer.data(), m_buffer.size(), m_fileName);
    if (m_end == 0) {
        m_atEnd = true;
        return false;
    }
    return true;
}

bool TSjisLineReader::Eof()
{
    if (m_pos == m_end && !Fill()) {
        return true;
    }
    if (m_buffer[m_pos] == kCtrlZ) {
        m_atEnd = true;
        m_pos = m_end;
        return true;
    }
    return false;
}

void TSjisLineReader::ThrowTooLong()
{
    TDataError error(FormatMessage(kMsgLineTooLong, {std::to_string(m_maxLine)}));
    error.SetPlace(m_fileName, m_lineNo);
    throw error;
}

std::string_view TSjisLineReader::ReadLineView()
{
    ++m_lineNo;
    if (Eof()) {
        return {};
    }
    // The usual line lies whole in the buffer and ends in LF or CR LF, with no other CR and no
    // Ctrl-Z before its end: it is returned where it stands.
    const char* begin = m_buffer.data() + m_pos;
    const std::size_t avail = m_end - m_pos;
    const std::size_t stop = bytescan::FindLineStop(begin, avail);
    std::size_t next = 0;
    if (stop < avail) {
        if (begin[stop] == '\n') {
            next = stop + 1;
        } else if (begin[stop] == '\r' && stop + 1 < avail && begin[stop + 1] == '\n') {
            next = stop + 2;
        }
    }
    if (next != 0) {
        m_pos += next;
        if (stop > m_maxLine) {
            ThrowTooLong();
        }
        return {begin, stop};
    }
    return ReadLineSlow();
}

std::string_view TSjisLineReader::ReadLineSlow()
{
    bool carried = false;
    m_line.clear();
    for (;;) {
        const char* begin = m_buffer.data() + m_pos;
        const auto avail = m_end - m_pos;
        const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', avail));
        const std::size_t span = lf != nullptr ? static_cast<std::size_t>(lf - begin) : avail;
        const auto* eofMark = static_cast<const char*>(std::memchr(begin, kCtrlZ, span));
        if (eofMark != nullptr) {
            // Ctrl-Z ends the file in the middle of this line.
            AppendWithoutCr(m_line, begin, static_cast<std::size_t>(eofMark - begin));
            if (m_line.size() > m_maxLine) {
                ThrowTooLong();
            }
            m_atEnd = true;
            m_pos = m_end;
            return m_line;
        }
        if (lf != nullptr) {
            m_pos += span + 1;
            if (!carried && std::memchr(begin, '\r', span) == nullptr) {
                if (span > m_maxLine) {
                    ThrowTooLong();
                }
                return {begin, span};
            }
            AppendWithoutCr(m_line, begin, span);
            if (m_line.size() > m_maxLine) {
                ThrowTooLong();
            }
            return m_line;
        }
        // The line goes on in the next block.
        AppendWithoutCr(m_line, begin, avail);
        if (m_line.size() > m_maxLine) {
            ThrowTooLong();
        }
        carried = true;
        m_pos = m_end;
        if (!Fill()) {
            return m_line;
        }
    }
}

std::string_view TSjisLineReader::ReadCleanLines()
{
    // A line over the cap must still raise: leave small caps to ReadLineView.
    if (Eof() || m_maxLine < m_buffer.size()) {
        return {};
    }
    std::int64_t lines = 0;
    const char* begin = m_buffer.data() + m_pos;
    const std::size_t size = bytescan::MeasureCleanLines(begin, m_end - m_pos, lines);
    m_pos += size;
    m_lineNo += lines;
    return {begin, size};
}

void TSjisLineReader::ReadLine(std::string& line)
{
    const std::string_view view = ReadLineView();
    line.assign(view.data(), view.size());
}

void TSjisLineReader::Rewind()
{
    if (m_fd < 0) {
        return;
    }
    if (::lseek(m_fd, 0, SEEK_SET) < 0) {
        throw TFileError::ReadFailed(m_fileName, LastError());
    }
    m_pos = m_end = 0;
    m_atEnd = false;
    m_lineNo = 0;
}

// ---------------------------------------------------------------------------------------------
// TSjisWriter

TSjisWriter::TSjisWriter(const std::filesystem::path& path, std::size_t bufferSize)
    : m_fileName(path.string()), m_buffer(bufferSize < 64 ? 64 : bufferSize)
{
    do {
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        throw TFileError::OpenFailed(m_fileName, LastError());
    }
}

TSjisWriter::~TSjisWriter()
{
    Abandon();
}

void TSjisWriter::Flush()
{
    if (m_fd < 0) {
        throw TFileError::WriteFailed(m_fileName, std::error_code(EBADF, std::generic_category()));
    }
    std::size_t done = 0;
    while (done < m_used) {
        const ssize_t put = ::write(m_fd, m_buffer.data() + done, m_used - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            const std::error_code code = LastError();
            m_used = 0;
            throw TFileError::WriteFailed(m_fileName, code);
        }
        done += static_cast<std::size_t>(put);
    }
    m_used = 0;
}

char* TSjisWriter::Reserve(std::size_t n)
{
    if (m_buffer.size() - m_used < n) {
        Flush();
        if (m_buffer.size() < n) {
            m_buffer.resize(n);
        }
    }
    return m_buffer.data() + m_used;
}

void TSjisWriter::Write(std::string_view text)
{
    if (m_buffer.size() - m_used < text.size()) {
        Flush();
        if (text.size() >= m_buffer.size()) {
            // Larger than the buffer: write it straight through.
            std::size_t done = 0;
            while (done < text.size()) {
                const ssize_t put = ::write(m_fd, text.data() + done, text.size() - done);
                if (put < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    throw TFileError::WriteFailed(m_fileName, LastError());
                }
                done += static_cast<std::size_t>(put);
            }
            return;
        }
    }
    std::memcpy(m_buffer.data() + m_used, text.data(), text.size());
    m_used += text.size();
}

void TSjisWriter::WriteLine(std::string_view text)
{
    char* out = Reserve(text.size() + 2);
    std::memcpy(out, text.data(), text.size());
    out[text.size()] = '\r';
    out[text.size() + 1] = '\n';
    Commit(text.size() + 2);
}

void TSjisWriter::Close()
{
    if (m_fd < 0) {
        return;
    }
    try {
        Flush();
    } catch (...) {
        Abandon();
        throw;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        throw TFileError::WriteFailed(m_fileName, LastError());
    }
}

void TSjisWriter::Abandon() noexcept
{
    if (m_fd < 0) {
        return;
    }
    try {
        Flush();
    } catch (...) { // NOLINT(bugprone-empty-catch): the caller asked not to hear of it
    }
    ::close(m_fd);
    m_fd = -1;
    m_used = 0;
}

// ---------------------------------------------------------------------------------------------
// Whole files

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::vector<std::string> LoadLines(const std::filesystem::path& path)
{
    const int fd = OpenForReading(path);
    std::string content;
    try {
        struct stat st
        {
        };
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<std::uintmax_t>(st.st_size) > kMaxLoadedFileSize) {
            throw TFileError(FormatMessage(kMsgFileTooLarge,
                                           {path.string(), std::to_string(kMaxLoadedFileSize)}),
                             std::error_code(EFBIG, std::generic_category()));
        }
        char block[16384];
        for (;;) {
            const std::size_t got = ReadSome(fd, block, sizeof block, path.string());
            if (got == 0) {
                break;
            }
            if (content.size() + got > kMaxLoadedFileSize) {
                throw TFileError(FormatMessage(kMsgFileTooLarge,
                                               {path.string(), std::to_string(kMaxLoadedFileSize)}),
                                 std::error_code(EFBIG, std::generic_category()));
            }
            content.append(block, got);
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return SplitLines(content);
}

std::int64_t CountLines(const std::filesystem::path& path, std::size_t blockSize,
                        TProgress* progress)
{
    const int fd = OpenForReading(path);
    std::vector<char> block(blockSize == 0 ? 1 : blockSize);
    bytescan::TLineBreakCounter counter;
    try {
        for (;;) {
            if (progress != nullptr) {
                progress->CheckCancel();
            }
            const std::size_t got = ReadSome(fd, block.data(), block.size(), path.string());
            if (got == 0) {
                break;
            }
            counter.Feed(block.data(), got);
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return counter.Lines();
}

void SaveLines(const std::filesystem::path& path, const std::vector<std::string>& lines)
{
    TSjisWriter writer(path);
    for (const std::string& line : lines) {
        writer.WriteLine(line);
    }
    writer.Close();
}

} // namespace tolvane::base
