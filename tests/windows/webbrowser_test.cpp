// The WebBrowser backend: its site interfaces and event sink against the engine's
// contract, and the platform's control created, activated, made silent and navigated
// in a real window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/webbrowser/site.h"

namespace {

using vireo::engine::BrowserSite;
using vireo::engine::webbrowser::BrowserHost;

// A view that records what reaches it.
struct RecordingSite final : BrowserSite {
    std::vector<std::string> events;
    IDispatch* external = nullptr;
    void OnTitleChange(LPCSTR text) override { events.push_back(std::string("title ") + text); }
    void OnNavigateComplete2(LPCSTR url) override { events.push_back(std::string("navigated ") + url); }
    void OnDocumentComplete(LPCSTR url) override { events.push_back(std::string("complete ") + url); }
    HRESULT OnGetExternal(LPDISPATCH* ppDispatch) override {
        *ppDispatch = external;
        if (!external)
            return S_FALSE;
        external->AddRef();
        return S_OK;
    }
};

// An automation object that only counts its references.
struct CountedDispatch final : IDispatch {
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

// A second sink on the control's events, recording every DISPID it raises.
struct EventLog final : IDispatch {
    std::vector<DISPID> seen;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        seen.push_back(id);
        return S_OK;
    }
};

class Host : public ::testing::Test {
protected:
    void SetUp() override {
        window = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        host = new BrowserHost(window, &site);
    }
    void TearDown() override {
        if (host)
            host->Release();
        ::DestroyWindow(window);
    }

    template <typename I> I* Query(REFIID iid) {
        void* p = nullptr;
        EXPECT_EQ(host->QueryInterface(iid, &p), S_OK);
        return static_cast<I*>(p);
    }

