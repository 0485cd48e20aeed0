// The desktop that realises the layer's windows and message boxes: GTK for the shipped
// program, a simulated one for tests. A desktop holds no Windows semantics of its own;
// the layer decides, the desktop carries out.
#pragma once

#include <optional>
#include <string>

#include "platform/win/types.h"

namespace vireo::win {
struct DialogTemplate;
struct FileChooserRequest;
} // namespace vireo::win

namespace vireo::win {

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual void CreateNativeWindow(HWND hwnd, HWND parent, DWORD style, DWORD exStyle) = 0;
    virtual void DestroyNativeWindow(HWND hwnd) = 0;
    // Shows or hides a window; `maximized` asks for the maximized state.
    virtual void ShowNativeWindow(HWND hwnd, bool visible, bool maximized) = 0;
    virtual void SetNativeText(HWND hwnd, const std::string& utf8) = 0;
    virtual void SetNativeIcon(HWND hwnd, HICON icon) = 0;
    // A top-level window's frame: caption (WS_CAPTION) and sizing border (WS_THICKFRAME).
    virtual void SetNativeFrame(HWND hwnd, bool caption, bool sizingBorder) = 0;
    // Places a top-level window: its outer rectangle when `rect` is given, its place in
    // the z-order (+1 topmost, -1 not topmost, 0 unchanged), and whether it goes back to
    // the maximized state it has in its style.
    virtual void SetNativePosition(HWND hwnd, const RECT* rect, int topmost, bool maximized) = 0;
    // The outer rectangle of a window in screen pixels; false when it has none.
    virtual bool NativeWindowRect(HWND hwnd, RECT& rect) = 0;
    virtual bool NativeIsMaximized(HWND hwnd) = 0;
    virtual RECT PrimaryMonitor() = 0;
    // Gives a window the keyboard focus (for a window that hosts the engine: the page).
    virtual void SetNativeFocus(HWND hwnd) = 0;
    // Whether a modifier (VK_SHIFT, VK_CONTROL, VK_MENU) is held, as of the input event
    // being handled.
    virtual bool ModifierDown(int virtualKey) = 0;

    // Blocks until something happened that may have queued a message; native events are
    // handled inside.
    virtual void WaitForEvents() = 0;
    // Ends a wait from inside the process (a message was posted).
    virtual void WakeUp() = 0;

    // A modal dialog built from `dialog`; returns the identifier of the button that ended
    // it, IDCANCEL for Esc or the close box.
    virtual INT_PTR RunModalDialog(HWND owner, const DialogTemplate& dialog) = 0;

    // The desktop's modal chooser of an existing file: its host path (UTF-8), or nothing
    // when the user cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(HWND owner, const FileChooserRequest& request) = 0;

    // A modal message box in UTF-8; returns the button pressed (IDOK and so on).
    virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                               UINT type) = 0;
};

void InstallDesktop(Desktop* desktop);
Desktop* CurrentDesktop();

} // namespace vireo::win
