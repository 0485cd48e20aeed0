#include "platform/win/msgbox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win/codepage.h"
#include "platform/win/desktop.h"

namespace {

std::vector<int> Buttons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
        return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
        return {IDOK};
    }
}

bool Unattended() {
    const char* v = std::getenv("VIREO_UNATTENDED");
    return v && std::strcmp(v, "1") == 0;
}

} // namespace

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    std::string text = vireo::win::AnsiToUtf8(lpText ? lpText : "");
    // The platform's caption when none is given.
    std::string caption = lpCaption ? vireo::win::AnsiToUtf8(lpCaption) : std::string("Error");
    std::vector<int> buttons = Buttons(uType);
    std::size_t def = (uType & MB_DEFMASK) >> 8;
    int defaultAnswer = def < buttons.size() ? buttons[def] : buttons[0];
    vireo::win::Desktop* desktop = vireo::win::CurrentDesktop();
    if (Unattended() || !desktop) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        return defaultAnswer;
    }
    return desktop->ShowMessageBox(hWnd, text, caption, uType);
}
