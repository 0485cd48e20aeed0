#include "platform/afx/htmlview.h"

#include <string>

#include "platform/win/codepage.h"

IMPLEMENT_DYNCREATE(CHtmlView, CView)

BEGIN_MESSAGE_MAP(CHtmlView, CView)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CHtmlView::~CHtmlView() {
    if (m_pBrowserApp)
        m_pBrowserApp->Release();
}

BOOL CHtmlView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= static_cast<LONG>(WS_CLIPCHILDREN);
    return CView::PreCreateWindow(cs);
}

BOOL CHtmlView::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    if (!CView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
        return FALSE;
    // The browser fills the view; a view without it cannot be.
    vireo::engine::Engine* engine = vireo::engine::CurrentEngine();
    if (!engine || FAILED(engine->CreateBrowser(m_hWnd, this, &m_pBrowserApp)) || !m_pBrowserApp) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

void CHtmlView::OnDestroy() {
    if (m_pBrowserApp) {
        m_pBrowserApp->Release();
        m_pBrowserApp = nullptr;
    }
    CView::OnDestroy();
}

BOOL CHtmlView::PreTranslateMessage(MSG* pMsg) {
    // The frames around the view see the message before the engine's own shortcuts.
    for (CFrameWnd* frame = GetParentFrame(); frame; frame = frame->GetParentFrame())
        if (frame->PreTranslateMessage(pMsg))
            return TRUE;
    vireo::engine::Engine* engine = vireo::engine::CurrentEngine();
    return m_pBrowserApp && engine && engine->TranslateAccelerator(m_pBrowserApp, pMsg) == S_OK;
}

void CHtmlView::Navigate2(LPCSTR lpszURL, DWORD dwFlags, LPCSTR lpszTargetFrameName, LPCSTR lpszHeaders,
                          LPVOID lpvPostData, DWORD dwPostDataLen) {
    if (!m_pBrowserApp || !lpszURL)
        return;
    auto bstr = [](LPCSTR ansi) { return CString(ansi).AllocSysString(); };
    VARIANT url, flags, target, post, headers;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = bstr(lpszURL);
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = static_cast<LONG>(dwFlags);
    VariantInit(&target);
    if (lpszTargetFrameName) {
        target.vt = VT_BSTR;
        target.bstrVal = bstr(lpszTargetFrameName);
    }
    VariantInit(&headers);
    if (lpszHeaders) {
        headers.vt = VT_BSTR;
        headers.bstrVal = bstr(lpszHeaders);
    }
    VariantInit(&post); // post data is not used by this system
    (void)lpvPostData;
    (void)dwPostDataLen;
    m_pBrowserApp->Navigate2(&url, &flags, &target, &post, &headers);
    VariantClear(&url);
    VariantClear(&target);
    VariantClear(&headers);
}

void CHtmlView::OnTitleChange(LPCSTR) {}
void CHtmlView::OnNavigateComplete2(LPCSTR) {}
void CHtmlView::OnDocumentComplete(LPCSTR) {}
HRESULT CHtmlView::OnGetExternal(LPDISPATCH* lppDispatch) {
    *lppDispatch = nullptr;
    return S_FALSE;
}
