#include "app/StartPage.h"

#include <cstdarg>
#include <cstdio>

#include <boost/filesystem.hpp>

#include "app/ExeLocation.h"
#include "platform/win/fspath.h"

std::string FormatStdString(const std::string& format, ...) {
    std::size_t n = format.size() * 2 + 50;
    std::string result;
    for (;;) {
        result.resize(n);
        std::va_list args;
        va_start(args, format);
        int r = std::vsnprintf(result.data(), n, format.c_str(), args);
        va_end(args);
        if (r >= 0 && static_cast<std::size_t>(r) < n) {
            result.resize(static_cast<std::size_t>(r));
            return result;
        }
        if (r >= 0) {
            n = static_cast<std::size_t>(r) + 1;
        } else {
            // A malformed format cannot succeed with any buffer: give up once the buffer
            // is far larger than any result could be.
            if (n > (1u << 20))
                return std::string();
            n *= 2;
        }
    }
}

bool PathExists(const char* path) {
    // Links are followed; a dangling one is not found. A path the file system cannot
    // examine (access denied on a parent folder, say) counts as absent: nothing there
    // could be opened or started either.
    boost::system::error_code ec;
    boost::filesystem::file_status status = boost::filesystem::status(vireo::win::FileSystemPath(path), ec);
    if (ec)
        return false;
    return status.type() != boost::filesystem::file_not_found &&
           status.type() != boost::filesystem::status_error;
}

std::string FindStartPage() {
    std::string strExeDir = GetExeDir().GetString();

    std::string strPath = FormatStdString("%sebook", strExeDir.c_str());
    if (PathExists(strPath.c_str()))
        return FormatStdString("%s\\index.html", strPath.c_str());

    strPath = FormatStdString("%swww", strExeDir.c_str());
    if (PathExists(strPath.c_str()))
        return FormatStdString("%s\\index.html", strPath.c_str());

    strPath = FormatStdString("%s%s", strExeDir.c_str(), GetExeTitle(GetExePath()).GetString());
    if (PathExists(strPath.c_str()))
        return FormatStdString("%s\\index.html", strPath.c_str());

    strPath = FormatStdString("%sindex.html", strExeDir.c_str());
    if (PathExists(strPath.c_str()))
        return strPath;

    return std::string();
}
