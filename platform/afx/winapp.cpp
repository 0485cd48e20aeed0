#include "platform/afx/winapp.h"

#include <cstring>
#include <string>

#include "platform/afx/afxres.h"
#include "platform/afx/backend.h"
#include "platform/win/commdlg.h"

namespace {
CWinApp* g_pApp = nullptr;
bool g_oleInitialised = false;
bool g_controlContainer = false;
BOOL g_userCtrl = TRUE;
} // namespace

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

CWinApp* AfxGetApp() {
    return g_pApp;
}
CWnd* AfxGetMainWnd() {
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}
HINSTANCE AfxGetInstanceHandle() {
    return GetModuleHandleA(nullptr);
}
void AfxPostQuitMessage(int nExitCode) {
    ::PostQuitMessage(nExitCode);
}
BOOL AfxOleGetUserCtrl() {
    return g_userCtrl;
}
void AfxOleSetUserCtrl(BOOL bUserCtrl) {
    g_userCtrl = bUserCtrl;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
    if (g_pApp)
        return g_pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return vireo::afx::ShowMessageBox(nullptr, lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString prompt;
    prompt.LoadString(nIDPrompt);
    if (nIDHelp == static_cast<UINT>(-1))
        nIDHelp = nIDPrompt;
    return AfxMessageBox(prompt, nType, nIDHelp);
}

BOOL AfxOleInit() {
    if (FAILED(OleInitialize(nullptr)))
        return FALSE;
    g_oleInitialised = true;
    return TRUE;
}

void AfxOleTerm(BOOL bJustRevoke) {
    // OLE is uninitialised only when AfxOleInit initialised it.
    if (!bJustRevoke && g_oleInitialised) {
        OleUninitialize();
        g_oleInitialised = false;
    }
}

void AfxEnableControlContainer() {
    g_controlContainer = true;
}

CWinApp::CWinApp(LPCSTR lpszAppName) {
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    g_pApp = this;
    g_oleInitialised = false;
    g_controlContainer = false;
    g_userCtrl = TRUE;
}

CWinApp::~CWinApp() {
    m_templates.clear();
    if (g_pApp == this)
        g_pApp = nullptr;
}

void CWinApp::SetAppID(LPCSTR lpcszAppID) {
    m_strAppID = lpcszAppID;
}

BOOL CWinApp::InitApplication() {
    if (!m_strAppID.IsEmpty()) {
        BSTR id = m_strAppID.AllocSysString();
        SetCurrentProcessExplicitAppUserModelID(id);
        SysFreeString(id);
    }
    return TRUE;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, pMsg);
}

int CWinApp::Run() {
    // Keys reach the pre-translation as the desktop delivers them.
    vireo::afx::BeginPreTranslation(
        [](MSG* pMsg) -> BOOL { return AfxGetApp() && AfxGetApp()->PreTranslateMessage(pMsg); });
    // Without a main window nothing could ever end the loop, so it ends at once.
    if (!m_pMainWnd)
        AfxPostQuitMessage(0);
    for (;;) {
        if (!GetMessageA(&m_msgCur, nullptr, 0, 0)) {
            vireo::afx::EndPreTranslation();
            return ExitInstance();
        }
        if (!PreTranslateMessage(&m_msgCur)) {
            TranslateMessage(&m_msgCur);
            DispatchMessageA(&m_msgCur);
        }
    }
}

int CWinApp::ExitInstance() {
    // Registering and unregistering leave the settings as they found them.
    bool registering = m_pCmdInfo && (m_pCmdInfo->m_nShellCommand == CCommandLineInfo::AppRegister ||
                                      m_pCmdInfo->m_nShellCommand == CCommandLineInfo::AppUnregister);
    if (!registering)
        SaveStdProfileSettings();
    return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT) {
    // OK-only and OK/Cancel boxes get the exclamation icon, questions the question mark,
    // unless the caller chose an icon.
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    HWND owner = m_pMainWnd && m_pMainWnd->IsWindowVisible() ? m_pMainWnd->m_hWnd : nullptr;
    return vireo::afx::ShowMessageBox(owner, lpszPrompt, m_pszAppName, nType);
}

void CWinApp::EnableTaskbarInteraction(BOOL bEnable) {
    m_bTaskbarInteractionEnabled = bEnable;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    m_templates.emplace_back(pTemplate);
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
    for (auto& t : m_templates)
        t->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew() {
    if (m_templates.empty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return;
    }
    m_templates.front()->OpenDocumentFile(nullptr, TRUE, TRUE);
}

void CWinApp::OnFileOpen() {
    CString fileName;
    if (!DoPromptFileName(fileName, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE))
        return; // cancelled
    OpenDocumentFile(fileName);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog) {
    // The document template has no filter string of its own, so every file is offered.
    CString title, allFilter;
    title.LoadString(nIDSTitle);
    allFilter.LoadString(AFX_IDS_ALLFILTER);
    std::string filter = std::string(allFilter.GetString()) + '\0' + "*.*" + '\0' + '\0';
    char file[MAX_PATH] = {};
    std::strncpy(file, fileName.GetString(), MAX_PATH - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.GetString();
    ofn.Flags = lFlags | OFN_EXPLORER | OFN_PATHMUSTEXIST;
    if (!bOpenFileDialog || !GetOpenFileNameA(&ofn))
        return FALSE;
    fileName = file;
    return TRUE;
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName) {
    if (m_templates.empty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return nullptr;
    }
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(lpszFileName, MAX_PATH, full, nullptr);
    LPCSTR path = (n > 0 && n < MAX_PATH) ? full : lpszFileName;
    auto* single = dynamic_cast<CSingleDocTemplate*>(m_templates.front().get());
    if (single && single->GetOnlyDocument() &&
        single->GetOnlyDocument()->GetPathName().CompareNoCase(path) == 0)
        return single->GetOnlyDocument();
    return m_templates.front()->OpenDocumentFile(path, TRUE, TRUE);
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName) {
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

BOOL CWinApp::Register() {
    return TRUE;
}

int AfxWinMain(int argc, char** argv, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    vireo::afx::PrepareFrameworkResources();
    app->m_hInstance = GetModuleHandleA(nullptr);
    app->m_nCmdShow = nCmdShow;
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    app->SetCommandLineArguments(std::move(args));
    app->SetCurrentHandles();
    app->LoadSysPolicies();
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
