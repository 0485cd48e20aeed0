#include "platform/win/resources.h"

#include <cstring>
#include <map>

#include "platform/win/codepage.h"
#include "platform/win/errors.h"
#include "platform/win/window.h"

namespace {

struct Table {
    std::map<UINT, std::string> strings;
    std::map<UINT, vireo::win::IconResource> icons;
};

Table& T() {
    static Table table;
    return table;
}

// Resource icons are shared: their handle is derived from the resource identifier, so
// every load gives the same handle and destroying one is harmless.
constexpr ULONG_PTR kIconBase = 0x7100000;
constexpr ULONG_PTR kSystemIconBase = 0x7200000;

} // namespace

namespace vireo::win {

void RegisterStringResources(const StringResource* strings, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        T().strings[strings[i].id] = strings[i].utf8;
}

void RegisterIconResource(IconResource icon) {
    T().icons[icon.id] = std::move(icon);
}

const std::vector<IconImage>* IconImages(HICON icon) {
    auto value = reinterpret_cast<ULONG_PTR>(icon);
    if (value < kIconBase || value >= kIconBase + 0x10000)
        return nullptr;
    auto it = T().icons.find(static_cast<UINT>(value - kIconBase));
    return it == T().icons.end() ? nullptr : &it->second.images;
}

HINSTANCE ModuleInstance() {
    return reinterpret_cast<HINSTANCE>(0x400000);
}

} // namespace vireo::win

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return vireo::win::ModuleInstance();
}

int LoadStringA(HINSTANCE, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    auto it = T().strings.find(uID);
    if (!lpBuffer || cchBufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (it == T().strings.end()) {
        lpBuffer[0] = '\0';
        SetLastError(1814); // ERROR_RESOURCE_NAME_NOT_FOUND
        return 0;
    }
    std::string text = vireo::win::Utf8ToAnsi(it->second);
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(cchBufferMax - 1));
    std::memcpy(lpBuffer, text.data(), n);
    lpBuffer[n] = '\0';
    return static_cast<int>(n);
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (!IS_INTRESOURCE(lpIconName)) {
        SetLastError(1813); // ERROR_RESOURCE_TYPE_NOT_FOUND: named icons are not used
        return nullptr;
    }
    auto id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpIconName));
    if (!hInstance)
        return id >= 32512 && id <= 32518 ? reinterpret_cast<HICON>(kSystemIconBase + id) : nullptr;
    if (!T().icons.count(id)) {
        SetLastError(1812); // ERROR_RESOURCE_DATA_NOT_FOUND
        return nullptr;
    }
    return reinterpret_cast<HICON>(kIconBase + id);
}

BOOL DestroyIcon(HICON hIcon) {
    return hIcon ? TRUE : FALSE;
}
