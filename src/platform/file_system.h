#pragma once

#include <cstddef>
#include <filesystem>
#include <span>

namespace v270::platform {

// Replaces the file at `target` with `contents` so that a crash at any moment leaves either the
// old file or the new one, never a truncated one: the bytes go to a temporary file beside the
// target, are flushed to disk, and the temporary file is renamed over the target. Returns false,
// with the target untouched, when any step fails.
bool replaceFileAtomically(const std::filesystem::path& target,
                           std::span<const std::byte> contents);

// The full path of the running executable, however long it is.
std::filesystem::path currentModulePath();

}  // namespace v270::platform
