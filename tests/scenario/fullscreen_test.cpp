// Full-screen mode on the simulated desktop: the frame's state table, the Esc key and
// the page's notification.
#include "host/MainFrame.h"
#include "tests/scenario/scenario.h"

using namespace vireo::test;

namespace {

struct FrameState {
    BOOL fullScreen;
    RECT rect;
    bool caption;
    bool sizingBorder;
    bool topmost;
    bool maximized;
};

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class FullScreen : public Startup {
protected:
    CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(AfxGetMainWnd()); }
    FrameState State() {
        HWND h = Frame()->m_hWnd;
        const vireo::sim::SimWindow& w = desktop.windows[h];
        RECT r;
        GetWindowRect(h, &r);
        return {Frame()->IsFullScreen(), r, w.caption, w.sizingBorder, w.topmost, IsZoomed(h) != FALSE};
    }
    // Runs the program with `body` while its main window is up.
    void WithMainWindow(std::function<void()> body) {
        InstallBook();
        engine.pages[vireo::win::FromHostPath(install / "ebook") + "\\index.html"] = page;
        bool ran = false;
        whileShown = [&] {
            if (ran)
                return;
            ran = true;
            engine.CompleteLoads();
            body();
        };
        ASSERT_EQ(Run(), 0);
        ASSERT_TRUE(ran);
    }
    vireo::engine::sim::Page page;
};

TEST_F(FullScreen, EnterAndLeaveFromTheMaximizedWindow) {
    WithMainWindow([&] {
        FrameState before = State();
        EXPECT_TRUE(before.maximized);
        EXPECT_TRUE(before.caption && before.sizingBorder && !before.topmost);

        Frame()->EnterFullScreen();
        FrameState full = State();
        EXPECT_TRUE(full.fullScreen);
        EXPECT_TRUE(full.rect == desktop.primaryMonitor) << "it covers the primary monitor";
        EXPECT_FALSE(full.caption || full.sizingBorder);
        EXPECT_TRUE(full.topmost);
        EXPECT_EQ(GetWindowLongA(Frame()->m_hWnd, GWL_STYLE) & WS_MAXIMIZE, WS_MAXIMIZE)
            << "the maximized state is not touched";

        Frame()->EnterFullScreen(); // a second entry keeps the first restore rectangle
        Frame()->LeaveFullScreen();
        FrameState after = State();
        EXPECT_FALSE(after.fullScreen);
        EXPECT_TRUE(after.rect == before.rect);
        EXPECT_TRUE(after.caption && after.sizingBorder && !after.topmost && after.maximized);
    });
}

TEST_F(FullScreen, LeavingBeforeEnteringMovesNothing) {
    WithMainWindow([&] {
        HWND h = Frame()->m_hWnd;
        int placements = desktop.windows[h].placements;
        FrameState before = State();
        Frame()->LeaveFullScreen();
        EXPECT_EQ(desktop.windows[h].placements, placements);
        EXPECT_TRUE(State().rect == before.rect);
    });
}

TEST_F(FullScreen, EnterFromANormalWindowOnASecondMonitorLayout) {
    desktop.primaryMonitor = RECT{0, 0, 1280, 800};
    WithMainWindow([&] {
        HWND h = Frame()->m_hWnd;
        ShowWindow(h, SW_SHOWNORMAL);
        SetWindowPos(h, nullptr, 1500, 100, 640, 480, SWP_NOZORDER);
        RECT normal;
        GetWindowRect(h, &normal);
        Frame()->EnterFullScreen();
        EXPECT_TRUE(State().rect == desktop.primaryMonitor);
        Frame()->LeaveFullScreen();
        EXPECT_TRUE(State().rect == normal);
        EXPECT_FALSE(State().maximized);
    });
}

