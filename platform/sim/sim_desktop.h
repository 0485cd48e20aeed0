// A deterministic desktop for tests: windows with their styles, rectangles and
// captions, message boxes answered from a script, and an idle hook that plays the
// user when the message loop has nothing left to do.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win/commdlg.h"
#include "platform/win/desktop.h"

namespace vireo::sim {

struct MessageBoxRecord {
    HWND owner;
    std::string text;    // UTF-8
    std::string caption; // UTF-8
    UINT type;
};

struct SimWindow {
    HWND parent = nullptr;
    DWORD style = 0;
    bool visible = false;
    bool maximized = false;
    bool everShown = false;
    std::string text; // UTF-8
    HICON icon = nullptr;
    RECT rect{100, 100, 900, 700};
    bool caption = true;      // decorations: title bar
    bool sizingBorder = true; // decorations: resizable border
    bool topmost = false;
    int placements = 0; // how often the window was moved or resized
};

class SimDesktop final : public win::Desktop {
public:
    SimDesktop();
    ~SimDesktop() override;

    // Everything the desktop saw, for the test to check.
    std::vector<MessageBoxRecord> messageBoxes;
    std::map<HWND, SimWindow> windows;
    std::vector<HWND> everCreated;
    RECT primaryMonitor{0, 0, 1920, 1080};

    // Dialogs shown (their template identifiers) and answers for the next ones; without
    // one a dialog ends with IDOK, as its default button would.
    std::vector<UINT> dialogsShown;
    std::deque<INT_PTR> dialogAnswers;
    INT_PTR RunModalDialog(HWND owner, const win::DialogTemplate& dialog) override;

    // File choosers shown and the host paths chosen in the next ones (nothing: cancelled);
    // without an answer a chooser is cancelled.
    std::vector<win::FileChooserRequest> fileChoosersShown;
    std::deque<std::optional<std::string>> fileAnswers;
    std::optional<std::string> ChooseFileToOpen(HWND owner, const win::FileChooserRequest& request) override;

    // Answers for the next message boxes; without one a box answers with its default button.
    std::deque<int> answers;
    // Called when the message loop would wait; it must make something happen (close the
    // main window, say), or the run is aborted as a hang.
    std::function<void()> onIdle;

    // Delivers a key as a desktop does: offered to the pre-translation first, with the
    // modifiers given held (VK_SHIFT, VK_CONTROL). Returns whether it was consumed; keys
    // that were not are kept as having reached the engine.
    bool Key(UINT message, WPARAM virtualKey, std::vector<int> modifiers = {});
    std::vector<std::pair<UINT, WPARAM>> keysToEngine;
    std::vector<int> modifiersHeld;

    // The top-level windows that exist now.
    std::vector<HWND> TopLevelWindows() const;

    bool ModifierDown(int virtualKey) override;
    void CreateNativeWindow(HWND hwnd, HWND parent, DWORD style, DWORD exStyle) override;
    void DestroyNativeWindow(HWND hwnd) override;
    void ShowNativeWindow(HWND hwnd, bool visible, bool maximized) override;
    void SetNativeText(HWND hwnd, const std::string& utf8) override;
    void SetNativeIcon(HWND hwnd, HICON icon) override;
    void SetNativeFrame(HWND hwnd, bool caption, bool sizingBorder) override;
    void SetNativePosition(HWND hwnd, const RECT* rect, int topmost, bool maximized) override;
    // The rectangle a maximized window gets: the monitor less its task bar.
    RECT workArea{0, 0, 1920, 1040};
    bool NativeWindowRect(HWND hwnd, RECT& rect) override;
    bool NativeIsMaximized(HWND hwnd) override;
    RECT PrimaryMonitor() override { return primaryMonitor; }
    void SetNativeFocus(HWND hwnd) override { focused = hwnd; }
    HWND focused = nullptr;
    void WaitForEvents() override;
    void WakeUp() override {}
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;

private:
    int m_idleRounds = 0;
};

} // namespace vireo::sim
