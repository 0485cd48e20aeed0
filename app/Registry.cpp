#include "app/Registry.h"

#include <cstdlib>
#include <cstring>

namespace Orto::Common {

Registry::Registry() : m_hKey(nullptr), m_hRootKey(nullptr) {}

Registry::~Registry() {
    Close();
}

LONG Registry::Create(LPCSTR lpszPath) {
    if (m_hKey != nullptr)
        return ERROR_ACCESS_DENIED;
    m_strPath = lpszPath;
    m_hRootKey = HKEY_LOCAL_MACHINE;
    DWORD dwDisposition = 0;
    return ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, lpszPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &m_hKey, &dwDisposition);
}

void Registry::Close() {
    if (m_hKey != nullptr) {
        ::RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

} // namespace Orto::Common

namespace {

// Reads one version value into `text`. The text ends at its first NUL byte, and never
// runs past the bytes the query returned: data stored without a terminator must not
// pull in whatever follows it in the buffer.
bool QueryVersionText(HKEY hKey, LPCSTR lpszName, char (&text)[200]) {
    DWORD dwType = 0;
    DWORD dwSize = sizeof text;
    BYTE buffer[sizeof text];
    if (::RegQueryValueExA(hKey, lpszName, nullptr, &dwType, buffer, &dwSize) != ERROR_SUCCESS)
        return false;
    std::size_t length = ::strnlen(reinterpret_cast<const char*>(buffer), dwSize);
    if (length == sizeof text)
        --length;
    std::memcpy(text, buffer, length);
    text[length] = '\0';
    return true;
}

} // namespace

DWORD GetBrowserMajorVersion() {
    Orto::Common::Registry reg;
    reg.Create("SOFTWARE\\Microsoft\\Internet Explorer");

    char szVersion[200] = {};
    if (!QueryVersionText(reg.m_hKey, "svcVersion", szVersion))
        QueryVersionText(reg.m_hKey, "Version", szVersion);

    CString strVersion(szVersion);
    int nDot = strVersion.Find('.');
    if (nDot < 0)
        return 0;
    // atoi's own overflow is undefined; the platform's saturates, and so does this.
    long long value = std::strtoll(strVersion.Left(nDot), nullptr, 10);
    if (value > 2147483647LL)
        value = 2147483647LL;
    if (value < -2147483647LL - 1)
        value = -2147483647LL - 1;
    return static_cast<DWORD>(static_cast<LONG>(value));
}
