// CWinApp: the application object, its start-up and shutdown, the per-user settings
// key with the recent-file list, and the command line.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/document.h"

class CCommandLineInfo : public CObject {
public:
    enum {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        RestartByRestartManager,
        FileDDENoShow,
        FileNothing = -1
    };

    CCommandLineInfo() = default;
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    BOOL m_bRegisterPerUser = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;
    CString m_strRestartIdentifier;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const char* pszParam);
    void ParseLast(BOOL bLast);
    BOOL m_bExpectRestartIdentifier = FALSE;
};

// The most recently used files, kept in the settings key.
class CRecentFileList {
public:
    CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize);
    void Add(LPCSTR lpszPathName);
    void ReadList();
    void WriteList();
    int GetSize() const { return static_cast<int>(m_arrNames.size()); }
    const CString& operator[](int nIndex) const { return m_arrNames[static_cast<std::size_t>(nIndex)]; }

private:
    CString m_strSectionName;
    CString m_strEntryFormat;
    std::vector<CString> m_arrNames;
};

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Framework state, as the platform's framework exposes it.
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    CCommandLineInfo* m_pCmdInfo = nullptr;
    DWORD m_dwRestartManagerSupportFlags = 0;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    UINT m_nNumPreviewPages = 0;
    MSG m_msgCur{};

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    virtual void AddToRecentFileList(LPCSTR lpszPathName);
    virtual BOOL Register();
    virtual BOOL Unregister();

    void SetAppID(LPCSTR lpcszAppID);
    LPCSTR GetAppID() const { return m_strAppID; }
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    void EnableTaskbarInteraction(BOOL bEnable = TRUE);
    BOOL IsTaskbarInteractionEnabled() const { return m_bTaskbarInteractionEnabled; }
    void AddDocTemplate(CDocTemplate* pTemplate);
    CDocTemplate* GetDocTemplate() const { return m_templates.empty() ? nullptr : m_templates.front().get(); }
    void CloseAllDocuments(BOOL bEndSession);
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCSTR lpszSection);

    // The framework reads the system policies that concern it before InitInstance.
    void LoadSysPolicies();
    // Fills in the application's names: its title from string resource 57344 (or the
    // executable's name), the executable's name and the default profile name.
    void SetCurrentHandles();
    BOOL NoRecentDocsHistory() const { return m_bNoRecentDocsHistory; }

    // Command handlers the application's command map may bind.
    void OnFileNew();
    void OnFileOpen();
    // Asks for a file with the common Open dialog; FALSE when cancelled. Only the Open
    // dialog is used by the shell.
    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog);

    // Sets the arguments the framework's command-line parser reads (ANSI code page).
    void SetCommandLineArguments(std::vector<std::string> args) { m_args = std::move(args); }

protected:
    BOOL m_bTaskbarInteractionEnabled = TRUE;
    BOOL m_bNoRecentDocsHistory = FALSE;
    CString m_strAppID;
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strProfileName;
    CString m_strExeName;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    std::vector<std::string> m_args;
    std::unique_ptr<CCommandLineInfo> m_ownedCmdInfo;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
void AfxPostQuitMessage(int nExitCode);
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
BOOL AfxOleInit();
void AfxOleTerm(BOOL bJustRevoke = FALSE);
void AfxEnableControlContainer();
BOOL AfxOleGetUserCtrl();
void AfxOleSetUserCtrl(BOOL bUserCtrl);

// The framework's entry: initialises the application object that was constructed,
// runs InitInstance, the message loop and ExitInstance, and returns the exit code.
// `argv` are the process's arguments in the ANSI code page, as the platform's entry
// hands them over.
int AfxWinMain(int argc, char** argv, int nCmdShow);
