// The browser view: it fills the main frame and shows the book in the web engine.
#pragma once

#include "platform/afx/afxwin.h"
#include "platform/afx/htmlview.h"

class CVireoWebBrowserView : public CHtmlView {
    DECLARE_DYNCREATE(CVireoWebBrowserView)
public:
    ~CVireoWebBrowserView() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;
    void OnNavigateComplete2(LPCSTR strURL) override;
    void OnTitleChange(LPCSTR lpszText) override;
    void OnDocumentComplete(LPCSTR lpszURL) override;

    HRESULT OnGetExternal(LPDISPATCH* lppDispatch) override;

    void CallScriptFunction(const CString& strName, const CString& strArg);

    DECLARE_MESSAGE_MAP()
    DECLARE_DISPATCH_MAP()

    // The host object's members, as page script calls them.
    BOOL isNative();
    BOOL isFullscreen();
    BOOL requestFullscreen();
    BOOL exitFullscreen();
    BOOL appExit();

protected:
    CVireoWebBrowserView();

    BOOL m_bFocusSet;
};
