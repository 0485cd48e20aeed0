// The framework's command-line grammar and the shell commands it leads to.
#include <algorithm>
#include <cstring>

#include "platform/afx/afxres.h"
#include "platform/afx/winapp.h"

namespace {

bool EqualsIgnoringCase(const char* a, const char* b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

const char kRestartSwitch[] = "RestartByRestartManager";

} // namespace

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* p) {
    // "p", "pt", "dde" and "ddenoshow" are matched exactly, the others without regard to case.
    if (std::strcmp(p, "pt") == 0) {
        m_nShellCommand = FilePrintTo;
    } else if (std::strcmp(p, "p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (EqualsIgnoringCase(p, "Register") || EqualsIgnoringCase(p, "Regserver")) {
        m_nShellCommand = AppRegister;
    } else if (EqualsIgnoringCase(p, "RegisterPerUser") || EqualsIgnoringCase(p, "RegserverPerUser")) {
        m_nShellCommand = AppRegister;
        m_bRegisterPerUser = TRUE;
    } else if (EqualsIgnoringCase(p, "Unregister") || EqualsIgnoringCase(p, "Unregserver")) {
        m_nShellCommand = AppUnregister;
    } else if (EqualsIgnoringCase(p, "UnregisterPerUser") || EqualsIgnoringCase(p, "UnregserverPerUser")) {
        m_nShellCommand = AppUnregister;
        m_bRegisterPerUser = TRUE;
    } else if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, p,
                              static_cast<int>(std::min(std::strlen(p), sizeof kRestartSwitch - 1)),
                              kRestartSwitch, -1) == CSTR_EQUAL) {
        m_nShellCommand = RestartByRestartManager;
        // The identifier follows after a colon, or as the next argument.
        const char* rest = p + sizeof kRestartSwitch - 1;
        if (*rest == ':')
            m_strRestartIdentifier = rest + 1;
        else
            m_bExpectRestartIdentifier = TRUE;
    } else if (std::strcmp(p, "dde") == 0) {
        AfxOleSetUserCtrl(FALSE);
        m_nShellCommand = FileDDE;
    } else if (std::strcmp(p, "ddenoshow") == 0) {
        AfxOleSetUserCtrl(FALSE);
        m_nShellCommand = FileDDENoShow;
    } else if (EqualsIgnoringCase(p, "Embedding")) {
        AfxOleSetUserCtrl(FALSE);
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (EqualsIgnoringCase(p, "Automation")) {
        AfxOleSetUserCtrl(FALSE);
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const char* p) {
    if (m_bExpectRestartIdentifier) {
        m_strRestartIdentifier = p;
        m_bExpectRestartIdentifier = FALSE;
    } else if (m_strFileName.IsEmpty()) {
        m_strFileName = p;
    } else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty()) {
        m_strPrinterName = p;
    } else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty()) {
        m_strDriverName = p;
    } else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty()) {
        m_strPortName = p;
    }
}

void CCommandLineInfo::ParseLast(BOOL bLast) {
    if (!bLast)
        return;
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    for (std::size_t i = 1; i < m_args.size(); ++i) {
        const char* param = m_args[i].c_str();
        BOOL bFlag = FALSE;
        BOOL bLast = i + 1 == m_args.size();
        if (param[0] == '-' || param[0] == '/') {
            bFlag = TRUE;
            ++param;
        }
        rCmdInfo.ParseParam(param, bFlag, bLast);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    BOOL bResult = TRUE;
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::RestartByRestartManager:
        // Nothing was registered for restarting, so there is nothing to restore.
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, 0, nullptr, nullptr))
            OnFileNew();
        if (!m_pMainWnd)
            bResult = FALSE;
        break;
    case CCommandLineInfo::FileOpen:
        if (!OpenDocumentFile(rCmdInfo.m_strFileName))
            bResult = FALSE;
        break;
    case CCommandLineInfo::FilePrintTo:
    case CCommandLineInfo::FilePrint:
        m_nCmdShow = SW_HIDE;
        if (OpenDocumentFile(rCmdInfo.m_strFileName) && m_pMainWnd) {
            m_pCmdInfo = &rCmdInfo;
            m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
            m_pCmdInfo = nullptr;
        }
        bResult = FALSE;
        break;
    case CCommandLineInfo::FileDDE:
    case CCommandLineInfo::FileDDENoShow:
        // Nothing answers DDE here: the command succeeds without a window.
        m_nCmdShow = SW_HIDE;
        break;
    case CCommandLineInfo::AppRegister:
        Register();
        bResult = FALSE;
        if (!m_pCmdInfo) {
            m_ownedCmdInfo = std::make_unique<CCommandLineInfo>();
            m_ownedCmdInfo->m_nShellCommand = CCommandLineInfo::AppRegister;
            m_pCmdInfo = m_ownedCmdInfo.get();
        }
        break;
    case CCommandLineInfo::AppUnregister: {
        BOOL bUnregistered = Unregister();
        if (!rCmdInfo.m_bRunEmbedded)
            AfxMessageBox(bUnregistered ? AFX_IDP_UNREG_DONE : AFX_IDP_UNREG_FAILURE);
        bResult = FALSE;
        if (!m_pCmdInfo) {
            m_ownedCmdInfo = std::make_unique<CCommandLineInfo>();
            m_ownedCmdInfo->m_nShellCommand = CCommandLineInfo::AppUnregister;
            m_pCmdInfo = m_ownedCmdInfo.get();
        }
        break;
    }
    default:
        break;
    }
    return bResult;
}
