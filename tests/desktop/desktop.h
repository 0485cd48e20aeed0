// The fixture of the desktop tests: the installed shell copied into a folder of its
// own, a fresh prefix, and the X tools to watch it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/process.h"
#include "tests/support/test_support.h"

namespace vireo::test {

namespace fs = std::filesystem;

class InstalledShell : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display; the test command starts one";
        // A portable install copied elsewhere must run as it is.
        fs::copy(VIREO_STAGE, install.path(), fs::copy_options::recursive);
    }

    void AddSampleBook() { fs::copy(VIREO_SAMPLE_BOOK, install / "ebook", fs::copy_options::recursive); }

    std::map<std::string, std::string> Env() {
        return {{"VIREO_PREFIX", prefix.path().string()},
                {"VIREO_UNATTENDED", "1"},
                {"ASAN_OPTIONS", "detect_leaks=0"}};
    }

    std::string Window(pid_t pid) {
        std::string out = Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
        return out.substr(0, out.find('\n'));
    }

    // Watches a run that should end by itself: whether it mapped a window before it ended
    // (or before `seconds` passed).
    bool MapsAWindowBeforeItEnds(Background& shell, double seconds = 10) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        bool mapped = false;
        while (shell.Running() && std::chrono::steady_clock::now() < deadline)
            mapped = mapped || !Window(shell.pid()).empty();
        return mapped;
    }

    std::string WaitForWindow(Background& shell, double seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline && shell.Running()) {
            std::string w = Window(shell.pid());
            if (!w.empty())
                return w;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return {};
    }

    // Waits until the window's caption contains `text`; returns the last caption seen.
    std::string WaitForCaption(const std::string& window, const std::string& text, double seconds = 10) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::string caption;
        while (std::chrono::steady_clock::now() < deadline) {
            caption = Property(window, "_NET_WM_NAME");
            if (caption.find(text) != std::string::npos)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return caption;
    }

    // Waits until the window's property `name` contains `text` (or, with present false, no
    // longer does): the window manager answers a moment after the shell asks. Returns the
    // last value seen.
    std::string WaitForProperty(const std::string& window, const std::string& name, const std::string& text,
                                bool present = true, double seconds = 5) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::string value = Property(window, name);
        while ((value.find(text) != std::string::npos) != present &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            value = Property(window, name);
        }
        return value;
    }

    std::string Property(const std::string& window, const std::string& name) {
        return Shell("xprop -len 1000000 -id " + window + " " + name + " 2>/dev/null");
    }

    TempDir install;
    TempDir prefix;
};

} // namespace vireo::test
