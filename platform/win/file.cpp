#include "platform/win/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/win/errors.h"
#include "platform/win/paths.h"

namespace {

// A handle is the host descriptor plus one, so that no handle is null.
HANDLE FromDescriptor(int fd) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1);
}
int ToDescriptor(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1);
}

} // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, SECURITY_ATTRIBUTES*,
                   DWORD dwCreationDisposition, DWORD, HANDLE) {
    if (!lpFileName || dwDesiredAccess != GENERIC_READ || dwCreationDisposition != OPEN_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::filesystem::path host = vireo::win::ToHostPath(lpFileName);
    int fd = host.empty() ? -1 : open(host.c_str(), O_RDONLY | O_CLOEXEC);
    int error = host.empty() ? ENOTDIR : errno;
    struct stat st;
    // A folder is no file to open: the platform refuses it.
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        fd = -1;
        error = EISDIR;
    }
    if (fd >= 0)
        return FromDescriptor(fd);
    std::error_code ec;
    if (error == ENOENT && !std::filesystem::is_directory(host.parent_path(), ec))
        error = ENOTDIR; // the folder is missing, not the file
    SetLastError(error == EACCES || error == EPERM || error == EISDIR ? ERROR_ACCESS_DENIED
                 : error == ENOENT                                    ? ERROR_FILE_NOT_FOUND
                                                                      : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL CloseHandle(HANDLE hObject) {
    if (hObject == INVALID_HANDLE_VALUE || !hObject || close(ToDescriptor(hObject)) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
