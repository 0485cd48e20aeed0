#include "host/MainFrame.h"

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
    // FIXME: full-screen mode comes with the browser view.
}

void CMainFrame::LeaveFullScreen() {
    // FIXME: full-screen mode comes with the browser view.
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg) {
    return CFrameWnd::PreTranslateMessage(pMsg);
}
