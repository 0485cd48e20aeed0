// Pieces of the layer that its parts share with each other but not with their callers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vireo::win::detail {

// Replaces `file` with `contents` so that a reader sees either the old or the new
// text, never a mixture, even if the process dies midway: temporary file, flush,
// rename, flush of the folder.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view contents);

// Fills a prefix that has just been created: the standard keys, and the installed
// engine's version values as the engine's installer would write them. Existing values
// are kept.
void RegisterInstalledEngine();

void ResetRegistry();
void ResetPaths();

} // namespace vireo::win::detail
