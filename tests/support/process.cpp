#include "tests/support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tests/support/test_support.h"

namespace vireo::test {
namespace {

std::vector<char*> CArgs(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const std::string& a : argv)
        out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

void ApplyEnv(const std::map<std::string, std::string>& env) {
    for (const auto& [k, v] : env)
        setenv(k.c_str(), v.c_str(), 1);
}

std::filesystem::path TempFile(const char* tag) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string("vireo-") + tag + "-XXXXXX")).string();
    int fd = mkstemp(pattern.data());
    close(fd);
    return pattern;
}

} // namespace

Finished RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                    const std::string& input) {
    std::filesystem::path out = TempFile("out"), err = TempFile("err"), in = TempFile("in");
    WriteFile(in, input);
    std::vector<char*> args = CArgs(argv);
    pid_t pid = fork();
    if (pid == 0) {
        ApplyEnv(env);
        int i = open(in.c_str(), O_RDONLY), o = open(out.c_str(), O_WRONLY | O_TRUNC),
            e = open(err.c_str(), O_WRONLY | O_TRUNC);
        dup2(i, 0);
        dup2(o, 1);
        dup2(e, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Finished f;
    f.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    f.out = ReadFile(out);
    f.err = ReadFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    std::filesystem::remove(in);
    return f;
}

Background::Background(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env)
    : m_errFile(TempFile("bg")) {
    std::vector<char*> args = CArgs(argv);
    m_pid = fork();
    if (m_pid == 0) {
        ApplyEnv(env);
        int e = open(m_errFile.c_str(), O_WRONLY | O_TRUNC);
        dup2(e, 2);
        int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        execv(args[0], args.data());
        _exit(127);
    }
}

Background::~Background() {
    if (Running()) {
        kill(m_pid, SIGKILL);
        Wait(5);
    }
    std::filesystem::remove(m_errFile);
}

bool Background::Running() {
    if (m_done)
        return false;
    if (waitpid(m_pid, &m_status, WNOHANG) == m_pid)
        m_done = true;
    return !m_done;
}

int Background::Wait(double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (Running()) {
        if (std::chrono::steady_clock::now() > deadline)
            return -2;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

std::string Background::Stderr() const {
    return ReadFile(m_errFile);
}

std::string Shell(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        out.append(buf.data(), n);
    pclose(p);
    return out;
}

} // namespace vireo::test
