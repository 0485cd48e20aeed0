// A scoped holder of one registry key under HKEY_LOCAL_MACHINE, opened with full
// access and closed when told to or when the holder goes out of scope.
#pragma once

#include "platform/afx/cstring.h"
#include "platform/win/windows.h"

namespace Orto::Common {

class Registry {
public:
    Registry();
    virtual ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    LONG Create(LPCSTR lpszPath);
    void Close();

    HKEY m_hKey;
    HKEY m_hRootKey;
    CString m_strPath;
};

} // namespace Orto::Common

// The installed engine's major version, or 0 when none can be read.
DWORD GetBrowserMajorVersion();