    HWND window = nullptr;
    RecordingSite site;
    BrowserHost* host = nullptr;
};

TEST_F(Host, AnswersForEachSiteInterfaceAndNothingElse) {
    for (const IID* iid : {&IID_IUnknown, &IID_IOleClientSite, &IID_IOleWindow, &IID_IOleInPlaceSite,
                           &IID_IDocHostUIHandler, &IID_IOleInPlaceFrame, &DIID_DWebBrowserEvents2}) {
        IUnknown* p = nullptr;
        EXPECT_EQ(host->QueryInterface(*iid, reinterpret_cast<void**>(&p)), S_OK);
        ASSERT_NE(p, nullptr);
        p->Release();
    }
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(host->QueryInterface(IID_IPersist, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    HWND site_window = nullptr;
    auto* inPlace = Query<IOleInPlaceSite>(IID_IOleInPlaceSite);
    EXPECT_EQ(inPlace->GetWindow(&site_window), S_OK);
    EXPECT_EQ(site_window, window);
    EXPECT_EQ(inPlace->CanInPlaceActivate(), S_OK);
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    EXPECT_EQ(inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info), S_OK);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(doc, nullptr);
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_TRUE(::EqualRect(&pos, &client));
    EXPECT_EQ(info.cAccelEntries, 0u);
    frame->Release();
    inPlace->Release();
}

TEST_F(Host, GetExternalGivesTheViewsObjectAndTheHooksAnswerNotHandled) {
    CountedDispatch external;
    site.external = &external;
    auto* ui = Query<IDocHostUIHandler>(IID_IDocHostUIHandler);
    IDispatch* got = nullptr;
    EXPECT_EQ(ui->GetExternal(&got), S_OK);
    EXPECT_EQ(got, &external);
    EXPECT_EQ(external.refs, 2);
    got->Release();

    site.external = nullptr;
    got = &external;
    EXPECT_EQ(ui->GetExternal(&got), S_FALSE);
    EXPECT_EQ(got, nullptr);

    POINT pt{10, 10};
    MSG msg{window, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_DEFAULT, &pt, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(ui->TranslateAccelerator(&msg, nullptr, 0), S_FALSE);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(ui->GetHostInfo(&info), E_NOTIMPL); // the control keeps its own
    EXPECT_EQ(info.dwFlags, 0u);
    ui->Release();
}

TEST_F(Host, EachEventReachesItsHandlerOnceInTheAnsiCodePage) {
    auto* sink = Query<IDispatch>(DIID_DWebBrowserEvents2);
    BSTR title = ::SysAllocString(L"첫 장");
    BSTR url = ::SysAllocString(L"file:///C:/책/index.html");
    VARIANT urlVariant;
    ::VariantInit(&urlVariant);
    V_VT(&urlVariant) = VT_BSTR;
    V_BSTR(&urlVariant) = url;

    // Arguments last first, as the control passes them.
    VARIANT titleArgs[1];
    V_VT(&titleArgs[0]) = VT_BSTR;
    V_BSTR(&titleArgs[0]) = title;
    VARIANT urlArgs[2];
    V_VT(&urlArgs[0]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&urlArgs[0]) = &urlVariant;
    V_VT(&urlArgs[1]) = VT_DISPATCH;
    V_DISPATCH(&urlArgs[1]) = nullptr;
    DISPPARAMS titleParams{titleArgs, nullptr, 1, 0};
    DISPPARAMS urlParams{urlArgs, nullptr, 2, 0};

    struct Case {
        DISPID id;
        DISPPARAMS* params;
        const char* expected;
    } cases[] = {
        {DISPID_TITLECHANGE, &titleParams, "title 첫 장"},
        {DISPID_NAVIGATECOMPLETE2, &urlParams, "navigated file:///C:/책/index.html"},
        {DISPID_DOCUMENTCOMPLETE, &urlParams, "complete file:///C:/책/index.html"},
        {DISPID_BEFORENAVIGATE2, &urlParams, nullptr},
        {DISPID_NAVIGATEERROR, &urlParams, nullptr},
    };
    for (const Case& c : cases) {
        site.events.clear();
        EXPECT_EQ(sink->Invoke(c.id, IID_NULL, 0, DISPATCH_METHOD, c.params, nullptr, nullptr, nullptr),
                  S_OK);
        if (c.expected)
            EXPECT_EQ(site.events, std::vector<std::string>{c.expected}) << c.id;
        else
            EXPECT_TRUE(site.events.empty()) << c.id;
    }

    // After the view has gone, events reach nobody.
    host->Detach();
    site.events.clear();
    sink->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, &titleParams, nullptr, nullptr, nullptr);
    EXPECT_TRUE(site.events.empty());
    sink->Release();
    ::SysFreeString(title);
    ::SysFreeString(url);
}

// The platform's control in a real window: created, active in place, silent, asked to
// navigate; it follows the window's size and goes with it.
TEST(WebBrowserControl, IsCreatedActivatedMadeSilentAndNavigates) {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    vireo::engine::InstallDefaultEngine();
    vireo::engine::Engine* engine = vireo::engine::CurrentEngine();
    ASSERT_NE(engine, nullptr);
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 300,
                                    nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    RecordingSite site;
    IWebBrowser2* browser = nullptr;
    ASSERT_EQ(engine->CreateBrowser(window, &site, &browser), S_OK);
    ASSERT_NE(browser, nullptr);

    EXPECT_EQ(browser->put_Silent(VARIANT_TRUE), S_OK);
    VARIANT_BOOL silent = VARIANT_FALSE;
    EXPECT_EQ(browser->get_Silent(&silent), S_OK);
    EXPECT_EQ(silent, VARIANT_TRUE);

    // The control's window is the view's child and fills it, now and after a resize.
    HWND control = ::GetWindow(window, GW_CHILD);
    ASSERT_NE(control, nullptr);
    ::SetWindowPos(window, nullptr, 0, 0, 500, 420, SWP_NOMOVE | SWP_NOZORDER);
    RECT view, shown;
    ::GetClientRect(window, &view);
    ::GetWindowRect(control, &shown);
    EXPECT_EQ(shown.right - shown.left, view.right);
    EXPECT_EQ(shown.bottom - shown.top, view.bottom);

    EventLog log;
    IConnectionPointContainer* points = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    ASSERT_EQ(browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)),
              S_OK);
    ASSERT_EQ(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point), S_OK);
    ASSERT_EQ(point->Advise(&log, &cookie), S_OK);

    VARIANT url, empty;
    ::VariantInit(&url);
    ::VariantInit(&empty);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = ::SysAllocString(L"about:blank");
    HRESULT navigated = browser->Navigate2(&url, &empty, &empty, &empty, &empty);
    ::VariantClear(&url);
    MSG msg;
    for (DWORD end = ::GetTickCount() + 2000; ::GetTickCount() < end;)
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    // Wine here has no HTML engine: the navigation starts and ends in an error, and the
    // view hears of no page it never got.
    EXPECT_EQ(navigated, S_OK);
    auto before = std::find(log.seen.begin(), log.seen.end(), DISPID_BEFORENAVIGATE2);
    EXPECT_NE(before, log.seen.end());
    EXPECT_NE(std::find(before, log.seen.end(), DISPID_NAVIGATEERROR), log.seen.end());
    EXPECT_TRUE(site.events.empty());
    point->Unadvise(cookie);
    point->Release();
    points->Release();

    // The control goes with its window; the caller's reference stays valid until released.
    ::DestroyWindow(window);
    browser->Release();
    ::OleUninitialize();
}

} // namespace
