#include "app/ExeLocation.h"

#include "platform/win/windows.h"

CString GetExePath() {
    char szPath[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    return CString(szPath);
}

CString GetExeDir() {
    CString strPath = GetExePath();
    int nPos = strPath.ReverseFind('\\');
    if (nPos >= 0)
        strPath = strPath.Left(nPos);
    return strPath + "\\";
}

CString GetExeTitle(CString strPath) {
    int nPos = strPath.ReverseFind('\\');
    if (nPos >= 0)
        strPath = strPath.Mid(nPos + 1);
    nPos = strPath.ReverseFind('.');
    if (nPos >= 0)
        strPath = strPath.Left(nPos);
    return strPath;
}

CString GetExeFileName(CString strPath) {
    int nPos = strPath.ReverseFind('\\');
    if (nPos >= 0)
        strPath = strPath.Mid(nPos + 1);
    return strPath;
}
