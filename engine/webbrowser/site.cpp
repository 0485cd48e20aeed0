#include "engine/webbrowser/site.h"

namespace vireo::engine::webbrowser {

namespace {

// The URL the navigate and document events carry: a VARIANT by reference that holds
// the URL, or the URL itself.
std::string AnsiOfUrl(const VARIANT& arg) {
    const VARIANT* v = &arg;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v))
        v = V_VARIANTREF(v);
    if (V_VT(v) == VT_BSTR)
        return AnsiOf(V_BSTR(v));
    if (V_VT(v) == (VT_BYREF | VT_BSTR) && V_BSTRREF(v))
        return AnsiOf(*V_BSTRREF(v));
    return {};
}

} // namespace

// The in-place frame: the top-level window around the view. It has no menus, tool
// space or status line to offer, so the control keeps its own.
class BrowserHost::Frame final : public IOleInPlaceFrame {
public:
    explicit Frame(BrowserHost* host) : m_host(host) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
            IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame)) {
            *ppv = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_host->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_host->Release(); }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        if (!phwnd)
            return E_POINTER;
        *phwnd = ::GetAncestor(m_host->m_parent, GA_ROOT);
        return *phwnd ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    BrowserHost* m_host;
};

// The sink of DWebBrowserEvents2: the title, navigate-complete and document-complete
// events reach the view; every other event is acknowledged and left alone.
class BrowserHost::Events final : public IDispatch {
public:
    explicit Events(BrowserHost* host) : m_host(host) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_host->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_host->Release(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo)
            *ppTInfo = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }

    // Arguments arrive last first: rgvarg[0] is the event's last parameter.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        BrowserSite* site = m_host->m_site;
        if (!site || !params)
            return S_OK;
        switch (dispid) {
        case DISPID_TITLECHANGE: // (BSTR Text)
            if (params->cArgs >= 1 && V_VT(&params->rgvarg[0]) == VT_BSTR)
                site->OnTitleChange(AnsiOf(V_BSTR(&params->rgvarg[0])).c_str());
            break;
        case DISPID_NAVIGATECOMPLETE2: // (IDispatch* pDisp, VARIANT* URL)
            if (params->cArgs >= 2)
                site->OnNavigateComplete2(AnsiOfUrl(params->rgvarg[0]).c_str());
            break;
        case DISPID_DOCUMENTCOMPLETE: // (IDispatch* pDisp, VARIANT* URL)
            if (params->cArgs >= 2)
                site->OnDocumentComplete(AnsiOfUrl(params->rgvarg[0]).c_str());
            break;
        default:
            break;
        }
        return S_OK;
    }

private:
    BrowserHost* m_host;
};

BrowserHost::BrowserHost(HWND parent, BrowserSite* site)
    : m_parent(parent), m_site(site), m_frame(new Frame(this)), m_events(new Events(this)) {}

BrowserHost::~BrowserHost() {
    if (m_inPlace)
        m_inPlace->Release();
    delete m_frame;
    delete m_events;
}

void BrowserHost::SetInPlaceObject(IOleInPlaceObject* object) {
    if (object)
        object->AddRef();
    if (m_inPlace)
        m_inPlace->Release();
    m_inPlace = object;
}

RECT BrowserHost::ClientArea() const {
    RECT rc{0, 0, 0, 0};
    ::GetClientRect(m_parent, &rc);
    return rc;
}

void BrowserHost::Detach() {
    m_site = nullptr;
    SetInPlaceObject(nullptr);
}

HRESULT BrowserHost::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
        *ppv = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(riid, IID_IDocHostUIHandler))
        *ppv = static_cast<IDocHostUIHandler*>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceFrame))
        *ppv = static_cast<IOleInPlaceFrame*>(m_frame);
    else if (IsEqualIID(riid, DIID_DWebBrowserEvents2))
        *ppv = static_cast<IDispatch*>(m_events);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG BrowserHost::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&m_refs));
}

ULONG BrowserHost::Release() {
    LONG n = ::InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

// IOleClientSite: the browser is embedded, never linked or saved.
HRESULT BrowserHost::SaveObject() {
    return E_NOTIMPL;
}
HRESULT BrowserHost::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}
HRESULT BrowserHost::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}
HRESULT BrowserHost::ShowObject() {
    return S_OK;
}
HRESULT BrowserHost::OnShowWindow(BOOL) {
    return S_OK;
}
HRESULT BrowserHost::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

