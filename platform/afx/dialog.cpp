#include "platform/afx/dialog.h"

#include "platform/afx/winapp.h"
#include "platform/win/dialog.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

namespace {

// The modal loop of a dialog without controls of its own: it starts with the default
// focus, and a push button (OK, or Cancel for Esc and the close box) ends it.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(hWnd, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    // The owner is the given parent, else the application's main window.
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    return ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDHelp),
                             owner ? owner->m_hWnd : nullptr, AfxDlgProc, 0);
}
