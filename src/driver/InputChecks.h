// Checks of a job's input that warn and never stop it: the KSJ header line against the data
// item, the datum that the file name gives against the chosen one, and a job that wrote nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "driver/Catalogue.h"
#include "shapes/uniCoordSys.h"

namespace tolvane::driver {

/// What the header line of `srcFile` (when its first line is one, see ksj::ReadKsjHeader) says
/// against `item` and the file: a data code that no file name of the item's file mask begins
/// with (the file of another item), a declared line count other than the file's (a truncated or
/// joined file). `lineCount` is the file's line count as CountLines gives it. One UTF-8 sentence
/// per finding. Reads the first line and the last bytes (a last line that is only the end mark,
/// Ctrl-Z, is no line to the converters), and the whole file again only when the counts still
/// differ; a file that cannot be read so gives no finding (the conversion reports it).
std::vector<std::string> CheckSourceHeader(const TCatalogueLine& item,
                                           const std::filesystem::path& srcFile,
                                           std::int64_t lineCount);

/// What the file name of `srcFile` says of the datum of its coordinates, in KSJ's own naming
/// ("-jgd": JGD2000, "-tky": Tokyo datum, the letters in any case), against `coordSys`: one
/// UTF-8 sentence when the choice disagrees, nothing when it agrees or the name says nothing.
std::optional<std::string> CheckDatumName(const std::filesystem::path& srcFile,
                                          shapes::TCoordSysIndex coordSys);

} // namespace tolvane::driver
