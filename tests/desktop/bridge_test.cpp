// window.external and full-screen mode in the installed shell, driven by a test page
// that reports through its title (the caption) and reacts to keys.
#include "tests/desktop/desktop.h"
#include "tests/desktop/loopback.h"

using namespace vireo::test;

namespace {

class Bridge : public InstalledShell {
protected:
    void SetUp() override {
        InstalledShell::SetUp();
        if (IsSkipped())
            return;
        fs::copy(fs::path(VIREO_TEST_PAGES) / "bridge", install / "ebook", fs::copy_options::recursive);
        BeforeStart();
        std::map<std::string, std::string> env = Env();
        env.insert(extraEnv.begin(), extraEnv.end());
        shell =
            std::make_unique<Background>(std::vector<std::string>{(install / "VireoPlayer").string()}, env);
        window = WaitForWindow(*shell, 20);
        ASSERT_FALSE(window.empty()) << shell->Stderr();
        ASSERT_NE(WaitForCaption(window, "isNative=").find("isNative="), std::string::npos);
        // The page's script ran while it loaded; the focus moves into it when the load
        // completes, a moment later.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
    }
    void TearDown() override {
        if (shell && shell->Running()) {
            Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
            EXPECT_EQ(shell->Wait(20), 0);
        }
        if (shell && expectedStderr.empty()) {
            EXPECT_EQ(shell->Stderr(), "") << "the engine printed nothing of its own";
        } else if (shell) {
            EXPECT_NE(shell->Stderr().find(expectedStderr), std::string::npos) << shell->Stderr();
        }
    }
    virtual void BeforeStart() {}
    void Key(const std::string& key) { Shell("xdotool key " + key); }
    std::string Geometry() {
        std::string info = Shell("xwininfo -id " + window);
        auto field = [&](const std::string& name) {
            std::size_t p = info.find(name);
            return p == std::string::npos
                       ? std::string("?")
                       : info.substr(p + name.size(), info.find('\n', p) - p - name.size());
        };
        return field("Absolute upper-left X:  ") + "," + field("Absolute upper-left Y:  ") + " " +
               field("Width: ") + "x" + field("Height: ");
    }
    // The window manager places the window a moment after the shell asks: waits until the
    // window has `expected` as its geometry, and returns the last one seen.
    std::string WaitForGeometry(const std::string& expected, double seconds = 5) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::string seen = Geometry();
        while (seen != expected && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            seen = Geometry();
        }
        return seen;
    }
    // The geometry of the maximized frame, once the window manager has maximized it.
    std::string MaximizedGeometry() {
        WaitForProperty(window, "_NET_WM_STATE", "MAXIMIZED_HORZ");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return Geometry();
    }
    std::map<std::string, std::string> extraEnv;
    std::string expectedStderr;
    std::unique_ptr<Background> shell;
    std::string window;
};

// The desktop draws everything twice as large: full-screen mode still covers the
// monitor exactly and leaving it restores the frame.
class ScaledDesktop : public Bridge {
protected:
    ScaledDesktop() { extraEnv = {{"GDK_SCALE", "2"}}; }
};

// No private folder for the bridge's socket (here: temporary files go to a folder that is
// not there): pages go without window.external, the shell says why, and nothing is
// put anywhere else.
class NoBridgeFolder : public Bridge {
protected:
    NoBridgeFolder() {
        extraEnv = {{"TMPDIR", (install / "missing").string()}};
        expectedStderr = "VireoPlayer: no private folder for the script bridge";
    }
};

TEST_F(NoBridgeFolder, PagesGoWithoutTheHostObjectAndTheShellSaysWhy) {
    EXPECT_NE(Property(window, "_NET_WM_NAME").find("isNative=threw"), std::string::npos)
        << Property(window, "_NET_WM_NAME");
}

TEST_F(Bridge, AnswersAndErrorsOfTheHostObject) {
    std::string caption = Property(window, "_NET_WM_NAME");
    EXPECT_NE(caption.find(
                  "\"isNative=true ISNATIVE=true full0=false exit0=true "
                  "arg=threw DISP_E_BADPARAMCOUNT (0x8002000E) assign=threw DISP_E_TYPEMISMATCH (0x80020005) "
                  "unknown=undefined replace=true delete=object\""),
              std::string::npos)
        << caption;
    EXPECT_EQ(Shell("xdotool search --onlyvisible --pid " + std::to_string(shell->pid()) + " | wc -l"), "1\n")
        << "alert, confirm and prompt mapped no window";
}

TEST_F(Bridge, TypingReachesThePageWithoutAClick) {
    Key("h i");
    EXPECT_NE(WaitForCaption(window, "typed hi").find("typed hi"), std::string::npos);
}

