// The whole program on the platform's own windows, with the scripted engine in place of
// the WebBrowser control: the test program itself is the executable, with a book beside
// it (the Wine test stages it). A test hands over steps; each runs on its own turn of the
// program's message loop once the main window is shown, so that messages a step posts
// (keys, closes) are carried by the loop before the next one looks.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/VireoWebBrowserApp.h"
#include "engine/sim/sim_engine.h"
#include "host/MainFrame.h"
#include "host/VireoWebBrowserView.h"

namespace vireo::test {

class Shell : public ::testing::Test {
protected:
    using Step = std::function<void()>;

    void SetUp() override;
    void TearDown() override;

    // Runs the program with `args` and the steps; after the last step the main window
    // is asked to close. Returns the program's exit code.
    int Run(std::vector<Step> steps, std::vector<std::string> args = {});

    // The folder of the executable, and the start page in it.
    static std::string ExeFolder();
    static std::string StartPage() { return ExeFolder() + "\\ebook\\index.html"; }

    // A step that holds the next ones back until `ready` answers true (asked once per
    // turn of the loop, for three seconds at most; the checks then tell what is missing).
    Step WaitUntil(std::function<bool()> ready);
    // Waits until the window manager is done with the main window: its rectangle and
    // styles unchanged over several turns of the loop (a desktop's window manager
    // answers moves and style changes in its own time).
    Step Settle();

    // A dialog box shown on this thread, if there is one.
    static HWND ShownDialog();

    CMainFrame* Frame();
    CVireoWebBrowserView* View();
    std::string Caption();

    // A key as the keyboard delivers it to the window with the focus (the view when
    // none has it), carried by the loop's next turn.
    void PostKey(UINT message, WPARAM vk);
    // Holds or lets go of a modifier in this thread's keyboard state.
    void HoldKey(int vk, bool down);

    // Whether the test had to close the main window after its steps (the program may
    // have closed it itself).
    bool ClosedByTest() const { return m_closing; }

    vireo::engine::sim::SimEngine engine;
    int stepsRun = 0;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    // The main window's rectangle and styles, to see when it has settled.
    std::array<LONG, 6> Placement();

    std::vector<Step> m_steps;
    bool m_closing = false;
    int m_closingTurns = 0;
    std::function<bool()> m_ready;
    int m_waitTurns = 0;
};

} // namespace vireo::test
