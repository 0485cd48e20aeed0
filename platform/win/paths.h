// Paths and drives: the process's module path and current directory in Windows form,
// and the one boundary where Windows paths become host paths.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/win/types.h"

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
BOOL SetCurrentDirectoryA(LPCSTR lpPathName);
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
DWORD GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart);

namespace vireo::win {

// A Windows path (narrow, ANSI code page, absolute or relative to the current
// directory) as a host path. Each component that does not exist with its exact
// spelling is looked up without regard to letter case, as the platform's file system
// does. A path that no drive maps (an unknown drive, a network share) yields an empty
// host path, which names nothing.
std::filesystem::path ToHostPath(std::string_view windowsPath);

// A host path as the platform would report it: the drive whose folder holds it, then
// backslashes, in the ANSI code page.
std::string FromHostPath(const std::filesystem::path& hostPath);

// Lets a test run the system as if its executable were `hostPath`. An empty path
// restores the real one.
void SetModulePathForTesting(const std::filesystem::path& hostPath);

// Lets a test make GetModuleFileNameA report exactly `windowsPath` (ANSI), whatever
// the host has; SetModulePathForTesting undoes it.
void SetModuleWindowsPathForTesting(const std::string& windowsPath);

// The host path of the running executable (or the one a test set).
std::filesystem::path ModuleHostPath();

} // namespace vireo::win
