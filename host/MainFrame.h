// The main frame: the application's only top-level window, which owns the full-screen
// state.
#pragma once

#include "platform/afx/afxwin.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void EnterFullScreen();
    void LeaveFullScreen();
    BOOL IsFullScreen() const { return m_bFullScreen; }

    DECLARE_MESSAGE_MAP()

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    // Steps shared by LeaveFullScreen and the Esc key: frame back, then the place it had.
    void RestoreWindowedMode();

    BOOL m_bFullScreen;
    RECT m_rcRestore;
};
