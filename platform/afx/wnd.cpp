#include "platform/afx/wnd.h"

#include <map>
#include <vector>

#include "platform/afx/afxres.h"
#include "platform/afx/frame.h"
#include "platform/afx/winapp.h"

namespace {

std::map<HWND, CWnd*>& Permanent() {
    static std::map<HWND, CWnd*> map;
    return map;
}

// The object whose window CreateWindowExA is making; it is attached on the first
// message the new window receives.
thread_local CWnd* t_pWndInit = nullptr;

struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local std::vector<CurrentMessage> t_messages;

} // namespace

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

LPCSTR AfxFrameOrViewClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        wc.lpszClassName = "AfxFrameOrView";
        RegisterClassA(&wc);
        return "AfxFrameOrView";
    }();
    return name;
}

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND h = m_hWnd;
        Detach();
        ::DestroyWindow(h);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto it = Permanent().find(hWnd);
    return it == Permanent().end() ? nullptr : it->second;
}

void CWnd::Detach() {
    if (m_hWnd)
        Permanent().erase(m_hWnd);
    m_hWnd = nullptr;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd && t_pWndInit) {
        pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        pWnd->m_hWnd = hWnd;
        Permanent()[hWnd] = pWnd;
    }
    if (!pWnd)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    t_messages.push_back({hWnd, message, wParam, lParam});
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    t_messages.pop_back();
    return result;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    CREATESTRUCT cs{lpParam, AfxGetInstanceHandle(),     nIDorHMenu,     hWndParent,    nHeight,  nWidth, y,
                    x,       static_cast<LONG>(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    t_pWndInit = this;
    HWND hWnd =
        ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                          cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    bool neverAttached = t_pWndInit == this;
    t_pWndInit = nullptr;
    if (neverAttached)
        PostNcDestroy(); // the window failed before its first message
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxFrameOrViewClass();
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd); pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry)
        return FALSE;
    *pResult = entry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr, nullptr);
}

LRESULT CWnd::Default() {
    if (t_messages.empty())
        return 0;
    const CurrentMessage& m = t_messages.back();
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}

void CWnd::OnNcDestroy() {
    // The main window's end ends the application's message loop.
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
        AfxPostQuitMessage(0);
        app->m_pMainWnd = nullptr;
    }
    Default();
    Detach();
    PostNcDestroy();
}

void CWnd::PostNcDestroy() {}

void CWnd::GetWindowText(CString& rString) const {
    int n = ::GetWindowTextLengthA(m_hWnd);
    LPSTR buffer = rString.GetBufferSetLength(n + 1);
    ::GetWindowTextA(m_hWnd, buffer, n + 1);
    rString.ReleaseBuffer();
}

// Stand-ins for the special z-order places, as SetWindowPos takes them.
const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

// A changed style is written and, when flags are given, the frame is recomputed in
// place; an unchanged style changes nothing at all.
static BOOL ModifyStyleHelper(HWND hWnd, int nStyleOffset, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, nStyleOffset));
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongA(hWnd, nStyleOffset, static_cast<LONG>(dwNewStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleHelper(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleHelper(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (CWnd* p = GetParent(); p; p = p->GetParent())
        if (p->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(p);
    return nullptr;
}

CWnd* CWnd::GetDescendantWindow(int nID) const {
    for (auto& [hwnd, wnd] : Permanent()) {
        if (wnd == this || static_cast<int>(wnd->GetDlgCtrlID()) != nID)
            continue;
        for (HWND p = ::GetParent(hwnd); p; p = ::GetParent(p))
            if (p == m_hWnd)
                return wnd;
    }
    return nullptr;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<HWND> children;
    for (auto& [hwnd, wnd] : Permanent())
        if (::GetParent(hwnd) == m_hWnd && (::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
            children.push_back(hwnd);
    for (HWND h : children) {
        ::SendMessageA(h, message, wParam, lParam);
        if (CWnd* w = FromHandlePermanent(h))
            w->SendMessageToDescendants(message, wParam, lParam);
    }
}
