#include "platform/win/window.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "platform/win/codepage.h"
#include "platform/win/desktop.h"
#include "platform/win/errors.h"

using namespace vireo::win;

namespace {

struct Window {
    std::string className;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
    UINT_PTR id = 0;  // a child's control identifier
    std::string text; // ANSI
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    bool destroying = false;
    bool topmost = false;
};

struct State {
    std::map<std::string, WNDCLASSA> classes; // by folded name
    std::map<HWND, Window> windows;
    std::vector<HWND> order; // creation order, for finding children
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    ULONG_PTR nextHandle = 0x10010;
    HWND focus = nullptr;
    BOOL (*inputFilter)(MSG*) = nullptr;
    bool filtering = false;
    Desktop* desktop = nullptr;
};

State& S() {
    static State state;
    return state;
}

Window* Find(HWND hwnd) {
    auto it = S().windows.find(hwnd);
    return it == S().windows.end() ? nullptr : &it->second;
}

Desktop* Native() {
    return S().desktop;
}

std::string FoldedClass(LPCSTR name) {
    return FoldCaseUtf8(AnsiToUtf8(name ? name : ""));
}

// The desktop window stands for the primary monitor.
const HWND kDesktopWindow = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x10010 - 2));

} // namespace

namespace vireo::win {

bool IsTopMost(HWND hWnd) {
    Window* w = Find(hWnd);
    return w && w->topmost;
}

void SetInputFilter(BOOL (*filter)(MSG* pMsg)) {
    S().inputFilter = filter;
}

bool PreTranslateInput(MSG* pMsg) {
    // A key that arrives while one is being handled (inside a page call, say) takes the
    // ordinary path: the pre-translation is not entered twice.
    if (!S().inputFilter || S().filtering)
        return false;
    S().filtering = true;
    bool consumed = S().inputFilter(pMsg) != FALSE;
    S().filtering = false;
    return consumed;
}

void InstallDesktop(Desktop* desktop) {
    S().desktop = desktop;
}
Desktop* CurrentDesktop() {
    return S().desktop;
}

HICON WindowIcon(HWND hWnd, WPARAM which) {
    Window* w = Find(hWnd);
    return !w ? nullptr : which == ICON_BIG ? w->bigIcon : w->smallIcon;
}

std::size_t WindowCount() {
    return S().windows.size();
}

void ResetWindows() {
    std::vector<HWND> tops;
    for (HWND h : S().order)
        if (Window* w = Find(h); w && !w->parent)
            tops.push_back(h);
    for (HWND h : tops)
        ::DestroyWindow(h);
    S().windows.clear();
    S().order.clear();
    S().queue.clear();
    S().quitPosted = false;
    S().quitCode = 0;
}

} // namespace vireo::win

