#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/win/errors.h"
#include "platform/win/internal.h"

namespace vireo::win::detail {
namespace {

int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

} // namespace

std::filesystem::path TemporaryFor(const std::filesystem::path& file) {
    std::filesystem::path temp = file;
    temp += ".new-" + std::to_string(getpid());
    return temp;
}

int WriteFileAtomically(const std::filesystem::path& file, std::string_view contents) {
    // Each writer has a temporary file of its own, so two processes replacing the same
    // file never rename each other's half-written text.
    std::filesystem::path temp = TemporaryFor(file);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = WriteAll(fd, contents);
    if (!error && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error && rename(temp.c_str(), file.c_str()) != 0)
        error = errno;
    if (error) {
        unlink(temp.c_str());
        return error;
    }
    int dir = open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 0;
}

} // namespace vireo::win::detail

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
}
