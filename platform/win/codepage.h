// Code pages: the process's ANSI code page, DBCS lead bytes, conversions to and from
// UTF-16, and the locale-independent string comparison.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

constexpr LCID LOCALE_INVARIANT = 0x007f;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr DWORD NORM_IGNORECASE = 0x00000001;
constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;

UINT GetACP();
UINT GetOEMCP();
BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);
BOOL IsDBCSLeadByte(BYTE TestChar);
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);
int CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1, LPCSTR lpString2,
                   int cchCount2);
LPSTR CharNextA(LPCSTR lpsz);

namespace vireo::win {

// The layer's own conversions at the boundary to the host, which speaks UTF-8.
// Bytes that do not form a character of the code page become U+FFFD; characters the
// code page lacks become "?", as the platform's default character.
std::string AnsiToUtf8(std::string_view ansi, UINT codePage = CP_ACP);
std::string Utf8ToAnsi(std::string_view utf8, UINT codePage = CP_ACP);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Position of the last byte equal to `ch` that is not the trail byte of a double-byte
// character, or npos. `ch` must be a single-byte character such as '\\' or '.'.
std::size_t FindLastSingleByte(std::string_view text, char ch, UINT codePage = CP_ACP);

// Ordinal comparison after simple case folding, for names the platform compares
// without regard to case (registry keys, file names at the host boundary).
bool EqualsIgnoreCaseUtf8(std::string_view a, std::string_view b);
std::string FoldCaseUtf8(std::string_view utf8);

// Resolves CP_ACP and CP_THREAD_ACP to the code page in force.
UINT ResolveCodePage(UINT codePage);

} // namespace vireo::win
