#include "platform/afx/dialog.h"

#include "platform/afx/winapp.h"
#include "platform/win/dialog.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    // The owner is the given parent, else the application's main window.
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    return ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDHelp),
                             owner ? owner->m_hWnd : nullptr, nullptr, 0);
}
