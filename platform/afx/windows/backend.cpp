// The framework over the platform itself: its strings are compiled into the program
// (framework.rc), keys arrive through the message queue where the loop pre-translates
// them, and the frame lays out its view.
#include "platform/afx/backend.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace vireo::afx {
namespace {

bool Unattended() {
    const char* v = std::getenv("VIREO_UNATTENDED");
    return v && std::strcmp(v, "1") == 0;
}

// The button a box of this type answers with when its default is taken: the platform
// falls back to the first button when MB_DEFBUTTONn names one the box does not have.
int DefaultAnswer(UINT uType) {
    static const int buttons[][3] = {
        {IDOK, 0, 0},                       // MB_OK
        {IDOK, IDCANCEL, 0},                // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},       // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},            // MB_YESNOCANCEL
        {IDYES, IDNO, 0},                   // MB_YESNO
        {IDRETRY, IDCANCEL, 0},             // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, // MB_CANCELTRYCONTINUE
    };
    UINT kind = uType & MB_TYPEMASK;
    if (kind >= sizeof buttons / sizeof buttons[0])
        kind = MB_OK;
    UINT index = (uType & MB_DEFMASK) >> 8;
    if (index >= 3 || buttons[kind][index] == 0)
        index = 0;
    return buttons[kind][index];
}

} // namespace

void PrepareFrameworkResources() {}

void BeginPreTranslation(BOOL (*)(MSG*)) {}

void EndPreTranslation() {}

// Without a caption the platform titles a box "Error"; the text goes out in the ANSI
// code page, as the program holds it.
int ShowMessageBox(HWND hWndOwner, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    if (!Unattended())
        return ::MessageBoxA(hWndOwner, lpText, lpCaption, uType);
    std::string line = std::string(lpCaption ? lpCaption : "Error") + ": " + (lpText ? lpText : "") + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
                nullptr);
    return DefaultAnswer(uType);
}

void FillClientArea(HWND hWndFrame, HWND hWndView) {
    RECT client;
    if (hWndView && ::GetClientRect(hWndFrame, &client))
        ::MoveWindow(hWndView, 0, 0, client.right - client.left, client.bottom - client.top, TRUE);
}

} // namespace vireo::afx
