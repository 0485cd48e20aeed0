#include "host/AboutDlg.h"

CAboutDlg::CAboutDlg() : CDialogEx(IDD) {}

CAboutDlg::~CAboutDlg() = default;

BEGIN_MESSAGE_MAP(CAboutDlg, CDialogEx)
END_MESSAGE_MAP()
