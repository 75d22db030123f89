// Outputs written under temporary names and put in place at the end.
#include "base/OutputFiles.h"

#include <atomic>
#include <optional>
#include <system_error>

#include "base/uniCodePage.h"
#include "base/uniMessages.h"

namespace tolvane::base {

namespace {

std::atomic<std::uint64_t> g_nextTemporary{0};

// "out.mif" -> "out.<pid>-<n>.tmp.mif": in the same folder, with the same extension, and not
// the name of anything there yet.
std::filesystem::path TemporaryFor(const std::filesystem::path& target)
{
    const std::string stem = PathToUtf8(target.stem());
    const std::string ext = PathToUtf8(target.extension());
    const std::string prefix = stem + "." + std::to_string(ProcessId()) + "-";
    for (;;) {
        std::filesystem::path temporary = target;
        temporary.replace_filename(
            Utf8ToPath(prefix + std::to_string(g_nextTemporary.fetch_add(1)) + ".tmp" + ext));
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(temporary, ec))) {
            return temporary;
        }
    }
}

// The claim on "out.mif" is the hidden file ".out.mif.lock" beside it.
std::filesystem::path LockFileFor(const std::filesystem::path& target)
{
    std::filesystem::path lock = target;
    lock.replace_filename(Utf8ToPath("." + PathToUtf8(target.filename()) + ".lock"));
    return lock;
}

// The destination with its links followed: the temporary file goes beside the file that is
// replaced, and a link to it stays a link.
std::filesystem::path Resolve(const std::filesystem::path& destination)
{
    std::error_code ec;
    // A link to a file that does not exist yet leads to where that file will be.
    std::filesystem::path linked = destination;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(linked, ec); ++hops) {
        const std::filesystem::path to = std::filesystem::read_symlink(linked, ec);
        if (ec) {
            break;
        }
        linked = to.is_absolute() ? to : linked.parent_path() / to;
    }
    std::filesystem::path target = std::filesystem::weakly_canonical(linked, ec);
    if (ec || target.empty()) {
        target = std::filesystem::absolute(destination, ec);
    }
    if (ec || target.empty()) {
        return destination;
    }
    return target;
}

} // namespace

std::string_view FileKindName(TFileKind kind)
{
    switch (kind) {
    case TFileKind::Directory:
        return kKindFolder;
    case TFileKind::Device:
        return kKindDevice;
    case TFileKind::Pipe:
        return kKindPipe;
    default:
        return kKindSpecial;
    }
}

TOutputFiles::TOutputFiles(std::vector<TOutputSpec> outputs)
{
    m_outputs.reserve(outputs.size());
    for (TOutputSpec& spec : outputs) {
        TOutput output;
        output.Target = Resolve(spec.Destination);
        output.Spec = std::move(spec);
        const TFileKind kind = StatFile(output.Target).Kind;
        const std::string shown = PathToUtf8(output.Spec.Destination);
        if (kind == TFileKind::Directory) {
            throw TFileError::OpenFailed(shown, std::make_error_code(std::errc::is_a_directory));
        }
        if (kind == TFileKind::Pipe || kind == TFileKind::Other) {
            throw TFileError(FormatMessage(kMsgOutputNotAFile, {shown, FileKindName(kind)}),
                             std::make_error_code(std::errc::invalid_argument));
        }
        output.InPlace = kind == TFileKind::Device;
        output.Write = output.InPlace ? output.Spec.Destination : TemporaryFor(output.Target);
        m_outputs.push_back(std::move(output));
    }
    for (TOutput& output : m_outputs) {
        if (output.InPlace) {
            continue;
        }
        std::error_code ec;
        switch (output.Lock.TryLock(LockFileFor(output.Target), ec)) {
        case TFileLock::TResult::Locked:
            break;
        case TFileLock::TResult::Busy:
            throw TFileError(FormatMessage(kMsgOutputBusy, {PathToUtf8(output.Spec.Destination)}),
                             std::make_error_code(std::errc::device_or_resource_busy));
        case TFileLock::TResult::Failed:
            throw TFileError::OpenFailed(PathToUtf8(output.Spec.Destination), ec);
        }
    }
}

TOutputFiles::~TOutputFiles()
{
    Drop();
}

void TOutputFiles::Place(bool succeeded)
{
    if (m_ended) {
        return;
    }
    m_ended = true;
    std::optional<TFileError> failure;
    for (TOutput& output : m_outputs) {
        if (output.InPlace) {
            m_placed.push_back(output.Spec.Destination);
            continue;
        }
        std::error_code ec;
        const bool keep = succeeded || output.Spec.OnFailure == TOnFailure::Keep;
        if (!keep || StatFile(output.Write).Kind != TFileKind::Regular) {
            std::filesystem::remove(output.Write, ec);
            output.Lock.Unlock();
            continue;
        }
        if (StatFile(output.Target).Kind == TFileKind::Regular) {
            CopyAccessRights(output.Target, output.Write);
        }
        ec = ReplaceFile(output.Write, output.Target);
        if (ec) {
            std::error_code ignored;
            std::filesystem::remove(output.Write, ignored);
            if (!failure) {
                failure = TFileError::WriteFailed(PathToUtf8(output.Spec.Destination), ec);
            }
        } else {
            m_placed.push_back(output.Spec.Destination);
        }
        output.Lock.Unlock();
    }
    if (failure) {
        throw *failure;
    }
}

void TOutputFiles::Drop() noexcept
{
    if (m_ended) {
        return;
    }
    m_ended = true;
    for (TOutput& output : m_outputs) {
        if (!output.InPlace) {
            std::error_code ec;
            std::filesystem::remove(output.Write, ec);
        }
        output.Lock.Unlock();
    }
}

void TOutputFiles::ShowDestinations(TAppError& error) const
{
    std::string text = error.Text();
    bool changed = false;
    for (const TOutput& output : m_outputs) {
        if (output.InPlace) {
            continue;
        }
        const std::string from = PathToUtf8(output.Write);
        const std::string to = PathToUtf8(output.Spec.Destination);
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
            changed = true;
        }
    }
    if (changed) {
        error.SetText(std::move(text));
    }
}

} // namespace tolvane::base
