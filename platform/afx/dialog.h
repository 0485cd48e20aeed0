// CDialog and CDialogEx: modal dialogs built from a dialog template.
#pragma once

#include "platform/afx/wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Shows the dialog until a button, Esc or the close box ends it; returns the button's
    // identifier (IDCANCEL for Esc and the close box), or -1 when it cannot be shown.
    virtual INT_PTR DoModal();

protected:
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;
};

class CDialogEx : public CDialog {
    DECLARE_DYNAMIC(CDialogEx)
public:
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr) : CDialog(nIDTemplate, pParentWnd) {}
};
