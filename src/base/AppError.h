// Errors of the converter: a Japanese message and the place (file, line) where it arose.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tolvane::base {

/// Base of every error the core raises. `Text()` is the message in UTF-8, in the runtime's
/// Japanese wording; `FileName()` and `LineNo()` say where it happened when that is known.
class TAppError : public std::runtime_error
{
public:
    explicit TAppError(std::string text);

    const std::string& Text() const noexcept { return m_text; }
    const std::string& FileName() const noexcept { return m_fileName; }
    /// 1-based line number; 0 when unknown.
    std::int64_t LineNo() const noexcept { return m_lineNo; }
    bool HasPlace() const noexcept { return !m_fileName.empty(); }

    /// Records where the error happened, unless a place was already recorded by a layer
    /// closer to the cause. `fileName` is a UTF-8 path.
    void SetPlace(const std::string& fileName, std::int64_t lineNo);
    /// Replaces the message, keeping the place.
    void SetText(std::string text);

    /// The text for a message box: the message, then a line naming file and line.
    std::string Describe() const;
    /// "file:line: message" (or only the message), for the terminal.
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    void Rebuild();

    std::string m_text;
    std::string m_fileName;
    std::int64_t m_lineNo = 0;
    std::string m_what;
};

/// Unreadable data: a number, a Boolean or a list index that is not what it must be.
class TDataError : public TAppError
{
public:
    using TAppError::TAppError;
};

/// A file that cannot be opened, read, written or closed.
class TFileError : public TAppError
{
public:
    TFileError(std::string text, std::error_code code);
    const std::error_code& Code() const noexcept { return m_code; }

    /// "ファイル "path" は開けません。reason。": the message, then the system's reason as a
    /// second sentence.
    static TFileError OpenFailed(const std::string& path, std::error_code code);
    static TFileError ReadFailed(const std::string& path, std::error_code code);
    static TFileError WriteFailed(const std::string& path, std::error_code code);

private:
    std::error_code m_code;
};

/// The text a window shows for `error`: Describe() of one of ours, what() of any other.
std::string DescribeError(const std::exception& error);

/// The system's reason for an error code, in Japanese where we know it, as a phrase without
/// the closing full stop.
std::string SystemReason(std::error_code code);

} // namespace tolvane::base
