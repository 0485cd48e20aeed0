// CHtmlView: a view that hosts the web engine as a child filling it.
#pragma once

#include "engine/contract.h"
#include "platform/afx/frame.h"

class CHtmlView : public CView, protected vireo::engine::BrowserSite {
    DECLARE_DYNCREATE(CHtmlView)
public:
    CHtmlView() = default;
    ~CHtmlView() override;

    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void Navigate2(LPCSTR lpszURL, DWORD dwFlags = 0, LPCSTR lpszTargetFrameName = nullptr,
                   LPCSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);

    // Engine events, as narrow strings in the ANSI code page; by default they do nothing.
    void OnTitleChange(LPCSTR lpszText) override;
    void OnNavigateComplete2(LPCSTR strURL) override;
    void OnDocumentComplete(LPCSTR lpszURL) override;
    // The external object page script sees; by default there is none.
    HRESULT OnGetExternal(LPDISPATCH* lppDispatch) override;

    DECLARE_MESSAGE_MAP()

protected:
    void OnDestroy();

    IWebBrowser2* m_pBrowserApp = nullptr;
};
