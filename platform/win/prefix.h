// The prefix: one host directory that holds the platform's persistent state (the two
// registry hives, the drive map, the code page) and the engine's profile data.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win/types.h"

namespace vireo::win {

struct DriveMapping {
    char letter;          // upper case
    std::string hostRoot; // absolute host path, no trailing slash except for "/"
};

struct PrefixSettings {
    std::filesystem::path directory;
    UINT codePage = 949;
    // Whether processes started on this prefix hold administrator rights. The shipped
    // program asks for them in its manifest, so a prefix grants them unless told not to.
    bool elevated = true;
    std::vector<DriveMapping> drives;
};

// The prefix in force: $VIREO_PREFIX, else $XDG_DATA_HOME/vireo, else
// ~/.local/share/vireo. It is created with its defaults on first use.
const PrefixSettings& CurrentPrefix();

// Whether this process holds administrator rights: the prefix's setting unless the
// process was told otherwise.
bool IsProcessElevated();
void SetProcessElevated(bool elevated);

// Forgets everything read from the prefix, so the next use reads $VIREO_PREFIX afresh.
// Tests use it between cases; open registry handles must be closed first.
void ResetProcessState();

// Writes prefix.conf from `settings` (used by tests and by prefix creation).
void WritePrefixSettings(const PrefixSettings& settings);

} // namespace vireo::win
