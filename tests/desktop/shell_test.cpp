// The installed shell on a real desktop (Xvfb with openbox): what a user would see.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/process.h"
#include "tests/support/test_support.h"

using vireo::test::Background;
using vireo::test::Shell;
using vireo::test::TempDir;
namespace fs = std::filesystem;

namespace {

class InstalledShell : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display; the test command starts one";
        // A portable install copied elsewhere must run as it is.
        for (const char* name : {"VireoPlayer", "vireo-reg"})
            fs::copy(fs::path(VIREO_STAGE) / name, install / name);
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

    std::string Property(const std::string& window, const std::string& name) {
        return Shell("xprop -len 1000000 -id " + window + " " + name + " 2>/dev/null");
    }

    TempDir install;
    TempDir prefix;
};

TEST_F(InstalledShell, WithoutABookItSaysSoAndMapsNoWindow) {
    Background shell({(install / "VireoPlayer").string()}, Env());
    bool mapped = false;
    while (shell.Running())
        mapped = mapped || !Window(shell.pid()).empty();
    EXPECT_EQ(shell.Wait(10), 0);
    EXPECT_FALSE(mapped);
    EXPECT_EQ(shell.Stderr(), "VireoWebBrowser: 이북을 찾을수 없습니다.\n");
}

TEST_F(InstalledShell, WithABookItMapsOneMaximizedWindowAndClosingItEndsTheProcess) {
    AddSampleBook();
    Background shell({(install / "VireoPlayer").string()}, Env());
    std::string window = WaitForWindow(shell, 20);
    ASSERT_FALSE(window.empty()) << shell.Stderr();

    std::string state;
    for (int i = 0; i < 100 && state.find("_NET_WM_STATE_MAXIMIZED_HORZ") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state = Property(window, "_NET_WM_STATE");
    }
    EXPECT_NE(state.find("_NET_WM_STATE_MAXIMIZED_VERT"), std::string::npos) << state;
    EXPECT_NE(state.find("_NET_WM_STATE_MAXIMIZED_HORZ"), std::string::npos) << state;
    EXPECT_NE(Property(window, "_NET_WM_ICON").find("Icon (256 x 256)"), std::string::npos)
        << "the large icon is set";
    Shell("import -window root " + (fs::path(VIREO_BUILD_DIR) / "desktop-with-book.png").string());

    // The window manager's close, as the close box does it.
    Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
    EXPECT_EQ(shell.Wait(20), 0) << shell.Stderr();
    EXPECT_EQ(shell.Stderr(), "");
}

TEST(DesktopSetUp, AKoreanFontIsInstalled) {
    EXPECT_FALSE(Shell("fc-list :lang=ko").empty()) << "without one Korean text shows as empty boxes";
}

} // namespace
