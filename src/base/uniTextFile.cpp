// Shift-JIS text files.
#include "base/uniTextFile.h"

#include <cstring>

#include "base/AppError.h"
#include "base/JobObserver.h"
#include "base/uniByteScan.h"
#include "base/uniCodePage.h"
#include "base/uniMessages.h"

namespace tolvane::base {

namespace {

constexpr char kCtrlZ = '\x1A';

TFile OpenForReading(const std::filesystem::path& path)
{
    TFile file;
    std::error_code error;
    if (!file.Open(path, TFile::TMode::Read, error)) {
        throw TFileError::OpenFailed(PathToUtf8(path), error);
    }
    return file;
}

// Raises on errors.
std::size_t ReadSome(TFile& file, char* data, std::size_t size, const std::string& fileName)
{
    std::error_code error;
    const std::ptrdiff_t got = file.Read(data, size, error);
    if (got < 0) {
        throw TFileError::ReadFailed(fileName, error);
    }
    return static_cast<std::size_t>(got);
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
    : m_fileName(PathToUtf8(path)), m_buffer(blockSize == 0 ? 1 : blockSize),
      m_maxLine(maxLineLength)
{
    m_file = OpenForReading(path);
}

TSjisLineReader::~TSjisLineReader()
{
    Close();
}

void TSjisLineReader::Close() noexcept
{
    std::error_code ignored;
    m_file.Close(ignored);
    m_atEnd = true;
    m_pos = m_end = 0;
}

bool TSjisLineReader::Fill()
{
    if (m_atEnd || !m_file.IsOpen()) {
        return false;
    }
    m_pos = 0;
    m_end = ReadSome(m_file, m_buffer.data(), m_buffer.size(), m_fileName);
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
    if (!m_file.IsOpen()) {
        return;
    }
    if (std::error_code error; !m_file.Rewind(error)) {
        throw TFileError::ReadFailed(m_fileName, error);
    }
    m_pos = m_end = 0;
    m_atEnd = false;
    m_lineNo = 0;
}

// ---------------------------------------------------------------------------------------------
// TSjisWriter

TSjisWriter::TSjisWriter(const std::filesystem::path& path, std::size_t bufferSize)
    : m_fileName(PathToUtf8(path)), m_buffer(bufferSize < 64 ? 64 : bufferSize)
{
    if (std::error_code error; !m_file.Open(path, TFile::TMode::Write, error)) {
        throw TFileError::OpenFailed(m_fileName, error);
    }
}

TSjisWriter::~TSjisWriter()
{
    Abandon();
}

void TSjisWriter::Flush()
{
    if (!m_file.IsOpen()) {
        throw TFileError::WriteFailed(m_fileName,
                                      std::make_error_code(std::errc::bad_file_descriptor));
    }
    std::error_code error;
    const bool written = m_file.Write(m_buffer.data(), m_used, error);
    m_used = 0;
    if (!written) {
        throw TFileError::WriteFailed(m_fileName, error);
    }
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
            if (std::error_code error; !m_file.Write(text.data(), text.size(), error)) {
                throw TFileError::WriteFailed(m_fileName, error);
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
    if (!m_file.IsOpen()) {
        return;
    }
    try {
        Flush();
    } catch (...) {
        Abandon();
        throw;
    }
    if (std::error_code error; !m_file.Close(error)) {
        throw TFileError::WriteFailed(m_fileName, error);
    }
}

void TSjisWriter::Abandon() noexcept
{
    if (!m_file.IsOpen()) {
        return;
    }
    try {
        Flush();
    } catch (...) { // NOLINT(bugprone-empty-catch): the caller asked not to hear of it
    }
    std::error_code ignored;
    m_file.Close(ignored);
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
    TFile file = OpenForReading(path);
    const std::string fileName = PathToUtf8(path);
    std::string content;
    auto tooLarge = [&fileName] {
        return TFileError(
            FormatMessage(kMsgFileTooLarge, {fileName, std::to_string(kMaxLoadedFileSize)}),
            std::make_error_code(std::errc::file_too_large));
    };
    if (const std::int64_t size = file.Size();
        size >= 0 && static_cast<std::uintmax_t>(size) > kMaxLoadedFileSize) {
        throw tooLarge();
    }
    char block[16384];
    for (;;) {
        const std::size_t got = ReadSome(file, block, sizeof block, fileName);
        if (got == 0) {
            break;
        }
        if (content.size() + got > kMaxLoadedFileSize) {
            throw tooLarge();
        }
        content.append(block, got);
    }
    return SplitLines(content);
}

std::int64_t CountLines(const std::filesystem::path& path, std::size_t blockSize,
                        TProgress* progress)
{
    TFile file = OpenForReading(path);
    const std::string fileName = PathToUtf8(path);
    std::vector<char> block(blockSize == 0 ? 1 : blockSize);
    bytescan::TLineBreakCounter counter;
    for (;;) {
        if (progress != nullptr) {
            progress->CheckCancel();
        }
        const std::size_t got = ReadSome(file, block.data(), block.size(), fileName);
        if (got == 0) {
            break;
        }
        counter.Feed(block.data(), got);
    }
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
