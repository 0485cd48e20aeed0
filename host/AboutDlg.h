// The About box, on dialog template 100.
#pragma once

#include "platform/afx/afxwin.h"
#include "res/resource.h"

class CAboutDlg : public CDialogEx {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    enum { IDD = IDD_ABOUTBOX };

    DECLARE_MESSAGE_MAP()
};