ATOM RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name = FoldedClass(wc->lpszClassName);
    if (S().classes.count(name)) {
        SetLastError(1410); // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    S().classes[name] = *wc;
    return static_cast<ATOM>(0xC000 + S().classes.size());
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR lpClassName, WNDCLASSA* lpWndClass) {
    auto it = S().classes.find(FoldedClass(lpClassName));
    if (it == S().classes.end())
        return FALSE;
    if (lpWndClass)
        *lpWndClass = it->second;
    return TRUE;
}

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     LPVOID lpParam) {
    auto cls = S().classes.find(FoldedClass(lpClassName));
    if (cls == S().classes.end()) {
        SetLastError(1407); // ERROR_CANNOT_FIND_WND_CLASS
        return nullptr;
    }
    if ((dwStyle & WS_CHILD) && !Find(hWndParent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND hwnd = reinterpret_cast<HWND>(S().nextHandle);
    S().nextHandle += 2;
    Window w;
    w.className = lpClassName;
    w.proc = cls->second.lpfnWndProc;
    w.style = dwStyle & ~WS_VISIBLE; // visible once shown below
    w.exStyle = dwExStyle;
    w.parent = hWndParent;
    // A child's "menu" is its control identifier.
    w.menu = (dwStyle & WS_CHILD) ? nullptr : hMenu;
    w.id = (dwStyle & WS_CHILD) ? reinterpret_cast<UINT_PTR>(hMenu) : 0;
    w.text = lpWindowName ? lpWindowName : "";
    S().windows[hwnd] = w;
    S().order.push_back(hwnd);
    if (Native())
        Native()->CreateNativeWindow(hwnd, hWndParent, w.style, dwExStyle);
    if (Native() && !w.text.empty())
        Native()->SetNativeText(hwnd, AnsiToUtf8(w.text));

    CREATESTRUCTA cs{
        lpParam,      hInstance,   hMenu,    hWndParent, nHeight, nWidth, Y, X, static_cast<LONG>(dwStyle),
        lpWindowName, lpClassName, dwExStyle};
    LPARAM lp = reinterpret_cast<LPARAM>(&cs);
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, lp) || SendMessageA(hwnd, WM_CREATE, 0, lp) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (dwStyle & WS_VISIBLE)
        ShowWindow(hwnd, (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return hwnd;
}

BOOL DestroyWindow(HWND hWnd) {
    Window* w = Find(hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying)
        return TRUE;
    w->destroying = true;
    // The window hears WM_DESTROY before its children; WM_NCDESTROY comes after theirs.
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    for (HWND h : S().order)
        if (Window* c = Find(h); c && c->parent == hWnd && (c->style & WS_CHILD))
            children.push_back(h);
    for (HWND c : children)
        DestroyWindow(c);
    SendMessageA(hWnd, WM_NCDESTROY, 0, 0);
    if (Native())
        Native()->DestroyNativeWindow(hWnd);
    S().windows.erase(hWnd);
    S().order.erase(std::remove(S().order.begin(), S().order.end(), hWnd), S().order.end());
    // Messages still queued for it are dropped, as the platform drops them.
    auto& q = S().queue;
    q.erase(std::remove_if(q.begin(), q.end(), [&](const MSG& m) { return m.hwnd == hWnd; }), q.end());
    return TRUE;
}

BOOL IsWindow(HWND hWnd) {
    return Find(hWnd) != nullptr || hWnd == kDesktopWindow;
}

BOOL IsWindowVisible(HWND hWnd) {
    for (Window* w = Find(hWnd); w; w = (w->style & WS_CHILD) ? Find(w->parent) : nullptr) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
        if (!(w->style & WS_CHILD))
            return TRUE;
    }
    return FALSE;
}

BOOL IsZoomed(HWND hWnd) {
    Window* w = Find(hWnd);
    if (!w)
        return FALSE;
    if (Native() && (w->style & WS_VISIBLE))
        return Native()->NativeIsMaximized(hWnd) ? TRUE : FALSE;
    return (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hWnd) {
    Window* w = Find(hWnd);
    return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = Find(hWnd);
    if (!w)
        return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    bool visible = nCmdShow != SW_HIDE;
    DWORD style = w->style & ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
    if (visible)
        style |= WS_VISIBLE;
    if (nCmdShow == SW_SHOWMAXIMIZED)
        style |= WS_MAXIMIZE;
    else if (nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINNOACTIVE)
        style |= WS_MINIMIZE;
    else if (nCmdShow != SW_SHOWNORMAL && nCmdShow != SW_RESTORE && nCmdShow != SW_SHOWDEFAULT)
        style |= w->style & (WS_MAXIMIZE | WS_MINIMIZE); // the state stays as it was
    w->style = style;
    if (Native())
        Native()->ShowNativeWindow(hWnd, visible, (style & WS_MAXIMIZE) != 0);
    if (visible != static_cast<bool>(wasVisible))
        SendMessageA(hWnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    return wasVisible;
}

BOOL UpdateWindow(HWND hWnd) {
    return Find(hWnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hWnd) {
    Window* w = Find(hWnd);
    return w ? w->parent : nullptr;
}

HMENU GetMenu(HWND hWnd) {
    Window* w = Find(hWnd);
    return w ? w->menu : nullptr;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!Find(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return static_cast<BOOL>(
        SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")));
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!Find(hWnd) || !lpString || nMaxCount <= 0)
        return 0;
    return static_cast<int>(
        SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd) {
    return Find(hWnd) ? static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
    Window* w = Find(hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (nIndex) {
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    case GWL_ID:
        return static_cast<LONG>(w->id);
    default:
        SetLastError(1413); // ERROR_INVALID_INDEX
        return 0;
    }
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    Window* w = Find(hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG old = GetWindowLongA(hWnd, nIndex);
    // A new style takes effect on the frame with the next SWP_FRAMECHANGED, as on the platform.
    if (nIndex == GWL_STYLE)
        w->style = static_cast<DWORD>(dwNewLong);
    else if (nIndex == GWL_EXSTYLE)
        w->exStyle = static_cast<DWORD>(dwNewLong);
    else
        return 0;
    return old;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect)
        return FALSE;
    if (hWnd == kDesktopWindow) {
        *lpRect = Native() ? Native()->PrimaryMonitor() : RECT{0, 0, 1024, 768};
        return TRUE;
    }
    if (!Find(hWnd) || !Native())
        return FALSE;
    return Native()->NativeWindowRect(hWnd, *lpRect) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    RECT r;
    if (!GetWindowRect(hWnd, &r))
        return FALSE;
    *lpRect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

HWND GetDesktopWindow() {
    return kDesktopWindow;
}

HWND SetFocus(HWND hWnd) {
    if (hWnd && !Find(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND previous = S().focus;
    S().focus = hWnd;
    if (previous && previous != hWnd && Find(previous))
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd && Native())
        Native()->SetNativeFocus(hWnd);
    if (hWnd && previous != hWnd)
        SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

SHORT GetKeyState(int nVirtKey) {
    Desktop* desktop = CurrentDesktop();
    return desktop && desktop->ModifierDown(nVirtKey) ? static_cast<SHORT>(0x8000) : 0;
}

HWND GetFocus() {
    return Find(S().focus) ? S().focus : nullptr;
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return w->proc(hWnd, Msg, wParam, lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !Find(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    S().queue.push_back(MSG{hWnd, Msg, wParam, lParam, 0, {0, 0}});
    if (Native())
        Native()->WakeUp();
    return TRUE;
}

void PostQuitMessage(int nExitCode) {
    S().quitPosted = true;
    S().quitCode = nExitCode;
    if (Native())
        Native()->WakeUp();
}

BOOL GetMessageA(LPMSG lpMsg, HWND, UINT, UINT) {
    for (;;) {
        if (!S().queue.empty()) {
            *lpMsg = S().queue.front();
            S().queue.pop_front();
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        }
        // The quit flag is seen only once the queue is empty, as on the platform.
        if (S().quitPosted) {
            S().quitPosted = false;
            *lpMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(S().quitCode), 0, 0, {0, 0}};
            return FALSE;
        }
        if (!Native()) {
            // Without a desktop nothing can ever arrive: end the loop rather than hang.
            *lpMsg = MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}};
            return FALSE;
        }
        Native()->WaitForEvents();
    }
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg || !lpMsg->hwnd)
        return 0;
    return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hWnd);
    if (!w)
        return 0;
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SETTEXT:
        w->text = reinterpret_cast<LPCSTR>(lParam);
        if (Native())
            Native()->SetNativeText(hWnd, AnsiToUtf8(w->text));
        return TRUE;
    case WM_GETTEXT: {
        std::size_t max = static_cast<std::size_t>(wParam);
        if (max == 0)
            return 0;
        std::size_t n = std::min(max - 1, w->text.size());
        std::memcpy(reinterpret_cast<LPSTR>(lParam), w->text.data(), n);
        reinterpret_cast<LPSTR>(lParam)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
        HICON old = slot;
        slot = reinterpret_cast<HICON>(lParam);
        if (Native() && wParam == ICON_BIG)
            Native()->SetNativeIcon(hWnd, slot);
        return reinterpret_cast<LRESULT>(old);
    }
    default:
        return 0;
    }
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    Window* w = Find(hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool top = !(w->style & WS_CHILD);
    // A changed style reaches the frame only with SWP_FRAMECHANGED, as on the platform.
    if (top && Native() && (uFlags & SWP_FRAMECHANGED))
        Native()->SetNativeFrame(hWnd, (w->style & WS_CAPTION) == WS_CAPTION,
                                 (w->style & WS_THICKFRAME) != 0);
    int topmost = 0;
    if (!(uFlags & SWP_NOZORDER)) {
        if (hWndInsertAfter == HWND_TOPMOST)
            topmost = 1;
        else if (hWndInsertAfter == HWND_NOTOPMOST)
            topmost = -1;
        if (topmost)
            w->topmost = topmost > 0;
    }
    bool move = !(uFlags & SWP_NOMOVE), size = !(uFlags & SWP_NOSIZE);
    if (top && Native() && (move || size || topmost)) {
        RECT r{0, 0, 0, 0};
        Native()->NativeWindowRect(hWnd, r);
        if (move) {
            r.right = X + (r.right - r.left);
            r.bottom = Y + (r.bottom - r.top);
            r.left = X;
            r.top = Y;
        }
        if (size) {
            r.right = r.left + cx;
            r.bottom = r.top + cy;
        }
        // A maximized window keeps its state: once it has its frame again it is shown
        // maximized, which is where the platform would have put it.
        bool maximized = (w->style & WS_MAXIMIZE) && (w->style & WS_CAPTION) == WS_CAPTION;
        Native()->SetNativePosition(hWnd, (move || size) ? &r : nullptr, topmost, maximized);
    }
    if ((uFlags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE))
        ShowWindow(hWnd, (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNA);
    else if (uFlags & SWP_HIDEWINDOW)
        ShowWindow(hWnd, SW_HIDE);
    return TRUE;
}
