// Starting programs and opening files the way the shell does.
#pragma once

#include <string>
#include <vector>

#include "platform/win/types.h"
#include "platform/win/window.h"

constexpr INT_PTR SE_ERR_FNF = 2;
constexpr INT_PTR SE_ERR_PNF = 3;
constexpr INT_PTR SE_ERR_ACCESSDENIED = 5;
constexpr INT_PTR SE_ERR_OOM = 8;
constexpr INT_PTR SE_ERR_NOASSOC = 31;

// An executable file starts directly with its parameters and working directory; any
// other file, and a folder, goes to the desktop's default handler (xdg-open). The call
// never waits for what it started, and leaves no child behind to be reaped. The result
// is greater than 32 on success, as on the platform.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT nShowCmd);

namespace vireo::win {

// Splits a parameter string the way the platform's programs split their command line.
std::vector<std::string> SplitCommandLine(std::string_view parameters);

} // namespace vireo::win
