// Running a program of the project for a test: its output, its exit code, and the
// windows it maps on the test's X display.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vireo::test {

struct Finished {
    int exitCode = -1; // -1 when killed by a signal
    std::string out;
    std::string err;
};

// Runs `argv` to its end with `env` added to the environment.
Finished RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {},
                    const std::string& input = "");

// A program running in the background; its standard error goes to a file.
class Background {
public:
    Background(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env);
    ~Background();
    pid_t pid() const { return m_pid; }
    bool Running();
    // Waits up to `seconds` for the end; -2 when it is still running then.
    int Wait(double seconds);
    std::string Stderr() const;

private:
    pid_t m_pid = -1;
    int m_status = 0;
    bool m_done = false;
    std::filesystem::path m_errFile;
};

// The output of a shell command line.
std::string Shell(const std::string& command);

} // namespace vireo::test
