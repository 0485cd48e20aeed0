#include "platform/win/msgbox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win/codepage.h"
#include "platform/win/desktop.h"

namespace {

bool Unattended() {
    const char* v = std::getenv("VIREO_UNATTENDED");
    return v && std::strcmp(v, "1") == 0;
}

} // namespace

namespace vireo::win {

MessageBoxLayout MessageBoxLayoutOf(UINT type) {
    const MessageBoxButton ok{IDOK, "확인"}, cancel{IDCANCEL, "취소"}, abort{IDABORT, "중단(_A)"},
        retry{IDRETRY, "다시 시도(_R)"}, ignore{IDIGNORE, "무시(_I)"}, yes{IDYES, "예(_Y)"},
        no{IDNO, "아니요(_N)"}, tryAgain{IDTRYAGAIN, "다시 시도(_T)"}, continueOn{IDCONTINUE, "계속(_C)"};
    MessageBoxLayout layout;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        layout.buttons = {ok, cancel};
        break;
    case MB_ABORTRETRYIGNORE:
        layout.buttons = {abort, retry, ignore};
        break;
    case MB_YESNOCANCEL:
        layout.buttons = {yes, no, cancel};
        break;
    case MB_YESNO:
        layout.buttons = {yes, no};
        break;
    case MB_RETRYCANCEL:
        layout.buttons = {retry, cancel};
        break;
    case MB_CANCELTRYCONTINUE:
        layout.buttons = {cancel, tryAgain, continueOn};
        break;
    default:
        layout.buttons = {ok};
        break;
    }
    std::size_t def = (type & MB_DEFMASK) >> 8;
    layout.defaultAnswer = layout.buttons[def < layout.buttons.size() ? def : 0].id;
    layout.closeAnswer = layout.defaultAnswer;
    for (const MessageBoxButton& b : layout.buttons)
        if (b.id == IDCANCEL || (b.id == IDOK && layout.buttons.size() == 1))
            layout.closeAnswer = b.id;
    return layout;
}

} // namespace vireo::win

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    std::string text = vireo::win::AnsiToUtf8(lpText ? lpText : "");
    // The platform's caption when none is given.
    std::string caption = lpCaption ? vireo::win::AnsiToUtf8(lpCaption) : std::string("Error");
    vireo::win::Desktop* desktop = vireo::win::CurrentDesktop();
    if (Unattended() || !desktop) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        return vireo::win::MessageBoxLayoutOf(uType).defaultAnswer;
    }
    return desktop->ShowMessageBox(hWnd, text, caption, uType);
}
