// What the browser view asks of the web engine: creation as a child filling a window,
// silent mode, navigation, the current document with its window and its script object,
// the host's external object, the title, navigate-complete and document-complete events,
// and accelerator translation. The engine's interfaces are the platform's
// (platform/com/browser.h); what is the system's own is the site the view implements
// and the way an engine is created.
#pragma once

#include <string>

#include "platform/com/browser.h"

namespace vireo::engine {

// The host side of one browser: the HTML view. Events arrive on the main thread, with
// texts in the ANSI code page.
class BrowserSite {
public:
    virtual void OnTitleChange(LPCSTR lpszText) = 0;
    virtual void OnNavigateComplete2(LPCSTR strURL) = 0;
    virtual void OnDocumentComplete(LPCSTR lpszURL) = 0;
    // The object page script sees as window.external; S_OK hands over one reference.
    virtual HRESULT OnGetExternal(LPDISPATCH* lppDispatch) = 0;

protected:
    ~BrowserSite() = default;
};

class Engine {
public:
    virtual ~Engine() = default;
    // A browser filling `parent` and following its size; it holds one reference for the caller.
    virtual HRESULT CreateBrowser(HWND parent, BrowserSite* site, IWebBrowser2** ppBrowser) = 0;
    // Lets the engine apply its own shortcuts to a key message; S_OK means it used it.
    virtual HRESULT TranslateAccelerator(IWebBrowser2* browser, MSG* pMsg) = 0;
};

// A text from the engine's side (wide, NUL-terminated; null reads as empty) in the ANSI
// code page, as the view takes it.
std::string AnsiOf(const OLECHAR* text);

void InstallEngine(Engine* engine);
Engine* CurrentEngine();

// The shipped program's engine (WebKitGTK), installed by its entry point.
void InstallDefaultEngine();

} // namespace vireo::engine
