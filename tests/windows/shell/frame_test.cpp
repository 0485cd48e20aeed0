// The main frame on the platform's window manager: full-screen mode and back, the view
// filling the frame, and the Esc key and the engine's shortcuts arriving through the
// message queue.
#include <array>

#include "tests/windows/shell/shell.h"

namespace vireo::test {
namespace {

// A rectangle as left, top, right, bottom, which the checks compare and print.
using Box = std::array<LONG, 4>;

Box BoxOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

Box WindowBox(HWND h) {
    RECT r;
    ::GetWindowRect(h, &r);
    return BoxOf(r);
}

Box DesktopRect() {
    return WindowBox(::GetDesktopWindow());
}

struct FrameState {
    bool fullScreen = false;
    Box rect{};
    bool caption = false;
    bool sizingBorder = false;
    bool topmost = false;
    bool maximized = false;
    bool viewFillsClient = false;
};

class FullScreen : public Shell {
protected:
    FrameState State() {
        HWND h = Frame()->m_hWnd;
        FrameState s;
        s.fullScreen = Frame()->IsFullScreen() != FALSE;
        s.rect = WindowBox(h);
        LONG style = ::GetWindowLongA(h, GWL_STYLE);
        s.caption = (style & WS_CAPTION) == WS_CAPTION;
        s.sizingBorder = (style & WS_THICKFRAME) != 0;
        s.topmost = (::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        s.maximized = ::IsZoomed(h) != FALSE;
        RECT client, view;
        ::GetClientRect(h, &client);
        ::GetWindowRect(View()->m_hWnd, &view);
        ::MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&view), 2);
        s.viewFillsClient = BoxOf(view) == BoxOf(client);
        return s;
    }
    // The page's script functions are fixed when the loads complete.
    Step CompleteLoads() {
        return [this] {
            engine.pages[StartPage()] = page;
            engine.CompleteLoads();
        };
    }
    vireo::engine::sim::Page page;
};

TEST_F(FullScreen, EnterAndLeaveFromTheMaximizedWindow) {
    FrameState before, untouched, full, stillFull, after;
    Run({Settle(),
         [&] {
             before = State();
             Frame()->LeaveFullScreen(); // before entering: nothing moves
             untouched = State();
             Frame()->EnterFullScreen();
             full = State();
         },
         Settle(),
         [&] {
             stillFull = State();        // once the window manager is done with it
             Frame()->EnterFullScreen(); // a second entry keeps the first restore rectangle
             Frame()->LeaveFullScreen();
         },
         Settle(), [&] { after = State(); }});

    EXPECT_TRUE(before.maximized && before.caption && before.sizingBorder && !before.topmost);
    EXPECT_TRUE(before.viewFillsClient);
    EXPECT_EQ(untouched.rect, before.rect);
    EXPECT_TRUE(untouched.caption && !untouched.fullScreen);

    for (const FrameState& s : {full, stillFull}) {
        EXPECT_TRUE(s.fullScreen);
        EXPECT_EQ(s.rect, DesktopRect()) << "it covers the primary monitor";
        EXPECT_FALSE(s.caption || s.sizingBorder);
        EXPECT_TRUE(s.topmost);
        EXPECT_TRUE(s.maximized) << "the maximized state is not touched";
        EXPECT_TRUE(s.viewFillsClient);
    }

    EXPECT_FALSE(after.fullScreen);
    EXPECT_EQ(after.rect, before.rect);
    EXPECT_TRUE(after.caption && after.sizingBorder && !after.topmost && after.maximized);
    EXPECT_TRUE(after.viewFillsClient);
}

TEST_F(FullScreen, EnterFromANormalWindowAndBack) {
    Box normal{};
    FrameState full, after;
    Run({[&] {
             HWND h = Frame()->m_hWnd;
             ::ShowWindow(h, SW_SHOWNORMAL);
             ::SetWindowPos(h, nullptr, 100, 80, 640, 480, SWP_NOZORDER);
         },
         Settle(),
         [&] {
             normal = WindowBox(Frame()->m_hWnd);
             Frame()->EnterFullScreen();
             full = State();
             Frame()->LeaveFullScreen();
         },
         Settle(), [&] { after = State(); }});
    EXPECT_EQ(full.rect, DesktopRect());
    EXPECT_TRUE(full.viewFillsClient);
    EXPECT_EQ(after.rect, normal);
    EXPECT_FALSE(after.maximized);
    EXPECT_TRUE(after.viewFillsClient);
}

TEST_F(FullScreen, EscLeavesOnlyOnKeyDownAndThenTellsThePage) {
    std::vector<std::string> calls;
    page.functions["_exitFullscreen"] = [&](const std::string& arg) {
        calls.push_back("called with \"" + arg + "\" full=" + std::to_string(Frame()->IsFullScreen()));
    };
    FrameState left;
    std::vector<bool> fullAfter;
    Run({CompleteLoads(), Settle(), [&] { PostKey(WM_KEYDOWN, VK_ESCAPE); },
         [&] {
             fullAfter.push_back(Frame()->IsFullScreen()); // windowed: Esc goes on to the engine
             Frame()->EnterFullScreen();
             PostKey(WM_SYSKEYDOWN, VK_ESCAPE); // Alt+Esc does not leave
             PostKey(WM_KEYDOWN, 'A');
         },
         [&] {
             fullAfter.push_back(Frame()->IsFullScreen());
             PostKey(WM_KEYDOWN, VK_ESCAPE);
         },
         Settle(),
         [&] {
             left = State();
             PostKey(WM_KEYUP, VK_ESCAPE);   // the key-up takes the ordinary path
             PostKey(WM_KEYDOWN, VK_ESCAPE); // a later auto-repeat too
         },
         [&] { fullAfter.push_back(Frame()->IsFullScreen()); }});

    EXPECT_EQ(fullAfter, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(left.fullScreen || left.topmost);
    EXPECT_TRUE(left.caption);
    EXPECT_TRUE(left.maximized);
    EXPECT_EQ(calls, std::vector<std::string>{"called with \"\" full=0"});
    EXPECT_EQ(engine.keysOffered, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_ESCAPE},
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
    FrameState after;
    Run({CompleteLoads(), Settle(),
         [&] {
             Frame()->EnterFullScreen();
             PostKey(WM_KEYDOWN, VK_ESCAPE);
         },
         Settle(), [&] { after = State(); }});
    EXPECT_TRUE(after.fullScreen) << "the frame stays in full-screen mode after the Esc press";
    EXPECT_TRUE(after.topmost);
    EXPECT_EQ(after.rect, DesktopRect());
}

// Keys the frame does not consume go on to the engine, which applies its own shortcuts
// to those the page does not take; none of them touches full-screen mode.
TEST_F(FullScreen, TheEnginesShortcutsComeAfterTheFrame) {
    page.keysTaken = {VK_BACK};
    std::vector<std::string> calls;
    page.functions["_exitFullscreen"] = [&](const std::string&) { calls.push_back("exit"); };
    std::vector<bool> fullAfter;
    Run({CompleteLoads(),
         [&] {
             Frame()->EnterFullScreen();
             PostKey(WM_KEYDOWN, VK_F5);
             PostKey(WM_SYSKEYDOWN, VK_LEFT);
         },
         [&] {
             HoldKey(VK_CONTROL, true);
             PostKey(WM_KEYDOWN, VK_OEM_PLUS);
         },
         [&] {
             HoldKey(VK_CONTROL, false);
             PostKey(WM_KEYDOWN, VK_BACK); // the page takes Backspace itself
             PostKey(WM_KEYDOWN, VK_LEFT); // no shortcut without Alt
         },
         [&] {
             fullAfter.push_back(Frame()->IsFullScreen());
             PostKey(WM_KEYDOWN, VK_ESCAPE); // Esc stays the frame's
         },
         [&] {
             fullAfter.push_back(Frame()->IsFullScreen());
             PostKey(WM_KEYDOWN, VK_ESCAPE); // windowed, Esc is no shortcut of the engine either
         }});
    using vireo::engine::Shortcut;
    EXPECT_EQ(engine.shortcutsApplied,
              (std::vector<Shortcut>{Shortcut::Reload, Shortcut::Back, Shortcut::ZoomIn}));
    EXPECT_EQ(engine.zoomPercent, 110);
    EXPECT_EQ(fullAfter, (std::vector<bool>{true, false}));
    EXPECT_EQ(calls, std::vector<std::string>{"exit"});
}

} // namespace
} // namespace vireo::test
