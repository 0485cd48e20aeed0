// The web browser control's interfaces as the system calls them, with the platform's
// names and identifiers: the browser (exdisp.h), a window-bearing object (oleidl.h) and
// the HTML document (mshtml.h). Only the members the system uses are declared; on the
// platform itself its own headers declare them whole.
#pragma once

#include "platform/com/com.h"
#include "platform/win/window.h"

struct IWebBrowser2 : IDispatch {
    virtual HRESULT put_Silent(VARIANT_BOOL bSilent) = 0;
    virtual HRESULT get_Silent(VARIANT_BOOL* pbSilent) = 0;
    virtual HRESULT Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                              VARIANT* Headers) = 0;
    virtual HRESULT get_Document(IDispatch** ppDisp) = 0;

protected:
    ~IWebBrowser2() = default;
};

struct IOleWindow : IUnknown {
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;

protected:
    ~IOleWindow() = default;
};

struct IHTMLDocument2 : IDispatch {
    virtual HRESULT get_Script(IDispatch** p) = 0;

protected:
    ~IHTMLDocument2() = default;
};

extern const IID IID_IWebBrowser2;
extern const IID IID_IOleWindow;
extern const IID IID_IHTMLDocument2;
