#include "platform/win/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <vector>

#include "platform/win/codepage.h"
#include "platform/win/errors.h"
#include "platform/win/internal.h"
#include "platform/win/prefix.h"

namespace vireo::win {
namespace {

std::filesystem::path& ModuleOverride() {
    static std::filesystem::path path;
    return path;
}

std::optional<std::string>& ModuleWindowsOverride() {
    static std::optional<std::string> path;
    return path;
}

// The current directory in Windows form (UTF-8), once SetCurrentDirectoryA has set it.
std::optional<std::string>& CurrentDirectory() {
    static std::optional<std::string> dir;
    return dir;
}

bool Exists(const std::string& hostPath) {
    struct stat st;
    return lstat(hostPath.c_str(), &st) == 0;
}

bool EndsWithExe(std::string_view name) {
    return name.size() >= 4 && EqualsIgnoreCaseUtf8(name.substr(name.size() - 4), ".exe");
}

// The running executable is seen from the Windows side only under its Windows name,
// which carries the ".exe" its host name lacks. Its bare host name stays free for the
// folder named after it (in another letter case, "vireoplayer" beside "VireoPlayer"),
// which the platform's lookups would find.
bool IsModuleFile(const std::string& hostPath) {
    std::filesystem::path module = ModuleHostPath();
    if (module.empty() || EndsWithExe(module.filename().string()) || hostPath != module.string())
        return false;
    struct stat st;
    return lstat(hostPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// Finds `name` in the host folder `dir` ignoring letter case; empty when absent.
std::string FindIgnoringCase(const std::string& dir, const std::string& name) {
    DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
    if (!d)
        return {};
    std::string found;
    std::string folded = FoldCaseUtf8(name);
    while (dirent* e = readdir(d)) {
        if (FoldCaseUtf8(e->d_name) == folded && !IsModuleFile(dir + "/" + e->d_name)) {
            found = e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

const DriveMapping* Drive(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const DriveMapping& d : CurrentPrefix().drives)
        if (d.letter == letter)
            return &d;
    return nullptr;
}

// Splits a Windows path (UTF-8) into components, resolving "." and "..".
std::vector<std::string> Components(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t j = path.find_first_of("\\/", i);
        if (j == std::string_view::npos)
            j = path.size();
        std::string part(path.substr(i, j - i));
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    return parts;
}

std::string CurrentDirectoryUtf8() {
    if (CurrentDirectory())
        return *CurrentDirectory();
    char buf[4096];
    if (!getcwd(buf, sizeof buf))
        return "Z:\\";
    return AnsiToUtf8(FromHostPath(buf));
}

// Makes a Windows path absolute: "X:\..." as it is, "\..." on the current drive,
// anything else below the current directory. UNC paths stay as they are.
std::string Absolute(std::string_view path) {
    bool sep0 = !path.empty() && (path[0] == '\\' || path[0] == '/');
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path);
    std::string cwd = CurrentDirectoryUtf8();
    if (sep0 && path.size() >= 2 && (path[1] == '\\' || path[1] == '/'))
        return std::string(path);
    if (sep0)
        return cwd.substr(0, 2) + std::string(path);
    if (!cwd.empty() && cwd.back() != '\\')
        cwd += '\\';
    return cwd + std::string(path);
}

} // namespace

std::filesystem::path ToHostPath(std::string_view windowsPath) {
    std::string path = Absolute(AnsiToUtf8(windowsPath));
    if (path.size() < 2 || path[1] != ':')
        return {}; // a network share or a device: nothing on this host
    const DriveMapping* drive = Drive(path[0]);
    if (!drive)
        return {};
    std::string host = drive->hostRoot == "/" ? std::string() : drive->hostRoot;
    bool resolving = true;
    for (const std::string& part : Components(std::string_view(path).substr(2))) {
        std::string next = host + "/" + part;
        if (resolving && EndsWithExe(part) && IsModuleFile(next.substr(0, next.size() - 4))) {
            next.resize(next.size() - 4); // the executable under its Windows name
        } else if (resolving && (!Exists(next) || IsModuleFile(next))) {
            std::string actual = FindIgnoringCase(host, part);
            if (actual.empty()) {
                if (IsModuleFile(next))
                    return {};     // nothing answers to the executable's bare name
                resolving = false; // the rest does not exist in any spelling
            } else {
                next = host + "/" + actual;
            }
        }
        host = next;
    }
    return host.empty() ? std::filesystem::path("/") : std::filesystem::path(host);
}

std::string FromHostPath(const std::filesystem::path& hostPath) {
    std::string host = hostPath.lexically_normal().string();
    const DriveMapping* best = nullptr;
    for (const DriveMapping& d : CurrentPrefix().drives) {
        const std::string& root = d.hostRoot;
        bool inside = root == "/" || host == root || host.rfind(root + "/", 0) == 0;
        if (inside && (!best || root.size() > best->hostRoot.size()))
            best = &d;
    }
    std::string rest = best ? (best->hostRoot == "/" ? host : host.substr(best->hostRoot.size())) : host;
    std::string out;
    out += best ? best->letter : 'Z';
    out += ':';
    for (char c : rest)
        out += c == '/' ? '\\' : c;
    if (out.size() == 2)
        out += '\\';
    return Utf8ToAnsi(out);
}

void SetModulePathForTesting(const std::filesystem::path& hostPath) {
    ModuleOverride() = hostPath;
    ModuleWindowsOverride().reset();
}

void SetModuleWindowsPathForTesting(const std::string& windowsPath) {
    ModuleWindowsOverride() = windowsPath;
}

std::filesystem::path ModuleHostPath() {
    if (!ModuleOverride().empty())
        return ModuleOverride();
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : p;
}

namespace detail {
void ResetPaths() {
    CurrentDirectory().reset();
    ModuleOverride().clear();
    ModuleWindowsOverride().reset();
}
} // namespace detail

} // namespace vireo::win

using namespace vireo::win;

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr && hModule != reinterpret_cast<HMODULE>(0x400000)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::filesystem::path host = ModuleHostPath();
    std::string path = host.empty() ? std::string() : FromHostPath(host);
    if (!host.empty() && !EndsWithExe(host.filename().string()))
        path += ".exe";
    if (ModuleWindowsOverride())
        path = *ModuleWindowsOverride();
    // Too long for the buffer: the platform keeps the first nSize - 1 bytes, terminates
    // them and reports the whole buffer as used.
    if (path.size() >= nSize) {
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName) {
    if (!lpPathName || !*lpPathName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::filesystem::path host = ToHostPath(lpPathName);
    if (host.empty() || chdir(host.c_str()) != 0) {
        SetLastError(host.empty() || errno == ENOENT ? ERROR_PATH_NOT_FOUND
                     : errno == EACCES               ? ERROR_ACCESS_DENIED
                     : errno == ENOTDIR              ? ERROR_DIRECTORY_NAME_INVALID
                                                     : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::string dir = Absolute(AnsiToUtf8(lpPathName));
    std::string normal = dir.substr(0, 2);
    for (const std::string& part : Components(std::string_view(dir).substr(2)))
        normal += "\\" + part;
    if (normal.size() == 2)
        normal += '\\';
    CurrentDirectory() = normal;
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
    std::string dir = Utf8ToAnsi(CurrentDirectoryUtf8());
    if (dir.size() + 1 > nBufferLength || !lpBuffer)
        return static_cast<DWORD>(dir.size() + 1);
    std::memcpy(lpBuffer, dir.c_str(), dir.size() + 1);
    return static_cast<DWORD>(dir.size());
}

DWORD GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::string abs = Absolute(AnsiToUtf8(lpFileName));
    std::string full;
    if (abs.size() >= 2 && abs[1] == ':') {
        full = abs.substr(0, 2);
        for (const std::string& part : Components(std::string_view(abs).substr(2)))
            full += "\\" + part;
        if (full.size() == 2)
            full += '\\';
    } else {
        full = abs;
    }
    std::string ansi = Utf8ToAnsi(full);
    if (ansi.size() + 1 > nBufferLength || !lpBuffer)
        return static_cast<DWORD>(ansi.size() + 1);
    std::memcpy(lpBuffer, ansi.c_str(), ansi.size() + 1);
    if (lpFilePart) {
        std::size_t slash = FindLastSingleByte(ansi, '\\');
        *lpFilePart = slash == std::string::npos || slash + 1 == ansi.size() ? nullptr : lpBuffer + slash + 1;
    }
    return static_cast<DWORD>(ansi.size());
}
