#include "platform/com/com.h"

#include "platform/com/browser.h"

#include <cstdlib>

const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IWebBrowser2 = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
const IID IID_IOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IHTMLDocument2 = {0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};

// The length in bytes sits in the four bytes before the text.
BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    auto* block = static_cast<char*>(std::malloc(sizeof(DWORD) + (ui + 1) * sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    DWORD bytes = ui * sizeof(OLECHAR);
    std::memcpy(block, &bytes, sizeof bytes);
    auto* text = reinterpret_cast<OLECHAR*>(block + sizeof(DWORD));
    if (strIn)
        std::memcpy(text, strIn, ui * sizeof(OLECHAR));
    else
        std::memset(text, 0, ui * sizeof(OLECHAR));
    text[ui] = 0;
    return text;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz)
        return nullptr;
    UINT n = 0;
    while (psz[n])
        ++n;
    return SysAllocStringLen(psz, n);
}

void SysFreeString(BSTR bstrString) {
    if (bstrString)
        std::free(reinterpret_cast<char*>(bstrString) - sizeof(DWORD));
}

UINT SysStringLen(BSTR pbstr) {
    if (!pbstr)
        return 0;
    DWORD bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<char*>(pbstr) - sizeof(DWORD), sizeof bytes);
    return bytes / sizeof(OLECHAR);
}

void VariantInit(VARIANT* pvarg) {
    std::memset(pvarg, 0, sizeof *pvarg);
    pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* pvarg) {
    if (!pvarg)
        return E_INVALIDARG;
    switch (pvarg->vt) {
    case VT_BSTR:
        SysFreeString(pvarg->bstrVal);
        break;
    case VT_DISPATCH:
        if (pvarg->pdispVal)
            pvarg->pdispVal->Release();
        break;
    default:
        break;
    }
    VariantInit(pvarg);
    return S_OK;
}
