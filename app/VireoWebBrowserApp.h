// The application object and its start-up sequence.
#pragma once

#include "platform/afx/afxwin.h"

class CVireoWebBrowserApp : public CWinApp {
public:
    CVireoWebBrowserApp();
    ~CVireoWebBrowserApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    void OnAppAbout();

    DECLARE_MESSAGE_MAP()
};
