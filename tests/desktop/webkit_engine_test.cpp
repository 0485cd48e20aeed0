// The WebKit engine through the contract the view programs against, on the real GTK
// desktop: the events it raises for a page with frames, in their order and code page.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/contract.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/win/codepage.h"
#include "platform/win/paths.h"
#include "tests/support/test_support.h"

using namespace vireo::test;
namespace fs = std::filesystem;

namespace {

class RecordingSite final : public vireo::engine::BrowserSite {
public:
    void OnTitleChange(LPCSTR text) override { events.push_back("title " + Utf8(text)); }
    void OnNavigateComplete2(LPCSTR url) override { events.push_back("navigated " + Utf8(url)); }
    void OnDocumentComplete(LPCSTR url) override { events.push_back("complete " + Utf8(url)); }
    HRESULT OnGetExternal(LPDISPATCH*) override { return E_NOTIMPL; }
    std::vector<std::string> events;
};

class WebKitEngine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display; the test command starts one";
        // The engine's extension is in the build folder's lib/vireo, as beside an installed program.
        vireo::win::SetModulePathForTesting(fs::path(VIREO_BUILD_DIR) / "VireoPlayer");
        vireo::gtk::InstallDesktop();
        vireo::engine::InstallDefaultEngine();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "EngineTestWindow";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "EngineTestWindow", "engine", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                 nullptr, nullptr, nullptr, nullptr);
        ShowWindow(window, SW_SHOW);
    }
    void TearDown() override {
        if (browser)
            browser->Release();
        if (window)
            DestroyWindow(window);
    }

    // Navigates to `page` (a host path) and runs the loop until `last` was recorded.
    void Load(const fs::path& page, const std::string& last) {
        ASSERT_EQ(vireo::engine::CurrentEngine()->CreateBrowser(window, &site, &browser), S_OK);
        std::u16string url = vireo::win::Utf8ToUtf16(Utf8(vireo::win::FromHostPath(page)));
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(reinterpret_cast<const OLECHAR*>(url.c_str()));
        browser->Navigate2(&v, nullptr, nullptr, nullptr, nullptr);
        VariantClear(&v);
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until &&
               std::find(site.events.begin(), site.events.end(), last) == site.events.end())
            g_main_context_iteration(nullptr, TRUE);
    }

    TempPrefix prefix;
    TempDir book;
    HWND window = nullptr;
    IWebBrowser2* browser = nullptr;
    RecordingSite site;
};

TEST_F(WebKitEngine, EachFrameCompletesBeforeThePage) {
    // No charset named: the page is read in the system's code page (949 here).
    WriteFile(book / "한글.html", Ansi("<!DOCTYPE html><title>바깥</title><iframe src='a.html'></iframe>"
                                       "<iframe src='b.html'></iframe>"));
    WriteFile(book / "a.html", "<title>a</title>frame a");
    WriteFile(book / "b.html", "<title>b</title><iframe src='c.html'></iframe>");
    WriteFile(book / "c.html", "<title>c</title>frame c, inside b");
    std::string base = "file://" + book.path().string() + "/";
    std::string page = base + "%ED%95%9C%EA%B8%80.html";
    Load(book / "한글.html", "complete " + page);

    std::vector<std::string> completions;
    for (const std::string& e : site.events)
        if (e.rfind("complete ", 0) == 0)
            completions.push_back(e);
    ASSERT_EQ(completions.size(), 4u) << ::testing::PrintToString(site.events);
    EXPECT_EQ(completions.back(), "complete " + page) << "the page completes last";
    std::vector<std::string> frames(completions.begin(), completions.end() - 1);
    std::sort(frames.begin(), frames.end());
    EXPECT_EQ(frames, (std::vector<std::string>{"complete " + base + "a.html", "complete " + base + "b.html",
                                                "complete " + base + "c.html"}));
    // c is inside b: it completes first.
    EXPECT_LT(std::find(completions.begin(), completions.end(), "complete " + base + "c.html"),
              std::find(completions.begin(), completions.end(), "complete " + base + "b.html"));
    EXPECT_EQ(site.events.front(), "navigated " + page);
    EXPECT_NE(std::find(site.events.begin(), site.events.end(), "title 바깥"), site.events.end())
        << ::testing::PrintToString(site.events);
}

} // namespace
