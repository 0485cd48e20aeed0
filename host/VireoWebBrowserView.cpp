#include "host/VireoWebBrowserView.h"

#include "app/ExeLocation.h"
#include "app/StartPage.h"

IMPLEMENT_DYNCREATE(CVireoWebBrowserView, CView)

BEGIN_MESSAGE_MAP(CVireoWebBrowserView, CView)
END_MESSAGE_MAP()

CVireoWebBrowserView::CVireoWebBrowserView() : m_bFocusSet(FALSE) {}

CVireoWebBrowserView::~CVireoWebBrowserView() = default;

BOOL CVireoWebBrowserView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    return CView::PreCreateWindow(cs);
}

void CVireoWebBrowserView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    ::SetCurrentDirectoryA(GetExeDir());
    std::string strStartPage = FindStartPage();
    // FIXME: navigate the engine to the start page once the view hosts it.
    (void)strStartPage;
}
