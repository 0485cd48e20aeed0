// The browser view on the platform's windows: the first navigation, silent mode, the
// caption rule, where the keyboard focus goes, and script calls without a document.
#include "tests/common/caption_rule.h"
#include "tests/windows/shell/shell.h"

namespace vireo::test {
namespace {

using BrowserView = Shell;

// A UTF-8 text in the code page the program runs in.
std::string Ansi(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
    std::string ansi(wide.size() * 2, '\0');
    ansi.resize(static_cast<std::size_t>(
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(),
                              static_cast<int>(ansi.size()), nullptr, nullptr)));
    return ansi;
}

TEST_F(BrowserView, NavigatesSilentlyToTheStartPageFromTheInstallFolder) {
    std::string cwd;
    ASSERT_EQ(Run({[&] {
                  char buffer[MAX_PATH] = {};
                  ::GetCurrentDirectoryA(MAX_PATH, buffer);
                  cwd = buffer;
              }}),
              0);
    EXPECT_EQ(engine.navigations, std::vector<std::string>{StartPage()});
    EXPECT_TRUE(engine.silentWhenNavigating);
    EXPECT_EQ(cwd, ExeFolder()) << "the executable's folder is current";
    EXPECT_EQ(engine.browsersCreated, 1);
}

TEST_F(BrowserView, CaptionRule) {
    std::vector<TitleChange> changes = CaptionRuleChanges(Ansi);
    ASSERT_EQ(changes.back().title, "봄날의 숲") << "the Korean title in code page 949";
    std::vector<std::string> captions;
    Run({[&] {
        captions.push_back(Caption());
        for (std::size_t i = 1; i < changes.size(); ++i) {
            View()->OnTitleChange(changes[i].title.c_str());
            captions.push_back(Caption());
        }
    }});
    ASSERT_EQ(captions.size(), changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i)
        EXPECT_EQ(captions[i], changes[i].caption) << "after title \"" << changes[i].title << "\"";
}

TEST_F(BrowserView, FocusMovesOnceOnTheFirstDocumentThatOffersAWindow) {
    engine.pages[StartPage()] = vireo::engine::sim::Page{"Book", 2, false, {}, {}};
    std::vector<HWND> focus;
    HWND view = nullptr;
    Run({[&] {
        view = View()->m_hWnd;
        ::SetFocus(nullptr);
        engine.CompleteLoads(); // a document without a window: nothing to focus
        focus.push_back(::GetFocus());
        engine.pages[StartPage()].offersWindow = true;
        View()->Navigate2(StartPage().c_str());
        engine.CompleteLoads(); // frames and page complete: the first one focuses
        focus.push_back(::GetFocus());
        ::SetFocus(nullptr);
        View()->Navigate2(StartPage().c_str());
        engine.CompleteLoads(); // a later page does not move the focus again
        focus.push_back(::GetFocus());
    }});
    EXPECT_EQ(focus, (std::vector<HWND>{nullptr, view, nullptr}));
}

TEST_F(BrowserView, CallScriptFunctionWithAndWithoutADocument) {
    std::vector<std::string> calls;
    engine.pages[StartPage()].functions["greet"] = [&](const std::string& arg) { calls.push_back(arg); };
    Run({[&] {
        View()->CallScriptFunction("greet", "early"); // nothing has loaded yet
        engine.CompleteLoads();
        View()->CallScriptFunction("_noSuchFunction", "");
        View()->CallScriptFunction("greet", "안녕");
    }});
    EXPECT_EQ(calls, std::vector<std::string>{"안녕"})
        << "the argument reaches the page in the ANSI code page";
}

} // namespace
} // namespace vireo::test
