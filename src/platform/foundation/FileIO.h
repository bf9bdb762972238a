#pragma once

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

// Keeps a damaged file for a person to look at, as the first free "<name>.corrupt-<n>" beside it: moved
// there, or copied when the file stays in use. The path it was kept as; empty (and logged) on failure.
std::filesystem::path moveAside(const std::filesystem::path& file);
std::filesystem::path copyAside(const std::filesystem::path& file);

}  // namespace fnd
