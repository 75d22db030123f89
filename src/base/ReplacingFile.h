// A file written under a temporary name beside its destination and put in its place at the end.
#pragma once

#include <filesystem>
#include <optional>

#include "base/uniTextFile.h"

namespace tolvane::base {

/// Writes through a TSjisWriter to a temporary file in the destination's folder; Commit() puts
/// it in the destination's place. Until then the destination is untouched; without Commit() the
/// temporary file is removed.
class TReplacingFile
{
public:
    /// Creates the temporary file; raises TFileError when it cannot be created.
    explicit TReplacingFile(std::filesystem::path destination);
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    TSjisWriter& Writer() { return *m_writer; }

    /// Closes the temporary file and renames it over the destination; raises TFileError when
    /// either fails (the temporary file is then removed).
    void Commit();

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_temporary;
    std::optional<TSjisWriter> m_writer;
};

} // namespace tolvane::base
