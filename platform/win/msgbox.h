// Message boxes.
#pragma once

#include <vector>

#include "platform/win/types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

namespace vireo::win {

struct MessageBoxButton {
    int id;            // the answer it gives (IDOK and so on)
    const char* label; // UTF-8, with a mnemonic after "_"
};

// What a box of a type offers, the one table every desktop follows: its buttons in
// order, the answer of its default button (MB_DEFBUTTONn, the first when there is no
// n-th), and the answer when the box is closed without a button (Esc, the close box):
// Cancel where there is one, OK for a lone OK; a box the platform does not let close
// that way answers as its default button.
struct MessageBoxLayout {
    std::vector<MessageBoxButton> buttons;
    int defaultAnswer;
    int closeAnswer;
};
MessageBoxLayout MessageBoxLayoutOf(UINT type);

} // namespace vireo::win

// With VIREO_UNATTENDED=1 a box shows nothing: it prints one line "CAPTION: TEXT" in
// UTF-8 on standard error and answers as its default button would.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
