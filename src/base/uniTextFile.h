// Shift-JIS text files: the buffered line reader for sources, the CR LF writer for outputs,
// whole-file line lists and the streamed line count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/uniPlatform.h"

namespace tolvane::base {

class TProgress;

inline constexpr std::size_t kDefaultBlockSize = 64 * 1024;
inline constexpr std::size_t kWriteBufferSize = 1024 * 1024;
/// A source line longer than this is refused: a file without line breaks must not be able to
/// exhaust memory.
inline constexpr std::size_t kMaxLineLength = 64 * 1024 * 1024;
/// Files loaded whole (catalogue, definition files, batch-list files) may not be larger.
inline constexpr std::uintmax_t kMaxLoadedFileSize = 64 * 1024 * 1024;

/// Reads a source file line by line. A line ends at LF or CR LF; a CR not followed by LF is
/// dropped; a Ctrl-Z byte (0x1A) ends the file; reading past the end gives empty lines.
class TSjisLineReader
{
public:
    /// Opens `path` for reading; raises TFileError ("ファイル "…". … は開けません") when it
    /// cannot be opened or is a folder.
    explicit TSjisLineReader(const std::filesystem::path& path,
                             std::size_t blockSize = kDefaultBlockSize,
                             std::size_t maxLineLength = kMaxLineLength);
    ~TSjisLineReader();
    TSjisLineReader(const TSjisLineReader&) = delete;
    TSjisLineReader& operator=(const TSjisLineReader&) = delete;

    /// True when nothing is left before the end of the file or a Ctrl-Z.
    bool Eof();
    /// The next line without its line end. The view stays valid until the next read, rewind
    /// or close. Raises TFileError on a read error and TDataError on a line over the cap.
    std::string_view ReadLineView();
    /// The next line, copied into `line`.
    void ReadLine(std::string& line);
    /// Whole lines at the current position that each end in CR LF and hold no other CR or LF
    /// and no Ctrl-Z, with their line ends: bytes that ReadLineView and WriteLine would copy
    /// unchanged, as many as the buffer holds. Counts them as read. Empty when the next line is
    /// not such a line or not wholly in the buffer; ReadLineView reads it then. The view stays
    /// valid until the next read, rewind or close.
    std::string_view ReadCleanLines();
    /// Back to the first line.
    void Rewind();
    void Close() noexcept;

    /// Number of the line last read (1-based); 0 before the first read.
    std::int64_t LineNo() const noexcept { return m_lineNo; }
    /// The file's path as UTF-8, for messages.
    const std::string& FileName() const noexcept { return m_fileName; }

private:
    bool Fill();
    /// ReadLineView for a line that spans blocks or holds a lone CR or a Ctrl-Z.
    std::string_view ReadLineSlow();
    [[noreturn]] void ThrowTooLong();

    TFile m_file;
    std::string m_fileName;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_maxLine;
    bool m_atEnd = false; // end of file or Ctrl-Z reached
    std::int64_t m_lineNo = 0;
    std::string m_line;
};

/// Writes an output file through a buffer. Every line ends with CR LF. Raises TFileError when
/// the file cannot be created, or when a write or the close fails.
class TSjisWriter
{
public:
    /// Creates `path`, or truncates it when it exists.
    explicit TSjisWriter(const std::filesystem::path& path,
                         std::size_t bufferSize = kWriteBufferSize);
    /// Closes the file without reporting errors; call Close() to see them.
    ~TSjisWriter();
    TSjisWriter(const TSjisWriter&) = delete;
    TSjisWriter& operator=(const TSjisWriter&) = delete;

    void Write(std::string_view text);
    /// `text` followed by CR LF.
    void WriteLine(std::string_view text);
    /// Room for `n` bytes at the end of the buffer; Commit() says how many were used.
    char* Reserve(std::size_t n);
    void Commit(std::size_t n) noexcept { m_used += n; }
    /// Writes out the buffer.
    void Flush();
    /// Flushes and closes; raises TFileError when either fails. Closing twice does nothing.
    void Close();
    /// Closes without reporting errors (after an earlier failure).
    void Abandon() noexcept;
    bool IsOpen() const noexcept { return m_file.IsOpen(); }
    const std::string& FileName() const noexcept { return m_fileName; }

private:
    TFile m_file;
    std::string m_fileName;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

/// The lines of a whole file: breaks at CR LF, LF or CR; empty lines count; a final line break
/// adds no line. Raises TFileError when the file cannot be opened or read, or is larger than
/// kMaxLoadedFileSize.
std::vector<std::string> LoadLines(const std::filesystem::path& path);
/// LoadLines on bytes in memory.
std::vector<std::string> SplitLines(std::string_view text);

/// Number of lines by the rules of LoadLines (Ctrl-Z has no meaning), read as a stream. With
/// `progress`, raises TJobCancelled between blocks when its observer asks the job to stop.
std::int64_t CountLines(const std::filesystem::path& path,
                        std::size_t blockSize = kDefaultBlockSize, TProgress* progress = nullptr);

/// Writes `lines` to `path`, each followed by CR LF.
void SaveLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

} // namespace tolvane::base
