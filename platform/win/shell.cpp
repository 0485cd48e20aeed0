#include "platform/win/shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/win/codepage.h"
#include "platform/win/paths.h"

namespace vireo::win {

std::vector<std::string> SplitCommandLine(std::string_view s) {
    // Blanks separate arguments outside quotes; 2n backslashes before a quote give n
    // backslashes and a quote that toggles quoting, 2n+1 give n and a literal quote.
    std::vector<std::string> args;
    std::string current;
    bool inArg = false, quoted = false;
    for (std::size_t i = 0; i < s.size();) {
        char c = s[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg)
                args.push_back(current);
            current.clear();
            inArg = false;
            ++i;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            std::size_t n = 0;
            while (i < s.size() && s[i] == '\\') {
                ++n;
                ++i;
            }
            if (i < s.size() && s[i] == '"') {
                current.append(n / 2, '\\');
                if (n % 2) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(n, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
                current += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArg)
        args.push_back(current);
    return args;
}

} // namespace vireo::win

namespace {

HINSTANCE Result(INT_PTR code) {
    return reinterpret_cast<HINSTANCE>(code);
}

// Starts `argv` detached: an intermediate child starts the program and exits at once,
// so the program is adopted by init and never becomes our zombie. Returns 0 on success
// or the errno of a failed start.
int SpawnDetached(const std::vector<std::string>& argv, const std::string& directory) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;
    std::vector<char*> cargv;
    for (const std::string& a : argv)
        cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    pid_t child = fork();
    if (child < 0) {
        int e = errno;
        close(pipeFds[0]);
        close(pipeFds[1]);
        return e;
    }
    if (child == 0) {
        close(pipeFds[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            if (!directory.empty() && chdir(directory.c_str()) != 0) {
                int e = errno;
                (void)!write(pipeFds[1], &e, sizeof e);
                _exit(127);
            }
            execv(cargv[0], cargv.data());
            int e = errno;
            (void)!write(pipeFds[1], &e, sizeof e);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(pipeFds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes when the program has started (close-on-exec) or failed to.
    int error = 0;
    ssize_t n;
    do {
        n = read(pipeFds[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    close(pipeFds[0]);
    if (n == static_cast<ssize_t>(sizeof error))
        return error;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : EAGAIN;
}

std::string FindInPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT) {
    if (!lpFile || !*lpFile)
        return Result(SE_ERR_FNF);
    std::filesystem::path host = vireo::win::ToHostPath(lpFile);
    struct stat st;
    if (host.empty() || stat(host.c_str(), &st) != 0)
        return Result(errno == EACCES ? SE_ERR_ACCESSDENIED : SE_ERR_FNF);
    std::string directory;
    if (lpDirectory && *lpDirectory) {
        directory = vireo::win::ToHostPath(lpDirectory).string();
        struct stat ds;
        if (directory.empty() || stat(directory.c_str(), &ds) != 0 || !S_ISDIR(ds.st_mode))
            return Result(SE_ERR_PNF);
    }
    bool open = !lpOperation || std::strcmp(lpOperation, "open") == 0;
    std::vector<std::string> argv;
    if (open && S_ISREG(st.st_mode) && access(host.c_str(), X_OK) == 0) {
        argv.push_back(host.string());
        for (const std::string& a : vireo::win::SplitCommandLine(lpParameters ? lpParameters : ""))
            argv.push_back(vireo::win::AnsiToUtf8(a));
    } else {
        std::string opener = FindInPath("xdg-open");
        if (opener.empty())
            return Result(SE_ERR_NOASSOC);
        argv = {opener, host.string()};
    }
    int error = SpawnDetached(argv, directory);
    if (error == 0)
        return Result(42);
    return Result(error == EACCES ? SE_ERR_ACCESSDENIED : error == ENOMEM ? SE_ERR_OOM : SE_ERR_FNF);
}
