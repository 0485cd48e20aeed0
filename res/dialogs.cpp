// Dialog 100, the About box, as the resource script lays it out (dialog units of
// "MS Shell Dlg", 9 points).
#include "platform/win/dialog.h"
#include "platform/win/msgbox.h"
#include "platform/win/window.h"
#include "res/resource.h"
#include "res/resources.h"
#include "res/version.h"

namespace vireo::res {

void RegisterDialogs() {
    using win::DialogItem;
    using win::DialogItemKind;
    win::RegisterDialogResource(win::DialogTemplate{
        IDD_ABOUTBOX,
        "VireoWebBrowser 정보",
        0,
        0,
        170,
        62,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS,
        "MS Shell Dlg",
        9,
        {
            DialogItem{DialogItemKind::Icon, -1, "128", 14, 14, 21, 20, SS_ICON | WS_CHILD | WS_VISIBLE},
            DialogItem{DialogItemKind::Static, -1, "VireoWebBrowser, 버전 1.0", 42, 14, 114, 8,
                       SS_NOPREFIX | WS_GROUP | WS_CHILD | WS_VISIBLE},
            DialogItem{DialogItemKind::Static, -1, "파일 버전 " VIREO_VERSION_TEXT, 42, 26, 114, 8,
                       WS_GROUP | WS_CHILD | WS_VISIBLE},
            DialogItem{DialogItemKind::PushButton, IDOK, "확인", 113, 41, 50, 14,
                       BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP | WS_CHILD | WS_VISIBLE},
        }});
}

} // namespace vireo::res
