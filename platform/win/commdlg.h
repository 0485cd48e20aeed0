// The common Open dialog: the file chooser of the desktop, asked for and answered in
// the platform's terms (ANSI paths, NUL-separated filters, extended error codes).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win/types.h"

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter; // "Name\0*.a;*.b\0...\0\0"
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex; // 1-based
    LPSTR lpstrFile;    // in: the initial name, out: the chosen path
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    void* lpfnHook;
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;

constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
constexpr DWORD CDERR_INITIALIZATION = 0x0002;
constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// FALSE when the user cancelled (CommDlgExtendedError then answers 0) or on an error.
BOOL GetOpenFileNameA(OPENFILENAMEA* lpofn);
DWORD CommDlgExtendedError();

namespace vireo::win {

struct FileFilter {
    std::string name;                  // UTF-8
    std::vector<std::string> patterns; // "*.html", "*.*"
};

struct FileChooserRequest {
    std::string title; // UTF-8
    std::vector<FileFilter> filters;
    std::size_t filterIndex = 0; // 0-based
    std::string initialFolder;   // host path, UTF-8; empty for the desktop's choice
    std::string initialName;     // UTF-8
};

} // namespace vireo::win
