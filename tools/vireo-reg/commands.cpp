#include "tools/vireo-reg/commands.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "platform/win/codepage.h"
#include "platform/win/hive.h"
#include "platform/win/internal.h"
#include "platform/win/prefix.h"
#include "platform/win/registry.h"
#include "platform/win/regtree.h"

namespace vireo::regtool {
namespace {

using win::reg::Key;
using win::reg::Section;
using win::reg::Value;
using Path = std::vector<std::string>;

const char kNotFound[] = "ERROR: The system was unable to find the specified registry key or value.\n";
const char kDone[] = "The operation completed successfully.\n";
const char kInvalidKey[] = "ERROR: Invalid key name.\n";
// Registry files are small; a file past this is no registry file (or never ends).
constexpr std::size_t kMaxImportBytes = 64u << 20;

struct Root {
    const char* shortName;
    const char* longName;
    HKEY key;
};
const Root kRoots[] = {{"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                       {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                       {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                       {"HKU", "HKEY_USERS", HKEY_USERS}};

// A key as given on the command line or in a file: its root, the rest as spelt there,
// and its path in the root's hive.
struct KeyName {
    const Root* root = nullptr;
    std::string rest; // UTF-8, without trailing backslashes
    Path path;        // components in the hive, below its root
    std::string FullName() const {
        return rest.empty() ? root->longName : std::string(root->longName) + "\\" + rest;
    }
};

// Parses "HKLM\path"; false (having said why) for an unknown root or a path the registry
// cannot hold.
bool ParseKey(const std::string& text, KeyName& name) {
    std::size_t slash = text.find('\\');
    std::string head = text.substr(0, slash);
    for (const Root& r : kRoots) {
        if (strcasecmp(head.c_str(), r.shortName) != 0 && strcasecmp(head.c_str(), r.longName) != 0)
            continue;
        name.root = &r;
        name.rest = slash == std::string::npos ? std::string() : text.substr(slash + 1);
        while (!name.rest.empty() && name.rest.back() == '\\')
            name.rest.pop_back();
        name.path = win::PredefinedKeyPath(r.key);
        for (std::string& part : win::reg::SplitKeyPath(name.rest)) {
            if (win::reg::LongerThan(part, win::reg::kMaxKeyNameLength)) {
                std::fputs("ERROR: Invalid key name: a key name is longer than 255 characters.\n", stderr);
                return false;
            }
            name.path.push_back(std::move(part));
        }
        if (name.path.size() > win::reg::kMaxKeyDepth) {
            std::fputs("ERROR: Invalid key name: the registry holds no key deeper than 512 levels.\n",
                       stderr);
            return false;
        }
        return true;
    }
    std::fputs(kInvalidKey, stderr);
    return false;
}

const Key* Find(const Key& hiveRoot, const Path& path) {
    const Key* key = &hiveRoot;
    for (const std::string& part : path)
        if (!(key = key->Find(part)))
            return nullptr;
    return key;
}

Key* Find(Key& hiveRoot, const Path& path) {
    return const_cast<Key*>(Find(static_cast<const Key&>(hiveRoot), path));
}

// Creates the keys on the way; ERROR_ACCESS_DENIED where that needs rights the process lacks.
LONG CreatePath(Key& hiveRoot, const Path& path, Key*& key, bool& changed) {
    if (win::WriteDenied(hiveRoot, path))
        return ERROR_ACCESS_DENIED;
    key = &hiveRoot;
    for (const std::string& part : path) {
        if (!key->Find(part))
            changed = true;
        key = &key->Add(part);
    }
    return ERROR_SUCCESS;
}

bool AnyProtected(const Key& key) {
    if (key.isProtected)
        return true;
    for (const auto& child : key.keys)
        if (AnyProtected(*child))
            return true;
    return false;
}

// Removes a key with everything below it; a protected key anywhere in it needs rights.
LONG RemoveTree(Key& hiveRoot, const Path& path, bool& changed) {
    if (path.empty())
        return ERROR_ACCESS_DENIED; // a hive's root cannot be deleted
    Key* key = Find(hiveRoot, path);
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    if (win::WriteDenied(hiveRoot, path) || (AnyProtected(*key) && !win::IsProcessElevated()))
        return ERROR_ACCESS_DENIED;
    Key* parent = Find(hiveRoot, Path(path.begin(), path.end() - 1));
    changed = parent->Remove(path.back()) || changed;
    return ERROR_SUCCESS;
}

const char* TypeName(DWORD type) {
    switch (type) {
    case REG_NONE:
        return "REG_NONE";
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_DWORD:
        return "REG_DWORD";
    case REG_DWORD_BIG_ENDIAN:
        return "REG_DWORD_BIG_ENDIAN";
    case REG_MULTI_SZ:
        return "REG_MULTI_SZ";
    case REG_QWORD:
        return "REG_QWORD";
    default:
        return "REG_UNKNOWN";
    }
}

bool TypeFromName(const std::string& name, DWORD& type) {
    for (DWORD t : {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
                    REG_MULTI_SZ, REG_QWORD}) {
        if (strcasecmp(name.c_str(), TypeName(t)) == 0) {
            type = t;
            return true;
        }
    }
    return false;
}

// The data as the platform's tool prints it; string data is UTF-8 already.
std::string FormatData(DWORD type, const std::string& data) {
    char buf[32];
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return data.substr(0, data.find('\0'));
    case REG_MULTI_SZ: {
        std::string out;
        std::size_t start = 0;
        while (start < data.size() && data[start] != '\0') {
            std::size_t end = data.find('\0', start);
            if (end == std::string::npos)
                end = data.size();
            if (!out.empty())
                out += "\\0";
            out += data.substr(start, end - start);
            start = end + 1;
        }
        return out;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        if (data.size() == 4) {
            DWORD d = 0;
            for (int i = 3; i >= 0; --i)
                d = (d << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
            if (type == REG_DWORD_BIG_ENDIAN)
                d = __builtin_bswap32(d);
            std::snprintf(buf, sizeof buf, "0x%x", d);
            return buf;
        }
        break;
    case REG_QWORD:
        if (data.size() == 8) {
            unsigned long long q = 0;
            for (int i = 7; i >= 0; --i)
                q = (q << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
            std::snprintf(buf, sizeof buf, "0x%llx", q);
            return buf;
        }
        break;
    default:
        break;
    }
    std::string out;
    for (unsigned char c : data) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        out += buf;
    }
    return out;
}

void PrintValue(const Value& v) {
    std::string name = v.name.empty() ? "(Default)" : v.name;
    std::printf("    %s    %s    %s\n", name.c_str(), TypeName(v.type), FormatData(v.type, v.data).c_str());
}

void QueryTree(const Key& key, const std::string& fullName, bool recursive,
               const std::optional<std::string>& only) {
    std::printf("%s\n", fullName.c_str());
    for (const Value& v : key.values)
        if (!only || win::EqualsIgnoreCaseUtf8(v.name, *only))
            PrintValue(v);
    std::printf("\n");
    for (const auto& child : key.keys) {
        std::string childName = fullName + "\\" + child->name;
        if (recursive)
            QueryTree(*child, childName, true, only);
        else
            std::printf("%s\n", childName.c_str());
    }
}

// Asks on the terminal. Without an answer to read (standard input closed) the answer is
// no, and the tool says so.
bool Confirm(const std::string& question) {
    std::printf("%s (Yes/No)? ", question.c_str());
    std::fflush(stdout);
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        std::puts("No (standard input is closed, so nothing was confirmed)");
        return false;
    }
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

int Canceled() {
    std::puts("The operation was canceled.");
    return 0;
}

bool ParseData(DWORD type, const Options& o, std::string& out) {
    std::string text = o.data.value_or("");
    out.clear();
    switch (type) {
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
    case REG_QWORD: {
        char* end = nullptr;
        errno = 0;
        unsigned long long n = std::strtoull(text.empty() ? "0" : text.c_str(), &end, 0);
        if (*end != '\0' || errno == ERANGE || (type != REG_QWORD && n > 0xFFFFFFFFULL) || text[0] == '-')
            return false;
        int size = type == REG_QWORD ? 8 : 4;
        for (int i = 0; i < size; ++i)
            out += static_cast<char>((n >> (8 * (type == REG_DWORD_BIG_ENDIAN ? size - 1 - i : i))) & 0xFF);
        return true;
    }
    case REG_BINARY:
    case REG_NONE:
        if (text.size() % 2)
            return false;
        for (std::size_t i = 0; i < text.size(); i += 2) {
            if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
                !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
                return false;
            out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
        }
        return true;
    case REG_MULTI_SZ: {
        // Each piece between separators is one string, each with its terminator; one
        // more ends the list.
        std::size_t start = 0;
        while (!text.empty()) {
            std::size_t end = text.find(o.separator, start);
            if (end == std::string::npos)
                end = text.size();
            out += text.substr(start, end - start);
            out += '\0';
            if (end == text.size())
                break;
            start = end + o.separator.size();
        }
        out += '\0';
        return true;
    }
    default:
        out = text + std::string(1, '\0');
        return true;
    }
}

void ReportFailure(LONG status) {
    switch (status) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_KEY_DELETED:
    case ERROR_INVALID_HANDLE:
        std::fputs(kNotFound, stderr);
        break;
    case ERROR_ACCESS_DENIED:
        std::fputs("ERROR: Access is denied.\n", stderr);
        break;
    case ERROR_CANTWRITE:
        std::fputs("ERROR: The registry could not be written (is the disk full?).\n", stderr);
        break;
    case ERROR_CANTREAD:
        std::fputs("ERROR: The registry could not be read.\n", stderr);
        break;
    case ERROR_TOO_MANY_OPEN_FILES:
        std::fputs("ERROR: Too many files are open to reach the registry.\n", stderr);
        break;
    default:
        std::fprintf(stderr, "ERROR: The operation failed with status %d.\n", static_cast<int>(status));
        break;
    }
}

// Whether a key, or a value of it, exists now (for the questions asked before a change).
bool Exists(const KeyName& name, const std::optional<std::string>& value) {
    bool found = false;
    win::ReadRegistryTree(name.root->key, [&](const Key& hiveRoot) {
        const Key* key = Find(hiveRoot, name.path);
        found = key && (!value || key->FindValue(*value));
        return ERROR_SUCCESS;
    });
    return found;
}

// Reads a whole file, refusing one larger than a registry file could be.
bool ReadImportFile(const std::string& file, std::string& text) {
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "ERROR: Error opening the file %s: %s.\n", file.c_str(), std::strerror(errno));
        return false;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            std::fprintf(stderr, "ERROR: Error reading the file %s: %s.\n", file.c_str(),
                         std::strerror(errno));
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        if (text.size() + static_cast<std::size_t>(n) > kMaxImportBytes) {
            std::fprintf(stderr, "ERROR: %s is larger than a registry file can be (64 MB).\n", file.c_str());
            close(fd);
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return true;
}

// Applies the sections of one hive, in their order, to its tree.
LONG ApplySections(Key& hiveRoot, const std::vector<std::pair<KeyName, const Section*>>& sections,
                   bool& changed) {
    for (const auto& [name, section] : sections) {
        if (section->remove) {
            LONG r = RemoveTree(hiveRoot, name.path, changed);
            if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND)
                return r;
            continue;
        }
        Key* key = nullptr;
        if (LONG r = CreatePath(hiveRoot, name.path, key, changed))
            return r;
        for (const Value& v : section->values) {
            key->SetValue(v);
            changed = true;
        }
        for (const std::string& removed : section->removedValues)
            changed = key->RemoveValue(removed) || changed;
    }
    return ERROR_SUCCESS;
}

// Writes to a file that is no regular file (a device, a pipe); 0 or the errno.
int WriteStream(const std::string& file, std::string_view text) {
    int fd = open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    while (!text.empty() && !error) {
        ssize_t n = write(fd, text.data(), text.size());
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n > 0)
            text.remove_prefix(static_cast<std::size_t>(n));
    }
    if (close(fd) != 0 && !error)
        error = errno;
    return error;
}

} // namespace

int Query(const Options& o) {
    KeyName name;
    if (!ParseKey(o.key, name))
        return 1;
    std::optional<Value> single;
    LONG r = win::ReadRegistryTree(name.root->key, [&](const Key& hiveRoot) -> LONG {
        const Key* key = Find(hiveRoot, name.path);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (o.value && !o.recursive) {
            const Value* v = key->FindValue(*o.value);
            if (!v)
                return ERROR_FILE_NOT_FOUND;
            std::printf("\n%s\n", name.FullName().c_str());
            PrintValue(Value{*o.value, v->type, v->data});
            std::printf("\n");
            return ERROR_SUCCESS;
        }
        std::printf("\n");
        QueryTree(*key, name.FullName(), o.recursive, o.value);
        return ERROR_SUCCESS;
    });
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    return 0;
}

int Add(const Options& o) {
    KeyName name;
    if (!ParseKey(o.key, name))
        return 1;
    DWORD type = REG_SZ;
    std::string data;
    if (o.separator.empty()) {
        std::fputs("ERROR: Invalid syntax. The separator of /s must be a character.\n", stderr);
        return 1;
    }
    if (!TypeFromName(o.type, type) || !ParseData(type, o, data)) {
        std::fputs("ERROR: Invalid syntax. The type or the data is not valid.\n", stderr);
        return 1;
    }
    bool setsValue = o.value || o.data;
    std::string valueName = o.value.value_or("");
    if (setsValue && win::reg::LongerThan(valueName, win::reg::kMaxValueNameLength)) {
        std::fputs("ERROR: The value name is longer than 16383 characters.\n", stderr);
        return 1;
    }
    if (name.root->key == HKEY_USERS) {
        ReportFailure(ERROR_ACCESS_DENIED);
        return 1;
    }
    if (setsValue && !o.force && Exists(name, valueName) &&
        !Confirm("Value " + (valueName.empty() ? std::string("(Default)") : valueName) +
                 " exists, overwrite"))
        return Canceled();
    LONG r = win::ChangeRegistryTree(name.root->key, [&](Key& hiveRoot, bool& changed) -> LONG {
        Key* key = nullptr;
        if (LONG status = CreatePath(hiveRoot, name.path, key, changed))
            return status;
        if (setsValue) {
            key->SetValue(Value{valueName, type, data});
            changed = true;
        }
        return ERROR_SUCCESS;
    });
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    std::fputs(kDone, stdout);
    return 0;
}

int Delete(const Options& o) {
    KeyName name;
    if (!ParseKey(o.key, name))
        return 1;
    if (!Exists(name, std::nullopt)) {
        ReportFailure(ERROR_FILE_NOT_FOUND);
        return 1;
    }
    bool values = o.value || o.allValues;
    if (!values && name.rest.empty()) {
        std::fputs(kInvalidKey, stderr);
        return 1;
    }
    std::string question = o.allValues ? "Delete all values under " + o.key
                           : values    ? "Delete the registry value " + *o.value
                                       : "Permanently delete the registry key " + o.key;
    if (!o.force && !Confirm(question))
        return Canceled();
    LONG r = win::ChangeRegistryTree(name.root->key, [&](Key& hiveRoot, bool& changed) -> LONG {
        if (!values)
            return RemoveTree(hiveRoot, name.path, changed);
        Key* key = Find(hiveRoot, name.path);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (win::WriteDenied(hiveRoot, name.path))
            return ERROR_ACCESS_DENIED;
        if (o.allValues) {
            changed = !key->values.empty();
            key->values.clear();
            return ERROR_SUCCESS;
        }
        changed = key->RemoveValue(*o.value);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    std::fputs(kDone, stdout);
    return 0;
}

int Export(const Options& o) {
    KeyName name;
    if (!ParseKey(o.key, name))
        return 1;
    std::string text;
    LONG r = win::ReadRegistryTree(name.root->key, [&](const Key& hiveRoot) -> LONG {
        const Key* key = Find(hiveRoot, name.path);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        text = win::reg::FormatRegText(*key, name.FullName(), false);
        return ERROR_SUCCESS;
    });
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    if (!o.force && access(o.file.c_str(), F_OK) == 0 &&
        !Confirm("File " + o.file + " already exists. Overwrite it"))
        return Canceled();
    // A file is written aside and put in place whole: a failure (a full disk) leaves
    // whatever was there before, and no half file. A device or a pipe is written as it is.
    struct stat st;
    bool special = stat(o.file.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
    if (int error = special ? WriteStream(o.file, text) : win::detail::WriteFileAtomically(o.file, text)) {
        std::fprintf(stderr, "ERROR: Cannot write %s: %s.\n", o.file.c_str(), std::strerror(error));
        return 1;
    }
    std::fputs(kDone, stdout);
    return 0;
}

// An import is all or nothing: the whole file is checked first, and each hive's part of
// it is one change.
int Import(const Options& o) {
    std::string text;
    if (!ReadImportFile(o.file, text))
        return 1;
    std::vector<Section> sections;
    try {
        sections = win::reg::ParseRegText(text);
    } catch (const win::reg::ParseError& e) {
        std::fprintf(stderr, "ERROR: %s is not a valid registry file: %s.\n", o.file.c_str(), e.what());
        return 1;
    }
    std::vector<std::pair<KeyName, const Section*>> machine, user;
    for (const Section& s : sections) {
        KeyName name;
        if (!ParseKey(s.path, name)) {
            std::fprintf(stderr, "ERROR: [%s] in %s: nothing was imported.\n", s.path.c_str(),
                         o.file.c_str());
            return 1;
        }
        if (name.root->key == HKEY_USERS || (s.remove && name.rest.empty())) {
            // A root key cannot be deleted, and this prefix holds no other users' hives.
            std::fprintf(stderr, "ERROR: Access is denied: [%s%s] in %s; nothing was imported.\n",
                         s.remove ? "-" : "", s.path.c_str(), o.file.c_str());
            return 1;
        }
        for (const Value& v : s.values) {
            if (win::reg::LongerThan(v.name, win::reg::kMaxValueNameLength)) {
                std::fprintf(stderr,
                             "ERROR: A value name in [%s] is longer than 16383 characters; nothing was "
                             "imported.\n",
                             s.path.c_str());
                return 1;
            }
        }
        (name.root->key == HKEY_CURRENT_USER ? user : machine).emplace_back(name, &s);
    }
    for (auto* part : {&machine, &user}) {
        if (part->empty())
            continue;
        LONG r = win::ChangeRegistryTree(
            part == &user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
            [&](Key& hiveRoot, bool& changed) { return ApplySections(hiveRoot, *part, changed); });
        if (r != ERROR_SUCCESS) {
            ReportFailure(r);
            return 1;
        }
    }
    std::fputs(kDone, stdout);
    return 0;
}

} // namespace vireo::regtool
