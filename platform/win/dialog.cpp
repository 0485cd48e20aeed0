#include "platform/win/dialog.h"

#include <map>

#include "platform/win/desktop.h"
#include "platform/win/errors.h"
#include "platform/win/msgbox.h"

namespace vireo::win {
namespace {
std::map<UINT, DialogTemplate>& Dialogs() {
    static std::map<UINT, DialogTemplate> dialogs;
    return dialogs;
}
} // namespace

void RegisterDialogResource(DialogTemplate dialog) {
    Dialogs()[dialog.id] = std::move(dialog);
}

const DialogTemplate* FindDialogResource(UINT id) {
    auto it = Dialogs().find(id);
    return it == Dialogs().end() ? nullptr : &it->second;
}

} // namespace vireo::win

BOOL EndDialog(HWND, INT_PTR) {
    SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
    return FALSE;
}

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC, LPARAM) {
    if (!IS_INTRESOURCE(lpTemplateName)) {
        SetLastError(1813); // ERROR_RESOURCE_TYPE_NOT_FOUND: named templates are not used
        return -1;
    }
    const vireo::win::DialogTemplate* dialog =
        vireo::win::FindDialogResource(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpTemplateName)));
    vireo::win::Desktop* desktop = vireo::win::CurrentDesktop();
    if (!dialog || !desktop) {
        SetLastError(1812); // ERROR_RESOURCE_DATA_NOT_FOUND
        return -1;
    }
    return desktop->RunModalDialog(hWndParent, *dialog);
}
