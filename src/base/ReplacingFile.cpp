// Files put in place at the end.
#include "base/ReplacingFile.h"

#include <string>
#include <system_error>
#include <unistd.h>

#include "base/AppError.h"
#include "base/uniCodePage.h"

namespace tolvane::base {

TReplacingFile::TReplacingFile(std::filesystem::path destination)
    : m_destination(std::move(destination))
{
    const std::string base =
        m_destination.filename().string() + "." + std::to_string(::getpid()) + ".";
    for (int n = 0;; ++n) {
        m_temporary = m_destination;
        m_temporary.replace_filename(base + std::to_string(n) + ".tmp");
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(m_temporary, ec))) {
            break;
        }
    }
    m_writer.emplace(m_temporary);
}

TReplacingFile::~TReplacingFile()
{
    if (m_writer) {
        m_writer->Abandon();
        std::error_code ec;
        std::filesystem::remove(m_temporary, ec);
    }
}

void TReplacingFile::Commit()
{
    m_writer->Close();
    std::error_code ec;
    std::filesystem::rename(m_temporary, m_destination, ec);
    if (ec) {
        throw TFileError::WriteFailed(PathToUtf8(m_destination), ec);
    }
    m_writer.reset();
}

} // namespace tolvane::base
