#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fnd {

// Replaces `file` with `bytes` so that a reader sees the old file or the new
// one, never half of one: a temp file beside it, written, flushed to disk, then
// renamed over it. The folder is created when missing. False (and logged) on failure.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);
// A save killed half-way (a signal in the first moments of a run) leaves its temporary file beside `file`:
// those whose writer is gone are removed.
void removeStaleTemporaries(const std::filesystem::path& file);

// The whole file; nullopt when it cannot be read.
std::optional<std::string> readFile(const std::filesystem::path& file);

// The most a saved record or the preferences may hold. The app writes a few megabytes at most: the largest,
// the saved race tracks, take about 1 MB per hour of lap outline, the fuel log some 50 KB a year.
inline constexpr std::uintmax_t largestSavedFile = 64 * 1024 * 1024;
// A saved file read whole. One that is no regular file (a link to a device, a pipe) or holds more than
// largestSavedFile bytes is damage and is not read: nullopt, with `refusal` saying why. Nullopt with no
// refusal when it cannot be read.
std::optional<std::string> readSavedFile(const std::filesystem::path& file, std::string& refusal);

// Keeps a damaged file for a person to look at, as the first free "<name>.corrupt-<n>" beside it: moved
// there, or copied when the file stays in use. The path it was kept as; empty (and logged) on failure.
std::filesystem::path moveAside(const std::filesystem::path& file);
std::filesystem::path copyAside(const std::filesystem::path& file);

}  // namespace fnd
