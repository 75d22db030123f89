// The files of one job, written under temporary names beside their destinations and put in
// place when the job ends: whatever writes them (the MIF/MID and CSV writers, a library writing
// another format) writes the path it is given and knows nothing of this.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppError.h"
#include "base/uniPlatform.h"

namespace tolvane::base {

/// Whether an output of a job that fails is put in place.
enum class TOnFailure : std::uint8_t {
    Keep, ///< what was written is put in place, as after a success
    Drop, ///< the earlier file stays; what was written is removed
};

struct TOutputSpec
{
    std::filesystem::path Destination; ///< the path the job names
    TOnFailure OnFailure = TOnFailure::Keep;
};

/// What `kind` is, as a message names it ("フォルダー").
std::string_view FileKindName(TFileKind kind);

/// The outputs of one job (a conversion, a merge, a saved list).
///
/// Each output is written at WritePath(i): a temporary name in the folder of its destination
/// (symbolic links followed) that keeps the destination's extension, so that a writer choosing
/// its format by the extension still finds it. Until Place() the destination is untouched.
/// Place() puts every output that was written in its destination's place, each in one step;
/// whatever is not put in place is removed when the object goes. A destination that is a
/// character device (/dev/null) is written in place.
///
/// While the object lives it holds a claim on every destination: a second TOutputFiles for one
/// of them, in this process or another, is refused at once. A killed process leaves its
/// temporary files (never the destinations) and no claim.
class TOutputFiles
{
public:
    /// Claims the destinations and chooses the temporary names; creates no output. Raises
    /// TFileError when a destination is claimed by another job (kMsgOutputBusy), is a folder or
    /// a pipe (kMsgOutputNotAFile), or its folder cannot be written (the open error, naming the
    /// destination).
    explicit TOutputFiles(std::vector<TOutputSpec> outputs);
    /// Removes every temporary file that was not put in place and ends the claims.
    ~TOutputFiles();
    TOutputFiles(const TOutputFiles&) = delete;
    TOutputFiles& operator=(const TOutputFiles&) = delete;

    std::size_t Count() const noexcept { return m_outputs.size(); }
    const std::filesystem::path& Destination(std::size_t i) const
    {
        return m_outputs[i].Spec.Destination;
    }
    /// Where the writer of output `i` writes.
    const std::filesystem::path& WritePath(std::size_t i) const { return m_outputs[i].Write; }

    /// Ends the job: every output whose writer created its file is put in place (after a
    /// failure, those marked TOnFailure::Keep), in order; the rest are removed. The writers must
    /// have closed their files. Raises TFileError, naming the destination, when one cannot be
    /// put in place (the others still are). Placing twice does nothing.
    void Place(bool succeeded);
    /// Ends a cancelled job: every temporary file is removed, no destination is touched.
    void Drop() noexcept;

    /// The destinations put in place, in order.
    const std::vector<std::filesystem::path>& Placed() const noexcept { return m_placed; }

    /// Writes the destination's name wherever `error` names a temporary file.
    void ShowDestinations(TAppError& error) const;

private:
    struct TOutput
    {
        TOutputSpec Spec;
        std::filesystem::path Target; ///< the destination with its links followed
        std::filesystem::path Write;
        bool InPlace = false;
        TFileLock Lock;
    };

    std::vector<TOutput> m_outputs;
    std::vector<std::filesystem::path> m_placed;
    bool m_ended = false;
};

} // namespace tolvane::base
