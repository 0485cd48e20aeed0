#include "host/MainFrame.h"

#include "host/VireoWebBrowserView.h"
#include "res/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_bFullScreen(FALSE), m_rcRestore{0, 0, 0, 0} {}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    HICON hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HICON hPrevious =
        reinterpret_cast<HICON>(SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon)));
    if (hPrevious && hPrevious != hIcon)
        ::DestroyIcon(hPrevious);
    return 0;
}

void CMainFrame::EnterFullScreen() {
    if (m_bFullScreen)
        return;
    m_bFullScreen = TRUE;
    GetWindowRect(&m_rcRestore);
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, SWP_FRAMECHANGED);
    RECT rcDesktop;
    ::GetWindowRect(::GetDesktopWindow(), &rcDesktop);
    SetWindowPos(&CWnd::wndTopMost, rcDesktop.left, rcDesktop.top, rcDesktop.right, rcDesktop.bottom,
                 SWP_SHOWWINDOW);
}

void CMainFrame::LeaveFullScreen() {
    if (!m_bFullScreen)
        return;
    RestoreWindowedMode();
}

void CMainFrame::RestoreWindowedMode() {
    m_bFullScreen = FALSE;
    ModifyStyle(0, WS_CAPTION | WS_THICKFRAME, SWP_FRAMECHANGED);
    SetWindowPos(&CWnd::wndNoTopMost, m_rcRestore.left, m_rcRestore.top, m_rcRestore.right - m_rcRestore.left,
                 m_rcRestore.bottom - m_rcRestore.top, SWP_SHOWWINDOW);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE && m_bFullScreen) {
        RestoreWindowedMode();
        if (auto* pView = dynamic_cast<CVireoWebBrowserView*>(GetActiveView()))
            pView->CallScriptFunction("_exitFullscreen", "");
        return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}
