// The framework over the platform itself: its strings are compiled into the program
// (framework.rc), keys arrive through the message queue where the loop pre-translates
// them, and the frame lays out its view.
#include "platform/afx/backend.h"
#include "platform/win/msgbox_answers.h"

#include <string>

namespace vireo::afx {

void PrepareFrameworkResources() {}

void BeginPreTranslation(BOOL (*)(MSG*)) {}

void EndPreTranslation() {}

// Without a caption the platform titles a box "Error"; the text goes out in the ANSI
// code page, as the program holds it.
int ShowMessageBox(HWND hWndOwner, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    if (!vireo::win::UnattendedMessageBoxes())
        return ::MessageBoxA(hWndOwner, lpText, lpCaption, uType);
    std::string line = std::string(lpCaption ? lpCaption : "Error") + ": " + (lpText ? lpText : "") + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
                nullptr);
    return vireo::win::MessageBoxDefaultAnswer(uType);
}

void FillClientArea(HWND hWndFrame, HWND hWndView) {
    RECT client;
    if (hWndView && ::GetClientRect(hWndFrame, &client))
        ::MoveWindow(hWndView, 0, 0, client.right - client.left, client.bottom - client.top, TRUE);
}

} // namespace vireo::afx
