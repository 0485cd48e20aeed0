#include "tests/windows/shell/shell.h"

#include <memory>

namespace vireo::test {

namespace {

Shell* g_running = nullptr;

// Stops at the first visible dialog box, which it leaves in *out.
BOOL CALLBACK FindDialog(HWND h, LPARAM out) {
    char cls[16] = {};
    ::GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) == "#32770" && ::IsWindowVisible(h)) {
        *reinterpret_cast<HWND*>(out) = h;
        return FALSE;
    }
    return TRUE;
}

const char kCompanyKey[] = "Software\\로컬 응용 프로그램 마법사에서 생성된 응용 프로그램";

} // namespace

void Shell::SetUp() {
    ASSERT_EQ(::GetACP(), 949u)
        << "the program is meant for code page 949; the Wine test sets a Korean locale";
    // Every run starts without the settings an earlier one kept.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
    ASSERT_NE(::GetFileAttributesA(StartPage().c_str()), INVALID_FILE_ATTRIBUTES)
        << "the book is missing beside the test program: " << StartPage();
}

void Shell::TearDown() {
    BYTE keys[256] = {};
    ::SetKeyboardState(keys);
}

int Shell::Run(std::vector<Step> steps, std::vector<std::string> args) {
    m_steps = std::move(steps);
    m_closing = false;
    m_closingTurns = 0;
    stepsRun = 0;
    g_running = this;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Tick);

    CVireoWebBrowserApp app;
    args.insert(args.begin(), "VireoPlayer");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    int code = AfxWinMain(static_cast<int>(argv.size()), argv.data(), SW_SHOWNORMAL);

    ::KillTimer(nullptr, timer);
    g_running = nullptr;
    return code;
}

void CALLBACK Shell::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running)
        g_running->OnTick();
}

void Shell::OnTick() {
    CWnd* main = AfxGetMainWnd();
    if (m_closing) {
        // A box a failing test left open would keep the program from closing: it is
        // cancelled after a second, so that the run ends and the checks tell.
        if (++m_closingTurns % 50 == 0)
            if (HWND dialog = ShownDialog())
                ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (!main || !::IsWindowVisible(main->m_hWnd))
        return;
    if (m_ready) {
        if (!m_ready() && ++m_waitTurns < 150)
            return;
        m_ready = nullptr;
    }
    if (static_cast<std::size_t>(stepsRun) < m_steps.size()) {
        Step step = m_steps[static_cast<std::size_t>(stepsRun++)];
        step();
        return;
    }
    m_closing = true;
    main->PostMessage(WM_CLOSE);
}

Shell::Step Shell::WaitUntil(std::function<bool()> ready) {
    return [this, ready] {
        m_ready = ready;
        m_waitTurns = 0;
    };
}

Shell::Step Shell::Settle() {
    // Five steady turns: 100 ms without a change.
    return [this] {
        auto last = std::make_shared<std::array<LONG, 6>>(Placement());
        auto steady = std::make_shared<int>(0);
        WaitUntil([this, last, steady] {
            std::array<LONG, 6> now = Placement();
            *steady = now == *last ? *steady + 1 : 0;
            *last = now;
            return *steady >= 5;
        })();
    };
}

std::array<LONG, 6> Shell::Placement() {
    HWND h = Frame()->m_hWnd;
    RECT r;
    ::GetWindowRect(h, &r);
    return {
        r.left, r.top, r.right, r.bottom, ::GetWindowLongA(h, GWL_STYLE), ::GetWindowLongA(h, GWL_EXSTYLE)};
}

HWND Shell::ShownDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string Shell::ExeFolder() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, n);
    return file.substr(0, file.find_last_of('\\'));
}

CMainFrame* Shell::Frame() {
    return dynamic_cast<CMainFrame*>(AfxGetMainWnd());
}

CVireoWebBrowserView* Shell::View() {
    CMainFrame* frame = Frame();
    return frame ? dynamic_cast<CVireoWebBrowserView*>(frame->GetActiveView()) : nullptr;
}

std::string Shell::Caption() {
    char text[256] = {};
    ::GetWindowTextA(Frame()->m_hWnd, text, sizeof text);
    return text;
}

void Shell::PostKey(UINT message, WPARAM vk) {
    HWND target = ::GetFocus();
    if (!target)
        target = View()->m_hWnd;
    UINT scan = ::MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
    LPARAM lParam = 1 | static_cast<LPARAM>(scan) << 16;
    if (message == WM_KEYUP || message == WM_SYSKEYUP)
        lParam |= static_cast<LPARAM>(3u << 30); // it was down and goes up
    if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
        lParam |= 1 << 29; // Alt is held
    ::PostMessageA(target, message, vk, lParam);
}

void Shell::HoldKey(int vk, bool down) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

} // namespace vireo::test
