// Dialog boxes built from dialog templates, as the resource compiler lays them out:
// positions and sizes in dialog units of the template's font.
#pragma once

#include <string>
#include <vector>

#include "platform/win/types.h"

constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD SS_ICON = 0x00000003;
constexpr DWORD SS_NOPREFIX = 0x00000080;
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;

namespace vireo::win {

enum class DialogItemKind { Static, Icon, PushButton };

struct DialogItem {
    DialogItemKind kind;
    int id;
    std::string text; // UTF-8; for an icon, the icon's resource identifier in decimal
    int x, y, cx, cy; // dialog units
    DWORD style;
};

struct DialogTemplate {
    UINT id;
    std::string caption; // UTF-8
    int x, y, cx, cy;    // dialog units
    DWORD style;
    std::string fontFace;
    int fontPoints;
    std::vector<DialogItem> items;
};

void RegisterDialogResource(DialogTemplate dialog);
const DialogTemplate* FindDialogResource(UINT id);

} // namespace vireo::win

// Shows dialog `lpTemplateName` modally and returns the identifier of the button that
// ended it (IDCANCEL for Esc and the close box), or -1 when the template is missing.
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// The layer's dialogs end on their push buttons themselves; the dialog procedure is
// not called.
INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
// Dialog procedures run only on the platform's own dialog manager; the layer's dialogs
// end themselves, so this fails with ERROR_INVALID_WINDOW_HANDLE.
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