// IOleInPlaceSite: the browser is active in the view's window and fills it.
HRESULT BrowserHost::GetWindow(HWND* phwnd) {
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_parent;
    return S_OK;
}
HRESULT BrowserHost::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}
HRESULT BrowserHost::CanInPlaceActivate() {
    return S_OK;
}
HRESULT BrowserHost::OnInPlaceActivate() {
    return S_OK;
}
HRESULT BrowserHost::OnUIActivate() {
    return S_OK;
}
HRESULT BrowserHost::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                      LPRECT lprcPosRect, LPRECT lprcClipRect,
                                      LPOLEINPLACEFRAMEINFO lpFrameInfo) {
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo)
        return E_POINTER;
    *ppFrame = m_frame;
    m_frame->AddRef();
    *ppDoc = nullptr;
    *lprcPosRect = ClientArea();
    *lprcClipRect = *lprcPosRect;
    // The frame has no accelerators: the control's own keys are its to translate.
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = ::GetAncestor(m_parent, GA_ROOT);
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}
HRESULT BrowserHost::Scroll(SIZE) {
    return E_NOTIMPL;
}
HRESULT BrowserHost::OnUIDeactivate(BOOL) {
    return S_OK;
}
HRESULT BrowserHost::OnInPlaceDeactivate() {
    return S_OK;
}
HRESULT BrowserHost::DiscardUndoState() {
    return E_NOTIMPL;
}
HRESULT BrowserHost::DeactivateAndUndo() {
    return E_NOTIMPL;
}
HRESULT BrowserHost::OnPosRectChange(LPCRECT lprcPosRect) {
    if (!lprcPosRect)
        return E_POINTER;
    if (m_inPlace)
        m_inPlace->SetObjectRects(lprcPosRect, lprcPosRect);
    return S_OK;
}

// IDocHostUIHandler: the engine's own context menu, keys and host information stay in
// place ("not handled"); only the external object is the view's.
HRESULT BrowserHost::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
    return S_FALSE;
}
HRESULT BrowserHost::GetHostInfo(DOCHOSTUIINFO*) {
    return E_NOTIMPL;
}
HRESULT BrowserHost::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                            IOleInPlaceUIWindow*) {
    return S_FALSE;
}
HRESULT BrowserHost::HideUI() {
    return S_OK;
}
HRESULT BrowserHost::UpdateUI() {
    return S_OK;
}
HRESULT BrowserHost::EnableModeless(BOOL) {
    return S_OK;
}
HRESULT BrowserHost::OnDocWindowActivate(BOOL) {
    return S_OK;
}
HRESULT BrowserHost::OnFrameWindowActivate(BOOL) {
    return S_OK;
}
HRESULT BrowserHost::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}
HRESULT BrowserHost::TranslateAccelerator(LPMSG, const GUID*, DWORD) {
    return S_FALSE;
}
HRESULT BrowserHost::GetOptionKeyPath(LPOLESTR* pchKey, DWORD) {
    if (pchKey)
        *pchKey = nullptr;
    return S_FALSE;
}
HRESULT BrowserHost::GetDropTarget(IDropTarget*, IDropTarget** ppDropTarget) {
    if (ppDropTarget)
        *ppDropTarget = nullptr;
    return E_NOTIMPL;
}
HRESULT BrowserHost::GetExternal(IDispatch** ppDispatch) {
    if (!ppDispatch)
        return E_POINTER;
    *ppDispatch = nullptr;
    if (!m_site)
        return S_FALSE;
    return m_site->OnGetExternal(ppDispatch);
}
HRESULT BrowserHost::TranslateUrl(DWORD, LPWSTR, LPWSTR* ppchURLOut) {
    if (ppchURLOut)
        *ppchURLOut = nullptr;
    return S_FALSE;
}
HRESULT BrowserHost::FilterDataObject(IDataObject*, IDataObject** ppDORet) {
    if (ppDORet)
        *ppDORet = nullptr;
    return S_FALSE;
}

} // namespace vireo::engine::webbrowser
