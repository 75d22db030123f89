// Shared pieces of the fuzz targets: a scratch folder and an oracle check.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tolvane::fuzz {

/// A folder for this process's scratch files, on a RAM disk when there is one.
const std::filesystem::path& ScratchDir();
/// Writes `bytes` to `path`.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
/// The bytes of `path`; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
/// The number of file descriptors the process holds open.
int CountOpenFds();
/// Stops the process when an invariant does not hold: the fuzzer reports it as a crash.
void Check(bool condition, const char* what);

} // namespace tolvane::fuzz
