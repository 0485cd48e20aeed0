#include "platform/win/registry.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>

#include "platform/win/codepage.h"
#include "platform/win/hive.h"
#include "platform/win/internal.h"
#include "platform/win/prefix.h"

using namespace vireo::win;
using vireo::win::reg::Hive;
using vireo::win::reg::Key;
using vireo::win::reg::Value;

namespace {

constexpr REGSAM kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

struct OpenKey {
    Hive* hive;
    std::vector<std::string> path; // components below the hive's root
    REGSAM access;
};

struct State {
    std::unique_ptr<Hive> machine;
    std::unique_ptr<Hive> user;
    std::map<ULONG_PTR, OpenKey> handles;
    ULONG_PTR nextHandle = 0x1000;
};

State& Registry() {
    static State state;
    if (!state.machine) {
        const auto& dir = CurrentPrefix().directory;
        state.machine =
            std::make_unique<Hive>(dir / "system.reg", "HKEY_LOCAL_MACHINE", reg::HiveKind::Machine);
        state.user = std::make_unique<Hive>(dir / "user.reg", "HKEY_CURRENT_USER", reg::HiveKind::User);
    }
    return state;
}

// Maps generic rights onto the key's own, as the platform does before checking.
REGSAM Normalize(REGSAM sam) {
    REGSAM out = sam & (KEY_ALL_ACCESS | KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    if (sam & GENERIC_READ)
        out |= KEY_READ;
    if (sam & GENERIC_WRITE)
        out |= KEY_WRITE;
    if (sam & GENERIC_EXECUTE)
        out |= KEY_EXECUTE;
    if (sam & (GENERIC_ALL | MAXIMUM_ALLOWED))
        out |= KEY_ALL_ACCESS;
    return out & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
}

// Resolves a handle to the open key it stands for; nullopt for an invalid handle.
std::optional<OpenKey> Resolve(HKEY hKey) {
    State& s = Registry();
    if (hKey == HKEY_LOCAL_MACHINE)
        return OpenKey{s.machine.get(), {}, KEY_ALL_ACCESS};
    if (hKey == HKEY_CURRENT_USER)
        return OpenKey{s.user.get(), {}, KEY_ALL_ACCESS};
    if (hKey == HKEY_CLASSES_ROOT)
        return OpenKey{s.machine.get(), {"SOFTWARE", "Classes"}, KEY_ALL_ACCESS};
    auto it = s.handles.find(reinterpret_cast<ULONG_PTR>(hKey));
    if (it == s.handles.end())
        return std::nullopt;
    return it->second;
}

bool IsPredefined(HKEY hKey) {
    return hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER || hKey == HKEY_CLASSES_ROOT ||
           hKey == HKEY_USERS;
}

// Finds the key at `path` below `root`; `protectedOut` tells whether it or an ancestor
// is protected.
const Key* Walk(const Key& root, const std::vector<std::string>& path, bool* protectedOut = nullptr) {
    const Key* key = &root;
    bool prot = root.isProtected;
    for (const std::string& part : path) {
        key = key->Find(part);
        if (!key)
            return nullptr;
        prot = prot || key->isProtected;
    }
    if (protectedOut)
        *protectedOut = prot;
    return key;
}

Key* WalkMutable(Key& root, const std::vector<std::string>& path) {
    return const_cast<Key*>(Walk(root, path));
}

bool Denied(bool isProtected, REGSAM rights) {
    return isProtected && (rights & kWriteRights) && !IsProcessElevated();
}

HKEY NewHandle(OpenKey key) {
    State& s = Registry();
    ULONG_PTR value = s.nextHandle;
    s.nextHandle += 4;
    s.handles.emplace(value, std::move(key));
    return reinterpret_cast<HKEY>(value);
}

// Converts an ANSI sub-key path into components; false when it is malformed.
bool SubKeyPath(LPCSTR lpSubKey, std::vector<std::string>& parts) {
    parts.clear();
    if (!lpSubKey || !*lpSubKey)
        return true;
    if (lpSubKey[0] == '\\')
        return false; // the platform refuses absolute sub-key paths
    parts = reg::SplitKeyPath(AnsiToUtf8(lpSubKey));
    for (const std::string& p : parts)
        if (reg::LongerThan(p, reg::kMaxKeyNameLength))
            return false;
    return true;
}

// Joins a handle's path and a sub-key path; false beyond the deepest path the registry
// holds.
bool FullPath(const OpenKey& base, const std::vector<std::string>& sub, std::vector<std::string>& full) {
    full = base.path;
    full.insert(full.end(), sub.begin(), sub.end());
    return full.size() <= reg::kMaxKeyDepth;
}

// NT stores a terminator that the caller left out of the size when the byte after the
// data is one: it reads that byte whatever lies there. The byte is read here through the
// kernel, which reports an address it cannot read instead of faulting.
bool TerminatorFollows(const BYTE* end) {
    static int pipeFds[2] = {-1, -1};
    if (pipeFds[0] < 0 && pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    if (syscall(SYS_write, pipeFds[1], end, 1) != 1)
        return false;
    char byte = 1;
    return read(pipeFds[0], &byte, 1) == 1 && byte == 0;
}

std::string ValueName(LPCSTR name) {
    return name ? AnsiToUtf8(name) : std::string();
}

// The bytes of a value as an A function hands them out: string data in the ANSI code page.
std::string AnsiData(const Value& v) {
    return reg::IsStringType(v.type) ? Utf8ToAnsi(v.data) : v.data;
}

// Copies value data into a caller's buffer under the platform's rules: too small a
// buffer gets ERROR_MORE_DATA and is left untouched; a string without its terminator
// gets one when there is room for it, which is not counted in the size.
LONG CopyData(const std::string& data, DWORD type, LPBYTE lpData, LPDWORD lpcbData) {
    DWORD size = static_cast<DWORD>(data.size());
    if (lpData) {
        if (size > *lpcbData) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(lpData, data.data(), data.size());
        if (reg::IsStringType(type) && size > 0 && data.back() != '\0' && size < *lpcbData)
            lpData[size] = 0;
    }
    if (lpcbData)
        *lpcbData = size;
    return ERROR_SUCCESS;
}

} // namespace

namespace vireo::win {

std::size_t OpenRegistryKeyCount() {
    return Registry().handles.size();
}

LONG ReadRegistryTree(HKEY root, const std::function<LONG(const Key& hiveRoot)>& read) {
    auto base = IsPredefined(root) ? Resolve(root) : std::nullopt;
    if (!base)
        return ERROR_INVALID_HANDLE;
    const Key* hiveRoot = nullptr;
    if (LONG status = base->hive->Read(hiveRoot))
        return status;
    return read(*hiveRoot);
}

LONG ChangeRegistryTree(HKEY root, const std::function<LONG(Key& hiveRoot, bool& changed)>& change) {
    auto base = IsPredefined(root) ? Resolve(root) : std::nullopt;
    if (!base)
        return ERROR_INVALID_HANDLE;
    return base->hive->Modify(change);
}

std::vector<std::string> PredefinedKeyPath(HKEY root) {
    auto base = IsPredefined(root) ? Resolve(root) : std::nullopt;
    return base ? base->path : std::vector<std::string>{};
}

bool WriteDenied(const Key& hiveRoot, const std::vector<std::string>& path) {
    bool prot = hiveRoot.isProtected;
    const Key* key = &hiveRoot;
    for (const std::string& part : path) {
        key = key->Find(part);
        if (!key)
            break;
        prot = prot || key->isProtected;
    }
    return Denied(prot, KEY_WRITE);
}

namespace detail {

void ResetRegistry() {
    State& s = Registry();
    s.handles.clear();
    s.machine.reset();
    s.user.reset();
}

} // namespace detail
} // namespace vireo::win

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (hKey == HKEY_USERS)
        return ERROR_ACCESS_DENIED;
    auto base = Resolve(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (Reserved != 0 || (dwOptions & ~(REG_OPTION_VOLATILE)) != 0)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::string> sub;
    if (!SubKeyPath(lpSubKey, sub))
        return ERROR_BAD_PATHNAME;
    REGSAM rights = Normalize(samDesired);
    std::vector<std::string> full;
    if (!FullPath(*base, sub, full))
        return ERROR_BAD_PATHNAME;

    // Opening an existing key needs no write to the hive.
    bool prot = false;
    const Key* root = nullptr;
    if (LONG status = base->hive->Read(root))
        return status;
    if (!Walk(*root, base->path))
        return ERROR_KEY_DELETED;
    if (Walk(*root, full, &prot)) {
        if (Denied(prot, rights))
            return ERROR_ACCESS_DENIED;
        *phkResult = NewHandle(OpenKey{base->hive, full, rights});
        if (lpdwDisposition)
            *lpdwDisposition = REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    }
    bool created = false;
    LONG status = base->hive->Modify([&](Key& r, bool& changed) -> LONG {
        Key* key = &r;
        bool p = r.isProtected;
        for (std::size_t i = 0; i < full.size(); ++i) {
            Key* next = key->Find(full[i]);
            if (!next) {
                if (i < base->path.size())
                    return ERROR_KEY_DELETED;
                if (Denied(p, KEY_CREATE_SUB_KEY))
                    return ERROR_ACCESS_DENIED;
                next = &key->Add(full[i]);
                changed = created = true;
            }
            key = next;
            p = p || key->isProtected;
        }
        return Denied(p, rights) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS)
        return status;
    *phkResult = NewHandle(OpenKey{base->hive, full, rights});
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (hKey == HKEY_USERS)
        return ERROR_FILE_NOT_FOUND;
    auto base = Resolve(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> sub;
    if (!SubKeyPath(lpSubKey, sub))
        return ERROR_BAD_PATHNAME;
    std::vector<std::string> full;
    if (!FullPath(*base, sub, full))
        return ERROR_FILE_NOT_FOUND; // nothing lies that deep
    const Key* root = nullptr;
    if (LONG status = base->hive->Read(root))
        return status;
    if (!Walk(*root, base->path))
        return ERROR_KEY_DELETED;
    bool prot = false;
    if (!Walk(*root, full, &prot))
        return ERROR_FILE_NOT_FOUND;
    REGSAM rights = Normalize(samDesired);
    if (Denied(prot, rights))
        return ERROR_ACCESS_DENIED;
    *phkResult = NewHandle(OpenKey{base->hive, full, rights});
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    auto key = Resolve(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    if ((lpData && !lpcbData) || lpReserved)
        return ERROR_INVALID_PARAMETER;
    if (!(key->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    // A size query starts from nothing: a value that is not there reports 0 bytes.
    if (!lpData && lpcbData)
        *lpcbData = 0;
    const Key* root = nullptr;
    if (LONG status = key->hive->Read(root))
        return status;
    const Key* k = Walk(*root, key->path);
    if (!k)
        return ERROR_KEY_DELETED;
    const Value* v = k->FindValue(ValueName(lpValueName));
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = v->type;
    return CopyData(AnsiData(*v), v->type, lpData, lpcbData);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    auto key = Resolve(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    if (Reserved != 0)
        return ERROR_INVALID_PARAMETER;
    if (!lpData && cbData != 0)
        return ERROR_NOACCESS;
    if (!(key->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    std::string name = ValueName(lpValueName);
    if (reg::LongerThan(name, reg::kMaxValueNameLength))
        return ERROR_FILENAME_EXCED_RANGE;
    std::string bytes(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    if (reg::IsStringType(dwType) && cbData > 0 && lpData[cbData - 1] != 0 &&
        TerminatorFollows(lpData + cbData))
        bytes += '\0';
    Value value{name, dwType, reg::IsStringType(dwType) ? AnsiToUtf8(bytes) : bytes};
    return key->hive->Modify([&](Key& root, bool& changed) -> LONG {
        bool prot = false;
        Key* k = const_cast<Key*>(Walk(root, key->path, &prot));
        if (!k)
            return ERROR_KEY_DELETED;
        if (Denied(prot, KEY_SET_VALUE))
            return ERROR_ACCESS_DENIED;
        k->SetValue(value);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    auto base = Resolve(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::string> sub;
    if (!SubKeyPath(lpSubKey, sub))
        return ERROR_BAD_PATHNAME;
    std::vector<std::string> full;
    if (!FullPath(*base, sub, full))
        return ERROR_FILE_NOT_FOUND;
    if (full.empty())
        return ERROR_ACCESS_DENIED; // a hive's root cannot be deleted
    if (sub.empty() && !(base->access & DELETE))
        return ERROR_ACCESS_DENIED;
    return base->hive->Modify([&](Key& root, bool& changed) -> LONG {
        bool prot = false;
        const Key* target = Walk(root, full, &prot);
        if (!target)
            return Walk(root, base->path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        if (!target->keys.empty())
            return ERROR_ACCESS_DENIED; // only a key without sub-keys can go
        if (Denied(prot, DELETE))
            return ERROR_ACCESS_DENIED;
        std::vector<std::string> parentPath(full.begin(), full.end() - 1);
        WalkMutable(root, parentPath)->Remove(full.back());
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    auto key = Resolve(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    if (!(key->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    std::string name = ValueName(lpValueName);
    return key->hive->Modify([&](Key& root, bool& changed) -> LONG {
        bool prot = false;
        Key* k = const_cast<Key*>(Walk(root, key->path, &prot));
        if (!k)
            return ERROR_KEY_DELETED;
        if (Denied(prot, KEY_SET_VALUE))
            return ERROR_ACCESS_DENIED;
        if (!k->RemoveValue(name))
            return ERROR_FILE_NOT_FOUND;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    auto key = Resolve(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    if (!lpName || !lpcchName || lpReserved)
        return ERROR_INVALID_PARAMETER;
    if (!(key->access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    const Key* root = nullptr;
    if (LONG status = key->hive->Read(root))
        return status;
    const Key* k = Walk(*root, key->path);
    if (!k)
        return ERROR_KEY_DELETED;
    if (dwIndex >= k->keys.size())
        return ERROR_NO_MORE_ITEMS;
    std::string name = Utf8ToAnsi(k->keys[dwIndex]->name);
    // The size counts characters with the terminator going in, without it coming out.
    if (name.size() + 1 > *lpcchName)
        return ERROR_MORE_DATA;
    std::memcpy(lpName, name.c_str(), name.size() + 1);
    *lpcchName = static_cast<DWORD>(name.size());
    if (lpClass && lpcchClass && *lpcchClass > 0)
        lpClass[0] = '\0';
    if (lpcchClass)
        *lpcchClass = 0;
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    auto key = Resolve(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    if (!(key->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const Key* root = nullptr;
    if (LONG status = key->hive->Read(root))
        return status;
    const Key* k = Walk(*root, key->path);
    if (!k)
        return ERROR_KEY_DELETED;
    if (dwIndex >= k->values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& v = k->values[dwIndex];
    std::string name = Utf8ToAnsi(v.name);
    std::string data = AnsiData(v);
    if (name.size() + 1 > *lpcchValueName || (lpData && data.size() > *lpcbData)) {
        if (lpcbData)
            *lpcbData = static_cast<DWORD>(data.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(lpValueName, name.c_str(), name.size() + 1);
    *lpcchValueName = static_cast<DWORD>(name.size());
    if (lpType)
        *lpType = v.type;
    return CopyData(data, v.type, lpData, lpcbData);
}

LONG RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey))
        return ERROR_SUCCESS;
    State& s = Registry();
    return s.handles.erase(reinterpret_cast<ULONG_PTR>(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
