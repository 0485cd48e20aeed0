// The platform's fundamental types, with the sizes a 32-bit Windows program relies on:
// LONG and DWORD are 32 bits here even though long is 64 bits on the host.
#pragma once

#include <cstddef>
#include <cstdint>

// Calling conventions: they matter to 32-bit Windows code only, and name nothing here.
#define WINAPI
#define CALLBACK
#define STDMETHODCALLTYPE

using BOOL = std::int32_t;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT = int;
using UINT = unsigned int;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using CHAR = char;
using WCHAR = char16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = ULONG_PTR;
using SIZE_T = std::size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LCID = DWORD;
using REGSAM = DWORD;

// Access rights every kind of object understands.
constexpr DWORD MAXIMUM_ALLOWED = 0x02000000;
constexpr DWORD GENERIC_ALL = 0x10000000;
constexpr DWORD GENERIC_EXECUTE = 0x20000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD GENERIC_READ = 0x80000000;
using LSTATUS = LONG;
using HRESULT = LONG;
using ATOM = WORD;
using COLORREF = DWORD;

using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPBOOL = BOOL*;
using LPVOID = void*;
using LPCVOID = const void*;
using PVOID = void*;
using LPLONG = LONG*;

#define DECLARE_VIREO_HANDLE(name)                                                                           \
    struct name##__ {                                                                                        \
        int unused;                                                                                          \
    };                                                                                                       \
    using name = name##__*

DECLARE_VIREO_HANDLE(HKEY);
DECLARE_VIREO_HANDLE(HWND);
DECLARE_VIREO_HANDLE(HINSTANCE);
DECLARE_VIREO_HANDLE(HICON);
DECLARE_VIREO_HANDLE(HMENU);
DECLARE_VIREO_HANDLE(HACCEL);
DECLARE_VIREO_HANDLE(HFONT);
DECLARE_VIREO_HANDLE(HBRUSH);
DECLARE_VIREO_HANDLE(HCURSOR);
using HMODULE = HINSTANCE;
using PHKEY = HKEY*;
using HANDLE = void*;

// Macros, as on the platform, so that GLib's identical definitions can coexist.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
constexpr DWORD MAX_PATH = 260;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

constexpr WORD LOWORD(DWORD_PTR v) {
    return static_cast<WORD>(v & 0xffff);
}
constexpr WORD HIWORD(DWORD_PTR v) {
    return static_cast<WORD>((v >> 16) & 0xffff);
}

// Resource identifiers travel in a pointer whose upper bits are zero.
inline LPCSTR MAKEINTRESOURCEA(UINT_PTR id) {
    return reinterpret_cast<LPCSTR>(id);
}
inline bool IS_INTRESOURCE(LPCSTR p) {
    return (reinterpret_cast<UINT_PTR>(p) >> 16) == 0;
}
