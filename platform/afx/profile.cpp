// The application's per-user settings: the settings key under HKEY_CURRENT_USER, the
// recent-file list kept in it, and the system policies the framework honours.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/afx/afxres.h"
#include "platform/afx/winapp.h"

namespace {

const char kRecentFileSection[] = "Recent File List";
const char kRecentFileEntry[] = "File%d";
const char kPreviewSection[] = "Settings";
const char kPreviewEntry[] = "PreviewPages";

DWORD PolicyValue(HKEY root, LPCSTR name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    DWORD value = 0, type = 0, size = sizeof value;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD ? value : 0;
}

// Deletes a key with everything below it.
LONG DelRegTree(HKEY parent, LPCSTR subKey) {
    HKEY key = nullptr;
    LONG r = RegOpenKeyExA(parent, subKey, 0, KEY_ALL_ACCESS, &key);
    if (r != ERROR_SUCCESS)
        return r;
    char name[256];
    for (;;) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (DelRegTree(key, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, subKey);
}

} // namespace

void CWinApp::SetCurrentHandles() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString exe(path);
    exe = exe.Mid(exe.ReverseFind('\\') + 1);
    int dot = exe.ReverseFind('.');
    m_strExeName = dot < 0 ? exe : exe.Left(dot);
    m_pszExeName = m_strExeName;
    if (!m_pszAppName) {
        if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE))
            m_strAppName = m_strExeName;
        m_pszAppName = m_strAppName;
    }
    if (!m_pszProfileName) {
        m_strProfileName = m_strExeName + ".INI";
        m_pszProfileName = m_strProfileName;
    }
}

void CWinApp::LoadSysPolicies() {
    m_bNoRecentDocsHistory = PolicyValue(HKEY_LOCAL_MACHINE, "NoRecentDocsHistory") ||
                             PolicyValue(HKEY_CURRENT_USER, "NoRecentDocsHistory");
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    // With a registry key the profile is named after the application.
    m_strProfileName = m_pszAppName;
    m_pszProfileName = m_strProfileName;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    if (nMaxMRU != 0 && !m_bNoRecentDocsHistory) {
        m_pRecentFileList = std::make_unique<CRecentFileList>(0, kRecentFileSection, kRecentFileEntry,
                                                              static_cast<int>(nMaxMRU));
        m_pRecentFileList->ReadList();
    }
    m_nNumPreviewPages = GetProfileInt(kPreviewSection, kPreviewEntry, 0);
}

void CWinApp::SaveStdProfileSettings() {
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    if (m_nNumPreviewPages != 0)
        WriteProfileInt(kPreviewSection, kPreviewEntry, static_cast<int>(m_nNumPreviewPages));
}

HKEY CWinApp::GetAppRegistryKey() {
    if (!m_pszRegistryKey)
        return nullptr;
    HKEY soft = nullptr, company = nullptr, app = nullptr;
    DWORD disposition = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, KEY_WRITE | KEY_READ, &soft) == ERROR_SUCCESS) {
        if (RegCreateKeyExA(soft, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                            nullptr, &company, &disposition) == ERROR_SUCCESS)
            RegCreateKeyExA(company, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE | KEY_READ, nullptr, &app, &disposition);
    }
    if (soft)
        RegCloseKey(soft);
    if (company)
        RegCloseKey(company);
    return app;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection) {
    HKEY app = GetAppRegistryKey();
    if (!app)
        return nullptr;
    HKEY section = nullptr;
    DWORD disposition = 0;
    RegCreateKeyExA(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr,
                    &section, &disposition);
    RegCloseKey(app);
    return section;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return static_cast<UINT>(nDefault);
    DWORD value = 0, type = 0, size = sizeof value;
    LONG r = RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? value : static_cast<UINT>(nDefault);
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) {
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return CString(lpszDefault);
    CString value;
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueExA(key, lpszEntry, nullptr, &type, nullptr, &size);
    if (r == ERROR_SUCCESS && type == REG_SZ) {
        std::vector<char> buffer(size + 1, '\0');
        r = RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size);
        value = buffer.data();
    }
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_SZ ? value : CString(lpszDefault);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    LONG r =
        RegSetValueExA(key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) {
    if (!lpszEntry) {
        // No entry: the whole section goes.
        HKEY app = GetAppRegistryKey();
        if (!app)
            return FALSE;
        LONG r = RegDeleteKeyA(app, lpszSection);
        RegCloseKey(app);
        return r == ERROR_SUCCESS;
    }
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return FALSE;
    LONG r = lpszValue ? RegSetValueExA(key, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                        static_cast<DWORD>(std::strlen(lpszValue) + 1))
                       : RegDeleteValueA(key, lpszEntry);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

BOOL CWinApp::Unregister() {
    if (m_pszRegistryKey) {
        CString company = CString("Software\\") + m_pszRegistryKey;
        DelRegTree(HKEY_CURRENT_USER, company + "\\" + m_pszProfileName);
        // The key named by the registry key text goes too once nothing is left in it.
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, company, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            char name[256];
            DWORD size = sizeof name;
            bool empty =
                RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_NO_MORE_ITEMS;
            RegCloseKey(key);
            if (empty)
                DelRegTree(HKEY_CURRENT_USER, company);
        }
    }
    return TRUE;
}

CRecentFileList::CRecentFileList(UINT, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize)
    : m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat),
      m_arrNames(static_cast<std::size_t>(nSize > 0 ? nSize : 0)) {}

void CRecentFileList::Add(LPCSTR lpszPathName) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr);
    CString name = (n > 0 && n < MAX_PATH) ? CString(full) : CString(lpszPathName);
    if (m_arrNames.empty())
        return;
    // The file moves to the front; an older mention of it drops out.
    std::size_t i = 0;
    while (i + 1 < m_arrNames.size() && m_arrNames[i].CompareNoCase(name) != 0)
        ++i;
    for (; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = name;
}

void CRecentFileList::ReadList() {
    CWinApp* app = AfxGetApp();
    for (std::size_t i = 0; i < m_arrNames.size(); ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, static_cast<int>(i + 1));
        m_arrNames[i] = app->GetProfileString(m_strSectionName, entry, "");
    }
}

void CRecentFileList::WriteList() {
    CWinApp* app = AfxGetApp();
    app->WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (std::size_t i = 0; i < m_arrNames.size(); ++i) {
        if (m_arrNames[i].IsEmpty())
            continue;
        CString entry;
        entry.Format(m_strEntryFormat, static_cast<int>(i + 1));
        app->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}
