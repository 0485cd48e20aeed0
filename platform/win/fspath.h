// The file-system path a narrow Windows path stands for, as the file-system library
// builds it from the ANSI code page on the platform.
#pragma once

#include <boost/filesystem/path.hpp>

#include "platform/win/paths.h"

namespace vireo::win {

inline boost::filesystem::path FileSystemPath(const char* windowsPath) {
    return boost::filesystem::path(ToHostPath(windowsPath ? windowsPath : "").native());
}

} // namespace vireo::win
