#include "platform/win/process.h"

#include "platform/win/codepage.h"

namespace {
int oleCount = 0;
HRESULT oleFailure = S_OK;
std::string appUserModelId;
bool dpiAware = false;
} // namespace

HRESULT OleInitialize(LPVOID) {
    if (FAILED(oleFailure)) {
        HRESULT hr = oleFailure;
        oleFailure = S_OK;
        return hr;
    }
    return ++oleCount == 1 ? S_OK : S_FALSE;
}

void OleUninitialize() {
    if (oleCount > 0)
        --oleCount;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    // The desktop's own widgets stand in for the common controls; only the call's form
    // is checked, as the platform checks it.
    return picce && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

BOOL SetProcessDPIAware() {
    dpiAware = true;
    return TRUE;
}

BOOL IsProcessDPIAware() {
    return dpiAware ? TRUE : FALSE;
}

HRESULT SetCurrentProcessExplicitAppUserModelID(LPCWSTR AppID) {
    if (!AppID)
        return E_INVALIDARG;
    std::u16string id;
    for (LPCWSTR p = AppID; *p; ++p)
        id += *p;
    appUserModelId = vireo::win::Utf16ToUtf8(id);
    return S_OK;
}

namespace vireo::win {
std::string ProcessAppUserModelID() {
    return appUserModelId;
}
int OleInitializeCount() {
    return oleCount;
}
void FailOleInitializeForTesting(HRESULT hr) {
    oleFailure = hr;
}
} // namespace vireo::win
