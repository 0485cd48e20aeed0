// Process-wide services: OLE initialisation, common controls and the taskbar identity.
#pragma once

#include <string>

#include "platform/win/errors.h"
#include "platform/win/types.h"

HRESULT OleInitialize(LPVOID pvReserved);
void OleUninitialize();

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
constexpr DWORD ICC_WIN95_CLASSES = 0x000000FF;
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);

// A DPI-aware process sees the desktop in device pixels and scales what it draws
// itself; any other process is shown scaled by the desktop, in its logical pixels.
BOOL SetProcessDPIAware();
BOOL IsProcessDPIAware();

HRESULT SetCurrentProcessExplicitAppUserModelID(LPCWSTR AppID);

namespace vireo::win {

// The identifier the taskbar groups this process's windows under (UTF-8).
std::string ProcessAppUserModelID();
// How deep OLE is initialised on this thread (OleInitialize minus OleUninitialize).
int OleInitializeCount();
// Makes the next OleInitialize fail with `hr`, as a broken OLE installation would.
void FailOleInitializeForTesting(HRESULT hr);

} // namespace vireo::win