TEST_F(FullScreen, EscLeavesOnlyOnKeyDownAndThenTellsThePage) {
    std::vector<std::string> calls;
    page.functions["_exitFullscreen"] = [&](const std::string& arg) {
        calls.push_back("called with \"" + arg + "\" full=" + std::to_string(Frame()->IsFullScreen()));
    };
    WithMainWindow([&] {
        EXPECT_FALSE(desktop.Key(WM_KEYDOWN, VK_ESCAPE)) << "windowed: Esc goes on to the engine";
        EXPECT_TRUE(calls.empty());

        Frame()->EnterFullScreen();
        EXPECT_FALSE(desktop.Key(WM_SYSKEYDOWN, VK_ESCAPE)) << "Alt+Esc does not leave";
        EXPECT_FALSE(desktop.Key(WM_KEYDOWN, 'A'));
        EXPECT_TRUE(Frame()->IsFullScreen());
        EXPECT_TRUE(desktop.Key(WM_KEYDOWN, VK_ESCAPE));
        EXPECT_FALSE(Frame()->IsFullScreen());
        EXPECT_FALSE(State().topmost);
        EXPECT_FALSE(desktop.Key(WM_KEYUP, VK_ESCAPE)) << "the key-up takes the ordinary path";
        EXPECT_FALSE(desktop.Key(WM_KEYDOWN, VK_ESCAPE)) << "a later auto-repeat too";
    });
    EXPECT_EQ(calls, std::vector<std::string>{"called with \"\" full=0"});
    EXPECT_EQ(desktop.keysToEngine, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_ESCAPE},
                                                                          {WM_SYSKEYDOWN, VK_ESCAPE},
                                                                          {WM_KEYDOWN, 'A'},
                                                                          {WM_KEYUP, VK_ESCAPE},
                                                                          {WM_KEYDOWN, VK_ESCAPE}}));
}

TEST_F(FullScreen, ThePageMayEnterAgainFromItsHandler) {
    page.functions["_exitFullscreen"] = [&](const std::string&) {
        EXPECT_FALSE(Frame()->IsFullScreen());
        Frame()->LeaveFullScreen(); // changes nothing
        Frame()->EnterFullScreen();
    };
    WithMainWindow([&] {
        Frame()->EnterFullScreen();
        EXPECT_TRUE(desktop.Key(WM_KEYDOWN, VK_ESCAPE));
        EXPECT_TRUE(Frame()->IsFullScreen()) << "the frame stays in full-screen mode after the Esc press";
        EXPECT_TRUE(State().topmost);
    });
}

TEST_F(FullScreen, EscWithoutAPageHandlerStillLeaves) {
    WithMainWindow([&] {
        Frame()->EnterFullScreen();
        EXPECT_TRUE(desktop.Key(WM_KEYDOWN, VK_ESCAPE));
        EXPECT_FALSE(Frame()->IsFullScreen());
    });
}

// Keys the frame does not consume go on to the engine, which applies its own shortcuts
// to those the page does not take; none of them touches full-screen mode or runs a
// command of the application.
TEST_F(FullScreen, TheEnginesShortcutsComeAfterTheFrame) {
    page.keysTaken = {VK_BACK};
    std::vector<std::string> calls;
    page.functions["_exitFullscreen"] = [&](const std::string&) { calls.push_back("exit"); };
    WithMainWindow([&] {
        Frame()->EnterFullScreen();
        EXPECT_TRUE(desktop.Key(WM_KEYDOWN, VK_F5));
        EXPECT_TRUE(desktop.Key(WM_SYSKEYDOWN, VK_LEFT));
        EXPECT_TRUE(desktop.Key(WM_KEYDOWN, VK_OEM_PLUS, {static_cast<int>(VK_CONTROL)}));
        EXPECT_FALSE(desktop.Key(WM_KEYDOWN, VK_BACK)) << "the page takes Backspace itself";
        EXPECT_FALSE(desktop.Key(WM_KEYDOWN, VK_LEFT)) << "no shortcut without Alt";
        EXPECT_TRUE(Frame()->IsFullScreen());
        EXPECT_TRUE(desktop.Key(WM_KEYDOWN, VK_ESCAPE)) << "Esc stays the frame's";
        EXPECT_FALSE(Frame()->IsFullScreen());
        EXPECT_FALSE(desktop.Key(WM_KEYDOWN, VK_ESCAPE))
            << "windowed, Esc is no shortcut of the engine either";
    });
    using vireo::engine::Shortcut;
    EXPECT_EQ(engine.shortcutsApplied,
              (std::vector<Shortcut>{Shortcut::Reload, Shortcut::Back, Shortcut::ZoomIn}));
    EXPECT_EQ(engine.zoomPercent, 110);
    EXPECT_EQ(calls, std::vector<std::string>{"exit"});
    EXPECT_TRUE(desktop.dialogsShown.empty()) << "no command of the application ran";
    EXPECT_TRUE(desktop.fileChoosersShown.empty());
}

} // namespace
