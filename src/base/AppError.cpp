// Errors of the converter.
#include "base/AppError.h"

#include <cerrno>

#include "base/uniMessages.h"

namespace tolvane::base {

TAppError::TAppError(std::string text) : std::runtime_error(text), m_text(std::move(text))
{
    Rebuild();
}

void TAppError::SetPlace(const std::string& fileName, std::int64_t lineNo)
{
    if (HasPlace() || fileName.empty()) {
        return;
    }
    m_fileName = fileName;
    m_lineNo = lineNo;
    Rebuild();
}

void TAppError::SetText(std::string text)
{
    m_text = std::move(text);
    Rebuild();
}

std::string TAppError::Describe() const
{
    if (!HasPlace()) {
        return m_text;
    }
    std::string place = m_fileName;
    if (m_lineNo > 0) {
        place = FormatMessage(kMsgPlaceWithLine, {m_fileName, std::to_string(m_lineNo)});
    } else {
        place = FormatMessage(kMsgPlace, {m_fileName});
    }
    return m_text + "\n" + place;
}

void TAppError::Rebuild()
{
    if (!HasPlace()) {
        m_what = m_text;
    } else if (m_lineNo > 0) {
        m_what = m_fileName + ":" + std::to_string(m_lineNo) + ": " + m_text;
    } else {
        m_what = m_fileName + ": " + m_text;
    }
}

TFileError::TFileError(std::string text, std::error_code code)
    : TAppError(std::move(text)), m_code(code)
{
}

namespace {

// The system's reason as a sentence that follows the message: closed with the full stop of the
// current language.
std::string ReasonSentence(std::error_code code)
{
    std::string reason = SystemReason(code);
    const std::string_view stop = MessageLanguage() == TLanguage::English ? "." : "。";
    if (!reason.empty() && !reason.ends_with(stop) && !reason.ends_with(".")) {
        reason += stop;
    }
    return reason;
}

} // namespace

TFileError TFileError::OpenFailed(const std::string& path, std::error_code code)
{
    return TFileError(FormatMessage(kMsgFileOpenError, {path, ReasonSentence(code)}), code);
}

TFileError TFileError::ReadFailed(const std::string& path, std::error_code code)
{
    return TFileError(FormatMessage(kMsgFileReadError, {path, ReasonSentence(code)}), code);
}

TFileError TFileError::WriteFailed(const std::string& path, std::error_code code)
{
    return TFileError(FormatMessage(kMsgFileWriteError, {path, ReasonSentence(code)}), code);
}

std::string DescribeError(const std::exception& error)
{
    if (const auto* ours = dynamic_cast<const TAppError*>(&error)) {
        return ours->Describe();
    }
    return error.what();
}

std::string SystemReason(std::error_code code)
{
    // The portable meaning of the code (on Windows a system error code is no errno value).
    const std::error_condition condition = code.default_error_condition();
    const bool portable = condition.category() == std::generic_category();
    if (MessageLanguage() == TLanguage::English) {
        return portable ? std::generic_category().message(condition.value()) : code.message();
    }
    if (portable) {
        switch (condition.value()) {
        case ENOENT:
            return "指定されたファイルが見つかりません";
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました";
        case EISDIR:
            return "フォルダーはファイルとして開けません";
        case ENOSPC:
            return "ディスクに十分な空き領域がありません";
        case EROFS:
            return "読み取り専用のファイルシステムです";
        case ENOTDIR:
            return "パスの途中がフォルダーではありません";
        case ENAMETOOLONG:
            return "ファイル名が長すぎます";
        case EIO:
            return "入出力エラーが発生しました";
        case EFBIG:
            return "ファイルが大きすぎます";
        default:
            break;
        }
    }
    return code.message();
}

} // namespace tolvane::base
