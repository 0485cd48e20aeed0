#include "platform/win/msgbox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win/codepage.h"
#include "platform/win/desktop.h"
#include "platform/win/msgbox_answers.h"

namespace vireo::win {

MessageBoxLayout MessageBoxLayoutOf(UINT type) {
    auto label = [](int id) {
        switch (id) {
        case IDOK:
            return "확인";
        case IDCANCEL:
            return "취소";
        case IDABORT:
            return "중단(_A)";
        case IDRETRY:
            return "다시 시도(_R)";
        case IDIGNORE:
            return "무시(_I)";
        case IDYES:
            return "예(_Y)";
        case IDNO:
            return "아니요(_N)";
        case IDTRYAGAIN:
            return "다시 시도(_T)";
        default:
            return "계속(_C)"; // IDCONTINUE
        }
    };
    MessageBoxLayout layout;
    for (int id : MessageBoxAnswersOf(type))
        if (id != 0)
            layout.buttons.push_back({id, label(id)});
    layout.defaultAnswer = MessageBoxDefaultAnswer(type);
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
    if (vireo::win::UnattendedMessageBoxes() || !desktop) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        return vireo::win::MessageBoxLayoutOf(uType).defaultAnswer;
    }
    return desktop->ShowMessageBox(hWnd, text, caption, uType);
}
