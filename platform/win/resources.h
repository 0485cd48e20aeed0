// The module's resources: string table, icons and dialog templates, as the program's
// resource script defines them. Texts are kept in UTF-8 and handed out in the ANSI
// code page, as the platform hands out its UTF-16 resources.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win/types.h"

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
// The running program's module for a null name; other modules are not loaded here
// (ERROR_MOD_NOT_FOUND).
HMODULE GetModuleHandleA(LPCSTR lpModuleName);

namespace vireo::win {

struct IconImage {
    int size; // width and height in pixels
    const unsigned char* png;
    std::size_t length;
};

struct StringResource {
    UINT id;
    const char* utf8;
};

struct IconResource {
    UINT id;
    std::vector<IconImage> images;
};

// The resources of the program's module; the resource library registers them once.
void RegisterStringResources(const StringResource* strings, std::size_t count);
void RegisterIconResource(IconResource icon);

// The images of an icon handle from LoadIconA; empty for the system's generic icons.
const std::vector<IconImage>* IconImages(HICON icon);

HINSTANCE ModuleInstance();

} // namespace vireo::win
