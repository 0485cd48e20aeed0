// The engine's own keys, mouse buttons and recovery in the installed shell, driven with
// real key and button presses in a two-page book whose pages report through the caption.
#include <cmath>
#include <regex>

#include "tests/desktop/desktop.h"

using namespace vireo::test;

namespace {

class EngineKeys : public InstalledShell {
protected:
    void SetUp() override {
        InstalledShell::SetUp();
        if (IsSkipped())
            return;
        fs::copy(fs::path(VIREO_TEST_PAGES) / "keys", install / "ebook", fs::copy_options::recursive);
        shell =
            std::make_unique<Background>(std::vector<std::string>{(install / "VireoPlayer").string()}, Env());
        window = WaitForWindow(*shell, 20);
        ASSERT_FALSE(window.empty()) << shell->Stderr();
        ASSERT_NE(WaitForCaption(window, "native=true").find("native=true"), std::string::npos);
        // The focus moves into the page when the load completes, a moment later.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        // Buttons and the wheel go to the page under the pointer.
        Shell("xdotool mousemove 640 500");
        startWidth = Field(Caption(), "w");
    }
    void TearDown() override {
        if (shell && shell->Running()) {
            Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
            EXPECT_EQ(shell->Wait(20), 0);
        }
    }
    void Key(const std::string& keys) { Shell("xdotool key " + keys); }
    std::string Caption() { return Property(window, "_NET_WM_NAME"); }
    // Waits for a caption that matches `pattern` and returns it (or the last one seen).
    std::string WaitFor(const std::string& pattern, double seconds = 10) {
        std::regex re(pattern);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::string caption;
        while (std::chrono::steady_clock::now() < deadline) {
            caption = Caption();
            if (std::regex_search(caption, re))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return caption;
    }
    static std::string Field(const std::string& caption, const std::string& name) {
        std::smatch m;
        std::regex re(" " + name + "=([^ \"]*)");
        return std::regex_search(caption, m, re) ? m[1].str() : "?";
    }
    // Waits until the page reports a width within two pixels of `expected`; returns the
    // last width it reported.
    int WidthNear(double expected) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int w = -1;
        do {
            std::string field = Field(Caption(), "w");
            w = field == "?" ? -1 : std::stoi(field);
            if (std::abs(w - expected) <= 2)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < deadline);
        return w;
    }

