// The registry: the platform's functions with their signatures, status codes, size and
// terminator rules. Both hives persist in the prefix (see hive.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win/errors.h"
#include "platform/win/types.h"

// The predefined keys, sign-extended into a pointer as the platform defines them.
#define VIREO_PREDEFINED_KEY(v) reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(v)))
#define HKEY_CLASSES_ROOT VIREO_PREDEFINED_KEY(0x80000000)
#define HKEY_CURRENT_USER VIREO_PREDEFINED_KEY(0x80000001)
#define HKEY_LOCAL_MACHINE VIREO_PREDEFINED_KEY(0x80000002)
#define HKEY_USERS VIREO_PREDEFINED_KEY(0x80000003)

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_OPTION_VOLATILE = 1;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM DELETE = 0x00010000;
constexpr REGSAM READ_CONTROL = 0x00020000;
constexpr REGSAM WRITE_DAC = 0x00040000;
constexpr REGSAM WRITE_OWNER = 0x00080000;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_EXECUTE = KEY_READ;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegCloseKey(HKEY hKey);

namespace vireo::win {

// How many keys this process holds open (predefined keys do not count).
std::size_t OpenRegistryKeyCount();

namespace reg {
struct Key;
}

// The registry in its own terms, for the registry tool, which must keep every character:
// the tree of the hive a predefined key lies in, names and string data in UTF-8. A read
// sees the hive as it is; a change is made to the whole hive under its lock and stored
// whole when it succeeds, or not at all. ERROR_INVALID_HANDLE for a key that is not
// predefined or has no hive (HKEY_USERS).
LONG ReadRegistryTree(HKEY root, const std::function<LONG(const reg::Key& hiveRoot)>& read);
LONG ChangeRegistryTree(HKEY root, const std::function<LONG(reg::Key& hiveRoot, bool& changed)>& change);
// Where a predefined key lies in its hive (HKEY_CLASSES_ROOT: SOFTWARE\Classes).
std::vector<std::string> PredefinedKeyPath(HKEY root);
// Whether writing at `path` of a hive (a key there, or one to be created there) needs
// rights this process lacks: the deepest existing key on the way is protected.
bool WriteDenied(const reg::Key& hiveRoot, const std::vector<std::string>& path);

} // namespace vireo::win
