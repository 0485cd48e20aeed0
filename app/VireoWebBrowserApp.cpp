#include "app/VireoWebBrowserApp.h"

#include <clocale>

#include "app/Companion.h"
#include "app/FeatureControl.h"
#include "app/Registry.h"
#include "app/StartPage.h"
#include "host/AboutDlg.h"
#include "host/MainFrame.h"
#include "host/VireoWebBrowserDoc.h"
#include "host/VireoWebBrowserView.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CVireoWebBrowserApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, CVireoWebBrowserApp::OnAppAbout)
ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
END_MESSAGE_MAP()

CVireoWebBrowserApp::CVireoWebBrowserApp() {
    SetAppID("VireoWebBrowser.AppID.NoVersion");
    m_dwRestartManagerSupportFlags = 0;
}

CVireoWebBrowserApp::~CVireoWebBrowserApp() = default;

BOOL CVireoWebBrowserApp::InitInstance() {
    if (LaunchUpdaterIfPresent())
        return TRUE;
    if (LaunchPlayerIfPresent())
        return TRUE;

    if (GetBrowserMajorVersion() < 9) {
        AfxMessageBox(
            "인터넷 익스플로러 9 이상 브라우저에 최적화 되어 있습니다. 브라우저를 업데이트 하십시요.", MB_OK,
            0);
        return TRUE;
    }
    if (FindStartPage().empty()) {
        AfxMessageBox("이북을 찾을수 없습니다.", MB_OK, 0);
        return TRUE;
    }

    ApplyBrowserFeatureControls();

    setlocale(LC_ALL, "Korean");

    INITCOMMONCONTROLSEX InitCtrls;
    InitCtrls.dwSize = sizeof(InitCtrls);
    InitCtrls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&InitCtrls);

    CWinApp::InitInstance();

    if (!AfxOleInit()) {
        AfxMessageBox(IDP_OLE_INIT_FAILED);
        return FALSE;
    }

    AfxEnableControlContainer();
    EnableTaskbarInteraction(FALSE);
    SetRegistryKey("로컬 응용 프로그램 마법사에서 생성된 응용 프로그램");
    LoadStdProfileSettings(4);

    // The template names no resources: no menu, no accelerators, no document strings.
    CSingleDocTemplate* pDocTemplate =
        new CSingleDocTemplate(0, RUNTIME_CLASS(CVireoWebBrowserDoc), RUNTIME_CLASS(CMainFrame),
                               RUNTIME_CLASS(CVireoWebBrowserView));
    if (!pDocTemplate)
        return FALSE;
    AddDocTemplate(pDocTemplate);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    // A command that succeeds without making a window (DDE, which nothing here answers)
    // ends like the refusals above: there is nothing to show.
    if (!m_pMainWnd)
        return TRUE;

    m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CVireoWebBrowserApp::ExitInstance() {
    AfxOleTerm(FALSE);
    return CWinApp::ExitInstance();
}

void CVireoWebBrowserApp::OnAppAbout() {
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
