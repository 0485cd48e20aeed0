#include "engine/sim/sim_engine.h"

#include <algorithm>

#include "interface_bases.h"
#include "platform/com/object.h"

namespace vireo::engine::sim {

namespace {

// The page's script object: its global functions, called by name.
class Script final : public com::DispatchObject<Script, IDispatch> {
public:
    explicit Script(const Page& page) : m_page(page) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return QueryFor(riid, IID_IDispatch, ppv);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count == 0)
            return E_INVALIDARG;
        std::string name = AnsiOf(names[0]);
        DISPID id = 1;
        for (const auto& entry : m_page.functions) {
            if (entry.first == name) {
                ids[0] = id;
                return S_OK;
            }
            ++id;
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (result)
            VariantInit(result);
        auto it = m_page.functions.begin();
        for (DISPID i = 1; i < id && it != m_page.functions.end(); ++i)
            ++it;
        if (id < 1 || it == m_page.functions.end())
            return DISP_E_MEMBERNOTFOUND;
        std::string arg;
        if (params && params->cArgs > 0 && params->rgvarg[0].vt == VT_BSTR)
            arg = AnsiOf(params->rgvarg[0].bstrVal);
        it->second(arg);
        return S_OK;
    }

private:
    Page m_page;
};

class Document final : public com::MemberlessObject<Document, DocumentBase>, public IOleWindow {
public:
    Document(HWND window, const Page& page)
        : m_window(window), m_offersWindow(page.offersWindow), m_page(page) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IOleWindow && m_offersWindow) {
            *ppv = static_cast<IOleWindow*>(this);
            AddRef();
            return S_OK;
        }
        return QueryFor(riid, IID_IHTMLDocument2, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return MemberlessObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return MemberlessObject::Release(); }
    HRESULT STDMETHODCALLTYPE get_Script(IDispatch** p) override {
        *p = new Script(m_page);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        *phwnd = m_window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    HWND m_window;
    bool m_offersWindow;
    Page m_page;
};

} // namespace

struct SimEngine::Browser final : com::MemberlessObject<SimEngine::Browser, WebBrowserBase> {
    Browser(SimEngine* engine, HWND parent, BrowserSite* site) : engine(engine), parent(parent), site(site) {}
    ~Browser() override {
        if (engine)
            engine->browsers.erase(std::remove(engine->browsers.begin(), engine->browsers.end(), this),
                                   engine->browsers.end());
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return QueryFor(riid, IID_IWebBrowser2, ppv);
    }
    HRESULT STDMETHODCALLTYPE put_Silent(VARIANT_BOOL b) override {
        silent = b != VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Silent(VARIANT_BOOL* p) override {
        *p = silent ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* URL, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override {
        if (!URL || URL->vt != VT_BSTR)
            return E_INVALIDARG;
        std::string url = AnsiOf(URL->bstrVal);
        engine->navigations.push_back(url);
        engine->silentWhenNavigating = silent;
        pending.push_back(url);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** pp) override {
        *pp = current.empty() ? nullptr : static_cast<IHTMLDocument2*>(new Document(parent, page));
        return S_OK;
    }

    SimEngine* engine;
    HWND parent;
    BrowserSite* site;
    bool silent = false;
    std::vector<std::string> pending;
    std::string current;
    Page page;
};

SimEngine::SimEngine() {
    InstallEngine(this);
}

SimEngine::~SimEngine() {
    for (Browser* b : browsers)
        b->engine = nullptr;
    if (CurrentEngine() == this)
        InstallEngine(nullptr);
}

HRESULT SimEngine::CreateBrowser(HWND parent, BrowserSite* site, IWebBrowser2** ppBrowser) {
    auto* b = new Browser(this, parent, site);
    browsers.push_back(b);
    ++browsersCreated;
    *ppBrowser = b;
    return S_OK;
}

HRESULT SimEngine::TranslateAccelerator(IWebBrowser2* browser, MSG* pMsg) {
    auto* b = static_cast<Browser*>(browser);
    if (!b || !pMsg)
        return S_FALSE;
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP || pMsg->message == WM_SYSKEYDOWN ||
        pMsg->message == WM_SYSKEYUP)
        keysOffered.emplace_back(pMsg->message, pMsg->wParam);
    if (pMsg->message != WM_KEYDOWN && pMsg->message != WM_SYSKEYDOWN)
        return S_FALSE;
    const std::vector<WPARAM>& taken = b->page.keysTaken;
    if (std::find(taken.begin(), taken.end(), pMsg->wParam) != taken.end())
        return S_FALSE;
    Modifier held = HeldModifiers();
    if (pMsg->message == WM_SYSKEYDOWN)
        held = held | Modifier::Alt;
    std::optional<Shortcut> shortcut = ShortcutOfKey(pMsg->wParam, held);
    if (!shortcut)
        return S_FALSE;
    shortcutsApplied.push_back(*shortcut);
    zoomPercent = NextZoom(zoomPercent, *shortcut);
    return S_OK;
}

void SimEngine::CompleteLoads() {
    for (Browser* b : std::vector<Browser*>(browsers)) {
        std::vector<std::string> loads;
        loads.swap(b->pending);
        for (const std::string& url : loads) {
            auto it = pages.find(url);
            b->page = it == pages.end() ? Page{} : it->second;
            b->current = url;
            b->site->OnNavigateComplete2(url.c_str());
            if (!b->page.title.empty())
                b->site->OnTitleChange(b->page.title.c_str());
            for (int f = 0; f < b->page.frames; ++f)
                b->site->OnDocumentComplete((url + "#frame" + std::to_string(f)).c_str());
            b->site->OnDocumentComplete(url.c_str());
        }
    }
}

} // namespace vireo::engine::sim
