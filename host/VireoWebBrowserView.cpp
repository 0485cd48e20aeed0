#include "host/VireoWebBrowserView.h"

#include <vector>

#include "app/ExeLocation.h"
#include "app/StartPage.h"
#include "host/MainFrame.h"

IMPLEMENT_DYNCREATE(CVireoWebBrowserView, CHtmlView)

BEGIN_MESSAGE_MAP(CVireoWebBrowserView, CHtmlView)
END_MESSAGE_MAP()

BEGIN_DISPATCH_MAP(CVireoWebBrowserView, CHtmlView)
DISP_FUNCTION(CVireoWebBrowserView, "isNative", isNative, VT_BOOL, VTS_NONE)
DISP_FUNCTION(CVireoWebBrowserView, "isFullscreen", isFullscreen, VT_BOOL, VTS_NONE)
DISP_FUNCTION(CVireoWebBrowserView, "requestFullscreen", requestFullscreen, VT_BOOL, VTS_NONE)
DISP_FUNCTION(CVireoWebBrowserView, "exitFullscreen", exitFullscreen, VT_BOOL, VTS_NONE)
DISP_FUNCTION(CVireoWebBrowserView, "appExit", appExit, VT_BOOL, VTS_NONE)
END_DISPATCH_MAP()

CVireoWebBrowserView::CVireoWebBrowserView() : m_bFocusSet(FALSE) {
    EnableAutomation();
}

HRESULT CVireoWebBrowserView::OnGetExternal(LPDISPATCH* lppDispatch) {
    *lppDispatch = GetIDispatch(TRUE);
    return S_OK;
}

BOOL CVireoWebBrowserView::isNative() {
    return TRUE;
}

BOOL CVireoWebBrowserView::isFullscreen() {
    auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    return pFrame ? pFrame->IsFullScreen() : FALSE;
}

BOOL CVireoWebBrowserView::requestFullscreen() {
    if (auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pFrame->EnterFullScreen();
    return TRUE;
}

BOOL CVireoWebBrowserView::exitFullscreen() {
    if (auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pFrame->LeaveFullScreen();
    return TRUE;
}

BOOL CVireoWebBrowserView::appExit() {
    if (CFrameWnd* pFrame = GetParentFrame())
        ::PostMessageA(pFrame->m_hWnd, WM_CLOSE, 0, 0);
    return TRUE;
}

CVireoWebBrowserView::~CVireoWebBrowserView() = default;

BOOL CVireoWebBrowserView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    return CHtmlView::PreCreateWindow(cs);
}

BOOL CVireoWebBrowserView::PreTranslateMessage(MSG* pMsg) {
    return CHtmlView::PreTranslateMessage(pMsg);
}

void CVireoWebBrowserView::OnInitialUpdate() {
    CHtmlView::OnInitialUpdate();
    m_pBrowserApp->put_Silent(VARIANT_TRUE);
    ::SetCurrentDirectoryA(GetExeDir());
    std::string strStartPage = FindStartPage();
    Navigate2(strStartPage.c_str(), 0, nullptr, nullptr, nullptr, 0);
}

void CVireoWebBrowserView::OnNavigateComplete2(LPCSTR) {}

void CVireoWebBrowserView::OnTitleChange(LPCSTR lpszText) {
    CString strTitle(lpszText);
    if (strTitle.Find("http") < 0)
        AfxGetMainWnd()->SetWindowText(strTitle);
}

void CVireoWebBrowserView::OnDocumentComplete(LPCSTR) {
    if (m_bFocusSet || !m_pBrowserApp)
        return;
    IDispatch* pDocument = nullptr;
    if (FAILED(m_pBrowserApp->get_Document(&pDocument)) || !pDocument)
        return;
    IOleWindow* pOleWindow = nullptr;
    if (SUCCEEDED(pDocument->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&pOleWindow))) &&
        pOleWindow) {
        HWND hWnd = nullptr;
        if (SUCCEEDED(pOleWindow->GetWindow(&hWnd)) && hWnd)
            ::SetFocus(hWnd);
        pOleWindow->Release();
        m_bFocusSet = TRUE;
    }
    pDocument->Release();
}

void CVireoWebBrowserView::CallScriptFunction(const CString& strName, const CString& strArg) {
    if (!m_pBrowserApp)
        return;
    IDispatch* pDocument = nullptr;
    if (FAILED(m_pBrowserApp->get_Document(&pDocument)) || !pDocument)
        return;
    IHTMLDocument2* pHtmlDocument = nullptr;
    if (FAILED(pDocument->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&pHtmlDocument))) ||
        !pHtmlDocument) {
        pDocument->Release();
        return;
    }
    IDispatch* pScript = nullptr;
    if (FAILED(pHtmlDocument->get_Script(&pScript)) || !pScript) {
        pHtmlDocument->Release();
        pDocument->Release();
        return;
    }

    int nLength = ::MultiByteToWideChar(CP_THREAD_ACP, 0, strName, strName.GetLength(), nullptr, 0);
    std::vector<OLECHAR> name(static_cast<std::size_t>(nLength) + 1, 0);
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, strName, strName.GetLength(), name.data(), nLength);
    LPOLESTR pszName = name.data();
    DISPID dispid = DISPID_UNKNOWN;
    if (SUCCEEDED(pScript->GetIDsOfNames(IID_NULL, &pszName, 1, LOCALE_SYSTEM_DEFAULT, &dispid))) {
        int nArgLength = ::MultiByteToWideChar(CP_THREAD_ACP, 0, strArg, strArg.GetLength(), nullptr, 0);
        std::vector<OLECHAR> arg(static_cast<std::size_t>(nArgLength) + 1, 0);
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, strArg, strArg.GetLength(), arg.data(), nArgLength);
        VARIANT vArg;
        VariantInit(&vArg);
        vArg.vt = VT_BSTR;
        vArg.bstrVal = ::SysAllocStringLen(arg.data(), static_cast<UINT>(nArgLength));
        DISPPARAMS params = {&vArg, nullptr, 1, 0};
        VARIANT vResult;
        VariantInit(&vResult);
        // A page function that fails is the page's affair; the caller only asked for it to run.
        pScript->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, &vResult, nullptr,
                        nullptr);
        VariantClear(&vResult);
        VariantClear(&vArg);
    }
    pScript->Release();
    pHtmlDocument->Release();
    pDocument->Release();
}
