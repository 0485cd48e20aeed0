#include "tests/windows/shell/shell.h"

namespace vireo::test {

namespace {

Shell* g_running = nullptr;

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
    if (!main || !::IsWindowVisible(main->m_hWnd) || m_closing)
        return;
    if (m_settling) {
        std::array<LONG, 6> now = Placement();
        m_steadyTurns = now == m_lastPlacement ? m_steadyTurns + 1 : 0;
        m_lastPlacement = now;
        // Five steady turns (100 ms), or give up after three seconds and let the checks tell.
        if (m_steadyTurns < 5 && ++m_settleTurns < 150)
            return;
        m_settling = false;
    }
    if (static_cast<std::size_t>(stepsRun) < m_steps.size()) {
        Step step = m_steps[static_cast<std::size_t>(stepsRun++)];
        step();
        return;
    }
    m_closing = true;
    main->PostMessage(WM_CLOSE);
}

Shell::Step Shell::Settle() {
    return [this] {
        m_settling = true;
        m_steadyTurns = 0;
        m_settleTurns = 0;
        m_lastPlacement = Placement();
    };
}

std::array<LONG, 6> Shell::Placement() {
    HWND h = Frame()->m_hWnd;
    RECT r;
    ::GetWindowRect(h, &r);
    return {
        r.left, r.top, r.right, r.bottom, ::GetWindowLongA(h, GWL_STYLE), ::GetWindowLongA(h, GWL_EXSTYLE)};
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
