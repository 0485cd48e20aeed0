#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/win/errors.h"
#include "platform/win/internal.h"

namespace vireo::win::detail {
namespace {

void WriteAll(int fd, std::string_view data, const std::string& name) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::runtime_error("cannot write " + name + ": " + std::strerror(errno));
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

} // namespace

void WriteFileAtomically(const std::filesystem::path& file, std::string_view contents) {
    // Each writer has a temporary file of its own, so two processes replacing the same
    // file never rename each other's half-written text.
    std::filesystem::path temp = file;
    temp += ".new-" + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + temp.string() + ": " + std::strerror(errno));
    try {
        WriteAll(fd, contents, temp.string());
        if (fsync(fd) != 0)
            throw std::runtime_error("cannot flush " + temp.string() + ": " + std::strerror(errno));
    } catch (...) {
        close(fd);
        unlink(temp.c_str());
        throw;
    }
    close(fd);
    if (rename(temp.c_str(), file.c_str()) != 0)
        throw std::runtime_error("cannot replace " + file.string() + ": " + std::strerror(errno));
    int dir = open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
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
