#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/win/dialog.h"
#include "platform/win/msgbox.h"
#include "platform/win/window.h"

namespace vireo::sim {

SimDesktop::SimDesktop() {
    win::InstallDesktop(this);
}

SimDesktop::~SimDesktop() {
    if (win::CurrentDesktop() == this) {
        win::ResetWindows();
        win::InstallDesktop(nullptr);
    }
}

bool SimDesktop::Key(UINT message, WPARAM virtualKey, std::vector<int> modifiers) {
    modifiersHeld = std::move(modifiers);
    MSG msg{};
    msg.hwnd = GetFocus();
    if (!msg.hwnd && !TopLevelWindows().empty())
        msg.hwnd = TopLevelWindows().front();
    msg.message = message;
    msg.wParam = virtualKey;
    msg.lParam = 1;
    bool consumed = win::PreTranslateInput(&msg);
    if (!consumed)
        keysToEngine.emplace_back(message, virtualKey);
    modifiersHeld.clear();
    return consumed;
}

bool SimDesktop::ModifierDown(int virtualKey) {
    return std::find(modifiersHeld.begin(), modifiersHeld.end(), virtualKey) != modifiersHeld.end();
}

std::vector<HWND> SimDesktop::TopLevelWindows() const {
    std::vector<HWND> tops;
    for (const auto& [hwnd, w] : windows)
        if (!(w.style & WS_CHILD))
            tops.push_back(hwnd);
    return tops;
}

void SimDesktop::CreateNativeWindow(HWND hwnd, HWND parent, DWORD style, DWORD) {
    SimWindow w;
    w.parent = parent;
    w.style = style;
    windows[hwnd] = w;
    everCreated.push_back(hwnd);
}

void SimDesktop::DestroyNativeWindow(HWND hwnd) {
    windows.erase(hwnd);
}

void SimDesktop::ShowNativeWindow(HWND hwnd, bool visible, bool maximized) {
    auto it = windows.find(hwnd);
    if (it == windows.end())
        return;
    it->second.visible = visible;
    it->second.everShown = it->second.everShown || visible;
    if (visible && !(it->second.style & WS_CHILD)) {
        it->second.maximized = maximized;
        if (maximized)
            it->second.rect = workArea;
    }
}

void SimDesktop::SetNativeText(HWND hwnd, const std::string& utf8) {
    if (auto it = windows.find(hwnd); it != windows.end())
        it->second.text = utf8;
}

void SimDesktop::SetNativeIcon(HWND hwnd, HICON icon) {
    if (auto it = windows.find(hwnd); it != windows.end())
        it->second.icon = icon;
}

void SimDesktop::SetNativeFrame(HWND hwnd, bool caption, bool sizingBorder) {
    if (auto it = windows.find(hwnd); it != windows.end()) {
        it->second.caption = caption;
        it->second.sizingBorder = sizingBorder;
    }
}

void SimDesktop::SetNativePosition(HWND hwnd, const RECT* rect, int topmost, bool maximized) {
    auto it = windows.find(hwnd);
    if (it == windows.end())
        return;
    if (topmost)
        it->second.topmost = topmost > 0;
    if (rect) {
        it->second.rect = maximized ? workArea : *rect;
        it->second.maximized = maximized;
        ++it->second.placements;
    }
}

bool SimDesktop::NativeWindowRect(HWND hwnd, RECT& rect) {
    auto it = windows.find(hwnd);
    if (it == windows.end())
        return false;
    rect = it->second.rect;
    return true;
}

bool SimDesktop::NativeIsMaximized(HWND hwnd) {
    auto it = windows.find(hwnd);
    return it != windows.end() && it->second.maximized;
}

void SimDesktop::WaitForEvents() {
    if (!onIdle || ++m_idleRounds > 1000) {
        std::fprintf(stderr, "sim: the message loop waits for input that no test provides\n");
        std::abort();
    }
    onIdle();
}

INT_PTR SimDesktop::RunModalDialog(HWND, const win::DialogTemplate& dialog) {
    dialogsShown.push_back(dialog.id);
    if (dialogAnswers.empty())
        return IDOK;
    INT_PTR answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

std::optional<std::string> SimDesktop::ChooseFileToOpen(HWND, const win::FileChooserRequest& request) {
    fileChoosersShown.push_back(request);
    if (fileAnswers.empty())
        return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

int SimDesktop::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    messageBoxes.push_back({owner, text, caption, type});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return win::MessageBoxLayoutOf(type).defaultAnswer;
}

} // namespace vireo::sim
