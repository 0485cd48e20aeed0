// Pieces of the layer that its parts share with each other but not with their callers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vireo::win::detail {

// Replaces `file` with `contents` so that a reader sees either the old or the new
// text, never a mixture, even if the process dies midway: temporary file, flush,
// rename, flush of the folder. Returns 0, or the errno of the step that failed (the
// file is then as it was, and no temporary file is left).
int WriteFileAtomically(const std::filesystem::path& file, std::string_view contents);
// The temporary file this process writes `file` through; `file` + ".new-" begins the
// name of every writer's.
std::filesystem::path TemporaryFor(const std::filesystem::path& file);

// The text of a hive as a new prefix has it: the standard keys, and for the machine
// hive the installed engine's version values, as the engine's installer writes them.
std::string InitialHiveText(bool machine);

void ResetRegistry();
void ResetPaths();

} // namespace vireo::win::detail