TEST_F(Bridge, FullScreenModeAndEsc) {
    Key("Escape");
    EXPECT_NE(WaitForCaption(window, "page saw Escape").find("page saw Escape full=false"), std::string::npos)
        << "in windowed mode Esc reaches the page";
    std::string windowed = MaximizedGeometry();

    Key("f");
    EXPECT_NE(WaitForCaption(window, "entered=").find("entered=true full=true"), std::string::npos);
    EXPECT_EQ(WaitForGeometry("0,0 1280x800"), "0,0 1280x800") << "undecorated, covering the primary monitor";
    EXPECT_NE(Property(window, "_NET_WM_STATE").find("_NET_WM_STATE_ABOVE"), std::string::npos);

    Key("Escape");
    EXPECT_NE(WaitForCaption(window, "exit called").find("exit called arg=[] full=false n=1"),
              std::string::npos);
    EXPECT_EQ(WaitForGeometry(windowed), windowed) << "the rectangle and the maximized state it had";
    std::string state = WaitForProperty(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE", false);
    EXPECT_EQ(state.find("_NET_WM_STATE_ABOVE"), std::string::npos) << state;
    EXPECT_NE(state.find("_NET_WM_STATE_MAXIMIZED_HORZ"), std::string::npos) << state;
}

TEST_F(ScaledDesktop, FullScreenModeCoversTheMonitorInDevicePixels) {
    std::string windowed = MaximizedGeometry();
    Key("f");
    EXPECT_NE(WaitForCaption(window, "entered=").find("entered=true full=true"), std::string::npos);
    EXPECT_EQ(WaitForGeometry("0,0 1280x800"), "0,0 1280x800");
    Key("Escape");
    EXPECT_NE(WaitForCaption(window, "exit called").find("full=false"), std::string::npos);
    EXPECT_EQ(WaitForGeometry(windowed), windowed);
}

TEST_F(Bridge, TheEscHandlerMayEnterAgain) {
    Key("r");
    EXPECT_NE(WaitForCaption(window, "entered=").find("entered=true"), std::string::npos);
    Key("Escape");
    EXPECT_NE(WaitForCaption(window, "again=").find("full=false n=1 again=true"), std::string::npos);
    // Give a wrong exit the time to show.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NE(WaitForProperty(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE").find("_NET_WM_STATE_ABOVE"),
              std::string::npos)
        << "the frame stays in full-screen mode";
}

TEST_F(Bridge, AWebProcessThatDiesDoesNotHangTheShell) {
    Key("f");
    EXPECT_NE(WaitForCaption(window, "entered=").find("entered=true"), std::string::npos);
    // The shell's web processes are its children; the page goes with them.
    Shell("pkill -KILL -P " + std::to_string(shell->pid()) + " -f WebKitWebProcess");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Key("Escape"); // the page cannot be told, but the frame leaves full-screen mode at once
    EXPECT_EQ(
        WaitForProperty(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE", false).find("_NET_WM_STATE_ABOVE"),
        std::string::npos);
    EXPECT_TRUE(shell->Running());
}

// The host gives up waiting for a page function after five seconds; the page keeps its
// window.external for later calls.
TEST_F(Bridge, AnEscHandlerThatTakesTooLongCostsOnlyThatCall) {
    Key("f");
    EXPECT_NE(WaitForCaption(window, "entered=").find("entered=true"), std::string::npos);
    Key("s");
    Key("Escape");
    EXPECT_NE(WaitForCaption(window, "slow done", 15).find("slow done"), std::string::npos);
    Key("n");
    EXPECT_NE(WaitForCaption(window, "asked isNative=").find("asked isNative=true"), std::string::npos)
        << Property(window, "_NET_WM_NAME");
}

TEST_F(Bridge, APageThatCallsTheHostWithoutEndLeavesTheWindowResponsive) {
    Key("l");
    EXPECT_NE(WaitForCaption(window, "calling without end").find("calling without end"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // The frame still answers its close box; the page's loop goes with the shell.
    Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
    EXPECT_EQ(shell->Wait(20), 0);
}

class AppExit : public Bridge {
protected:
    void BeforeStart() override {
        WriteFile(install / "ebook" / "port.js", "var testPort = " + std::to_string(server.Port()) + ";");
    }
    OneRequest server;
};

TEST_F(AppExit, AnswersTrueTheScriptGoesOnAndTheProcessExitsWithCodeZero) {
    Key("q");
    EXPECT_EQ(server.Wait(20), "GET /after-appExit?answer=true HTTP/1.1")
        << "the statement after appExit() ran, with its answer";
    EXPECT_EQ(shell->Wait(20), 0);
}

} // namespace
