// The file-system path a narrow Windows path stands for: on the platform the library
// converts narrow paths from the ANSI code page itself.
#pragma once

#include <boost/filesystem/path.hpp>

namespace vireo::win {

inline boost::filesystem::path FileSystemPath(const char* windowsPath) {
    return boost::filesystem::path(windowsPath ? windowsPath : "");
}

} // namespace vireo::win