    std::unique_ptr<Background> shell;
    std::string window;
    std::string startWidth;
};

TEST_F(EngineKeys, BackAndForwardByEachKeyAndButton) {
    Key("n");
    ASSERT_NE(WaitFor("^.*\"two").find("two"), std::string::npos);
    struct Pair {
        std::string back, forward;
    };
    const Pair pairs[] = {
        {"key BackSpace", "key shift+BackSpace"}, {"key alt+Left", "key alt+Right"}, {"click 8", "click 9"}};
    for (const Pair& p : pairs) {
        Shell("xdotool " + p.back);
        EXPECT_NE(WaitFor("\"one ").find("\"one "), std::string::npos) << "back by " << p.back;
        Shell("xdotool " + p.forward);
        EXPECT_NE(WaitFor("\"two ").find("\"two "), std::string::npos) << "forward by " << p.forward;
    }
}

TEST_F(EngineKeys, F5AndCtrlRRunTheLoadHandlerAgain) {
    std::string first = Field(Caption(), "t");
    Key("F5");
    std::string second = Field(WaitFor(" t=(?!" + first + ")"), "t");
    EXPECT_NE(second, first);
    Key("ctrl+r");
    std::string third = Field(WaitFor(" t=(?!" + second + ")"), "t");
    EXPECT_NE(third, second);
    EXPECT_NE(third, first);
}

TEST_F(EngineKeys, ZoomByKeysAndWheelForTheWholeSession) {
    const double normal = std::stoi(startWidth);
    struct Step {
        std::string keys;
        double zoom;
    };
    const Step steps[] = {
        {"key ctrl+plus", 1.1},
        {"key ctrl+equal", 1.2},
        {"key ctrl+0", 1.0},
        {"key ctrl+minus", 0.9},
        {"key ctrl+KP_Subtract", 0.8},
        {"key ctrl+KP_0", 1.0},
        {"keydown ctrl click 4 keyup ctrl", 1.1}, // Ctrl+wheel up
        {"key ctrl+KP_Add", 1.2},
        {"keydown ctrl click 5 keyup ctrl", 1.1},
    };
    for (const Step& s : steps) {
        Shell("xdotool " + s.keys);
        EXPECT_NEAR(WidthNear(normal / s.zoom), normal / s.zoom, 2) << s.keys;
    }
    // The zoom stays when the reader moves on.
    Key("n");
    std::string two = WaitFor("\"two ");
    EXPECT_NEAR(std::stoi(Field(two, "w")), normal / 1.1, 2) << two;
}

TEST_F(EngineKeys, ThePageKeepsWhatItTakes) {
    // One, two, one again: Backspace would go back to two.
    Key("n");
    WaitFor("\"two ");
    Key("n");
    std::string token = Field(WaitFor("\"one t="), "t");
    Key("k");
    Key("F5");
    EXPECT_NE(WaitFor("kept=F5").find("kept=F5"), std::string::npos) << Caption();
    Shell("xdotool keydown ctrl click 4 keyup ctrl");
    EXPECT_NE(WaitFor("kept=wheel").find("kept=wheel"), std::string::npos);
    Key("BackSpace");
    EXPECT_NE(WaitFor("kept=Backspace").find("kept=Backspace"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::string caption = Caption();
    EXPECT_EQ(Field(caption, "t"), token) << "no reload";
    EXPECT_EQ(Field(caption, "w"), startWidth) << "no zoom";
    // Backspace in a text field edits the text and does not go back.
    Key("f");
    Key("End BackSpace");
    caption = WaitFor("v=ab ");
    EXPECT_NE(caption.find("\"one "), std::string::npos) << caption;
    EXPECT_NE(caption.find("v=ab "), std::string::npos) << caption;
}

TEST_F(EngineKeys, ShortcutsLeaveFullScreenModeAloneAndEscStaysTheFrames) {
    Key("u");
    ASSERT_NE(WaitFor("full=true").find("full=true"), std::string::npos);
    std::string token = Field(Caption(), "t");
    Key("F5");
    std::string reloaded = WaitFor(" t=(?!" + token + ")");
    EXPECT_NE(reloaded.find("full=true"), std::string::npos) << reloaded;
    Key("ctrl+plus");
    WidthNear(std::stoi(startWidth) / 1.1);
    Key("Escape");
    std::string left = WaitFor("exits=1");
    EXPECT_NE(left.find("exits=1"), std::string::npos) << left;
    EXPECT_EQ(
        WaitForProperty(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE", false).find("_NET_WM_STATE_ABOVE"),
        std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NE(Caption().find("exits=1 "), std::string::npos) << "_exitFullscreen was called once";
}

// A web process that ends abnormally: the page comes back once; a second end within ten
// seconds shows the engine's error page, and the shell stays usable.
TEST_F(EngineKeys, TheBookComesBackAfterItsWebProcessIsKilled) {
    auto killWebProcess = [&] {
        Shell("pkill -KILL -P " + std::to_string(shell->pid()) + " -f WebKitWebProcess");
    };
    std::string token = Field(Caption(), "t");
    killWebProcess();
    std::string back = WaitFor("\"one t=(?!" + token + ")");
    EXPECT_NE(Field(back, "t"), token) << back;
    EXPECT_NE(back.find("native=true"), std::string::npos) << "window.external works again: " << back;

    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    killWebProcess();
    std::string error = WaitFor("페이지를 표시할 수 없습니다");
    EXPECT_NE(error.find("페이지를 표시할 수 없습니다"), std::string::npos) << error;
    Shell("import -window root " VIREO_BUILD_DIR "/engine-error-page.png");

    // Its button tries again.
    Key("Tab space");
    std::string again = WaitFor("\"one t=");
    EXPECT_NE(again.find("native=true"), std::string::npos) << again;
    Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
    EXPECT_EQ(shell->Wait(20), 0);
}

} // namespace
