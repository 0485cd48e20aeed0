// The registry survives a writer killed at any moment, and concurrent writers in
// several processes lose nothing.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>

#include "platform/win/prefix.h"
#include "platform/win/registry.h"
#include "tests/support/test_support.h"

using vireo::test::TempPrefix;

namespace {

// Starts the writer with its output on a pipe.
pid_t StartWriter(const std::string& key, int first, int count, int& readFd) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        std::string a = std::to_string(first), b = std::to_string(count);
        execl(VIREO_HIVE_WRITER, VIREO_HIVE_WRITER, key.c_str(), a.c_str(), b.c_str(), nullptr);
        _exit(127);
    }
    close(fds[1]);
    readFd = fds[0];
    return pid;
}

// Reads confirmed numbers: `atLeast` of them (then returns, leaving the pipe open), or
// all of them to the end of the output when `atLeast` is 0.
std::set<int> ReadNumbers(int fd, std::size_t atLeast = 0) {
    std::set<int> numbers;
    std::string pending;
    char c;
    while (read(fd, &c, 1) == 1) {
        if (c != '\n') {
            pending += c;
            continue;
        }
        numbers.insert(std::stoi(pending));
        pending.clear();
        if (atLeast && numbers.size() >= atLeast)
            return numbers;
    }
    // A number cut short by the kill was never confirmed.
    return numbers;
}

std::set<int> StoredNumbers(const std::string& key) {
    vireo::win::ResetProcessState();
    std::set<int> numbers;
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\" + key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return numbers;
    for (DWORD i = 0;; ++i) {
        char name[32];
        DWORD size = sizeof name, value = 0, valueSize = 4;
        if (RegEnumValueA(k, i, name, &size, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value),
                          &valueSize) != ERROR_SUCCESS)
            break;
        EXPECT_EQ("v" + std::to_string(value), std::string(name));
        numbers.insert(static_cast<int>(value));
    }
    RegCloseKey(k);
    return numbers;
}

bool AnythingSetAside(const std::filesystem::path& prefix) {
    for (const auto& e : std::filesystem::directory_iterator(prefix))
        if (e.path().filename().string().find(".damaged-") != std::string::npos)
            return true;
    return false;
}

TEST(Durability, AWriterKilledAtRandomMomentsLosesNothingItConfirmed) {
    TempPrefix prefix;
    std::mt19937 random(20261210);
    std::set<int> confirmed;
    int next = 0;
    while (next < 200) {
        int fd = -1;
        pid_t pid = StartWriter("Killed", next, 200 - next, fd);
        ASSERT_GT(pid, 0);
        // Let it confirm a few writes, then kill it somewhere inside a later one.
        std::set<int> got = ReadNumbers(fd, std::uniform_int_distribution<std::size_t>(1, 12)(random));
        usleep(std::uniform_int_distribution<int>(0, 3000)(random));
        kill(pid, SIGKILL);
        std::set<int> rest = ReadNumbers(fd);
        close(fd);
        waitpid(pid, nullptr, 0);
        confirmed.insert(got.begin(), got.end());
        confirmed.insert(rest.begin(), rest.end());
        std::set<int> stored = StoredNumbers("Killed");
        ASSERT_FALSE(AnythingSetAside(prefix.path())) << "the hive always loads";
        for (int n : confirmed)
            ASSERT_TRUE(stored.count(n)) << "value " << n << " was confirmed and is gone";
        ASSERT_FALSE(stored.empty());
        next = *stored.rbegin() + 1;
    }
    EXPECT_GE(confirmed.size(), 1u);
}

TEST(Durability, TwoConcurrentWritersLoseNothing) {
    TempPrefix prefix;
    int fdA = -1, fdB = -1;
    pid_t a = StartWriter("Shared", 0, 500, fdA);
    pid_t b = StartWriter("Shared", 500, 500, fdB);
    std::set<int> confirmedA = ReadNumbers(fdA), confirmedB = ReadNumbers(fdB);
    close(fdA);
    close(fdB);
    int statusA = 0, statusB = 0;
    waitpid(a, &statusA, 0);
    waitpid(b, &statusB, 0);
    EXPECT_EQ(WEXITSTATUS(statusA), 0);
    EXPECT_EQ(WEXITSTATUS(statusB), 0);
    EXPECT_EQ(confirmedA.size() + confirmedB.size(), 1000u);
    EXPECT_EQ(StoredNumbers("Shared").size(), 1000u);
}

// First uses killed at random moments: every prefix left behind is whole or absent, so
// the next start finds the installed engine in it.
TEST(Durability, AFirstUseKilledAtRandomMomentsLeavesAWholePrefixOrNone) {
    vireo::test::TempDir scratch;
    std::mt19937 random(20261211);
    int whole = 0, absent = 0;
    for (int i = 0; i < 40; ++i) {
        std::filesystem::path dir = scratch / ("p" + std::to_string(i));
        setenv("VIREO_PREFIX", dir.c_str(), 1);
        int fd = -1;
        pid_t pid = StartWriter("First", 0, 5, fd);
        ASSERT_GT(pid, 0);
        usleep(std::uniform_int_distribution<int>(0, 200000)(random));
        kill(pid, SIGKILL);
        ReadNumbers(fd);
        close(fd);
        waitpid(pid, nullptr, 0);
        bool existed = std::filesystem::exists(dir / "prefix.conf");
        (existed ? whole : absent)++;
        vireo::win::ResetProcessState();
        HKEY key = nullptr;
        ASSERT_EQ(
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, KEY_READ, &key),
            ERROR_SUCCESS)
            << "prefix " << i << (existed ? " (left by the killed writer)" : "");
        char text[32] = {};
        DWORD size = sizeof text - 1;
        EXPECT_EQ(
            RegQueryValueExA(key, "svcVersion", nullptr, nullptr, reinterpret_cast<LPBYTE>(text), &size),
            ERROR_SUCCESS);
        EXPECT_STREQ(text, "11.0.250");
        RegCloseKey(key);
    }
    for (const auto& e : std::filesystem::directory_iterator(scratch.path()))
        EXPECT_EQ(e.path().filename().string().find(".new-"), std::string::npos) << e.path();
    vireo::win::ResetProcessState();
    unsetenv("VIREO_PREFIX");
    std::printf("first uses killed: %d left a prefix, %d none\n", whole, absent);
}

} // namespace
