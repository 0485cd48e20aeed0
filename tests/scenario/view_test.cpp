// The browser view on the simulated desktop and engine: the first navigation, silent
// mode, the caption rule and where the keyboard focus goes.
#include "host/VireoWebBrowserView.h"
#include "tests/common/caption_rule.h"
#include "tests/scenario/scenario.h"

using namespace vireo::test;

namespace {

class View : public Startup {
protected:
    std::string StartPage() { return vireo::win::FromHostPath(install / "ebook") + "\\index.html"; }

    CVireoWebBrowserView* TheView() {
        auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        return frame ? dynamic_cast<CVireoWebBrowserView*>(frame->GetActiveView()) : nullptr;
    }

    std::string Caption() {
        char text[256] = {};
        GetWindowTextA(AfxGetMainWnd()->m_hWnd, text, sizeof text);
        return text;
    }
};

TEST_F(View, NavigatesSilentlyToTheStartPageFromTheInstallFolder) {
    InstallBook();
    fs::path elsewhere = fs::current_path();
    std::string cwd;
    whileShown = [&] {
        char buffer[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, buffer);
        cwd = buffer;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(engine.navigations, std::vector<std::string>{StartPage()});
    EXPECT_TRUE(engine.silentWhenNavigating);
    EXPECT_EQ(cwd, vireo::win::FromHostPath(install.path())) << "the executable's directory is current";
}

TEST_F(View, CaptionRule) {
    InstallBook();
    std::vector<TitleChange> steps = CaptionRuleChanges(Ansi);
    std::vector<std::string> captions;
    bool done = false;
    whileShown = [&] {
        if (done)
            return;
        done = true;
        captions.push_back(Caption());
        for (std::size_t i = 1; i < steps.size(); ++i) {
            TheView()->OnTitleChange(steps[i].title.c_str());
            captions.push_back(Caption());
        }
    };
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(captions.size(), steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(captions[i], steps[i].caption) << "after title \"" << steps[i].title << "\"";
}

TEST_F(View, FocusMovesOnceOnTheFirstDocumentThatOffersAWindow) {
    InstallBook();
    engine.pages[StartPage()] = vireo::engine::sim::Page{"Book", 2, false, {}, {}};
    std::vector<HWND> focusAfterLoads;
    int round = 0;
    whileShown = [&] {
        if (round == 0) {
            engine.CompleteLoads(); // a document without a window: nothing to focus
            focusAfterLoads.push_back(desktop.focused);
            engine.pages[StartPage()].offersWindow = true;
            TheView()->Navigate2(StartPage().c_str());
            engine.CompleteLoads(); // frames and page complete: the first one focuses
            focusAfterLoads.push_back(desktop.focused);
            SetFocus(nullptr);
            desktop.focused = nullptr;
            TheView()->Navigate2(StartPage().c_str());
            engine.CompleteLoads(); // a later page does not move the focus again
            focusAfterLoads.push_back(desktop.focused);
        }
        ++round;
    };
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(focusAfterLoads.size(), 3u);
    EXPECT_EQ(focusAfterLoads[0], nullptr);
    EXPECT_NE(focusAfterLoads[1], nullptr);
    EXPECT_EQ(focusAfterLoads[2], nullptr);
}

TEST_F(View, CallScriptFunctionWithoutADocumentDoesNothing) {
    InstallBook();
    bool returned = false;
    whileShown = [&] {
        TheView()->CallScriptFunction("_exitFullscreen", ""); // nothing has loaded yet
        engine.CompleteLoads();
        TheView()->CallScriptFunction("_noSuchFunction", "");
        returned = true;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(returned);
}

} // namespace
