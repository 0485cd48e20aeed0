// The browser view: it fills the main frame and shows the book.
#pragma once

#include "platform/afx/afxwin.h"

class CVireoWebBrowserView : public CView {
    DECLARE_DYNCREATE(CVireoWebBrowserView)
public:
    ~CVireoWebBrowserView() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;

    DECLARE_MESSAGE_MAP()

protected:
    CVireoWebBrowserView();

    BOOL m_bFocusSet;
};
