// The shipped engine on Windows: the platform's WebBrowser control, embedded in the
// view's window through OLE, following the view's size, and giving up its site when the
// view's window goes.
#include "engine/webbrowser/site.h"

#include <commctrl.h>

namespace vireo::engine {
namespace {

using webbrowser::BrowserHost;

// One embedded control: its OLE object, the host that is its container, and the
// connection of the host's sink to the control's events.
struct Embedding {
    IOleObject* object = nullptr;
    BrowserHost* host = nullptr;
    IConnectionPoint* events = nullptr;
    DWORD cookie = 0;
};

constexpr UINT_PTR kSubclassId = 0x56495245; // the view's subclass for its browser

void Close(Embedding* e) {
    if (e->events) {
        e->events->Unadvise(e->cookie);
        e->events->Release();
    }
    if (e->object) {
        e->object->Close(OLECLOSE_NOSAVE);
        e->object->SetClientSite(nullptr);
        e->object->Release();
    }
    if (e->host) {
        e->host->Detach();
        e->host->Release();
    }
    delete e;
}

// The view's window: its size is the browser's, and its end is the browser's.
LRESULT CALLBACK ViewProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* e = reinterpret_cast<Embedding*>(data);
    switch (message) {
    case WM_SIZE: {
        RECT rc = e->host->ClientArea();
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(e->object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->SetObjectRects(&rc, &rc);
            inPlace->Release();
        }
        break;
    }
    case WM_DESTROY:
        ::RemoveWindowSubclass(hWnd, ViewProc, kSubclassId);
        Close(e);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

class WebBrowserEngine final : public Engine {
public:
    HRESULT CreateBrowser(HWND parent, BrowserSite* site, IWebBrowser2** ppBrowser) override {
        if (!ppBrowser)
            return E_POINTER;
        *ppBrowser = nullptr;
        auto* e = new Embedding;
        e->host = new BrowserHost(parent, site);
        HRESULT hr = ::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                        reinterpret_cast<void**>(&e->object));
        if (SUCCEEDED(hr))
            hr = Embed(e, parent);
        if (SUCCEEDED(hr))
            hr = e->object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(ppBrowser));
        if (SUCCEEDED(hr) &&
            !::SetWindowSubclass(parent, ViewProc, kSubclassId, reinterpret_cast<DWORD_PTR>(e)))
            hr = E_FAIL;
        if (FAILED(hr)) {
            if (*ppBrowser) {
                (*ppBrowser)->Release();
                *ppBrowser = nullptr;
            }
            Close(e);
        }
        return hr;
    }

    // After the frames' pre-translation, the control's own keys: its accelerators,
    // navigation keys and the page's key handling.
    HRESULT TranslateAccelerator(IWebBrowser2* browser, MSG* pMsg) override {
        if (!browser || !pMsg || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
            return S_FALSE;
        IOleInPlaceActiveObject* active = nullptr;
        if (FAILED(browser->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active))))
            return S_FALSE;
        HRESULT hr = active->TranslateAccelerator(pMsg);
        active->Release();
        return hr;
    }

private:
    // Site, in-place activation in the view's client area, and the event connection.
    static HRESULT Embed(Embedding* e, HWND parent) {
        HRESULT hr = e->object->SetClientSite(e->host);
        if (FAILED(hr))
            return hr;
        ::OleSetContainedObject(e->object, TRUE);
        RECT rc = e->host->ClientArea();
        hr = e->object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, e->host, 0, parent, &rc);
        if (FAILED(hr))
            return hr;
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(e->object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            e->host->SetInPlaceObject(inPlace);
            inPlace->Release();
        }
        IConnectionPointContainer* points = nullptr;
        hr = e->object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
        if (FAILED(hr))
            return hr;
        hr = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &e->events);
        points->Release();
        if (FAILED(hr))
            return hr;
        IUnknown* sink = nullptr;
        hr = e->host->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&sink));
        if (FAILED(hr))
            return hr;
        hr = e->events->Advise(sink, &e->cookie);
        sink->Release();
        if (FAILED(hr)) {
            e->events->Release();
            e->events = nullptr;
        }
        return hr;
    }
};

} // namespace

void InstallDefaultEngine() {
    static WebBrowserEngine engine;
    InstallEngine(&engine);
}

} // namespace vireo::engine
