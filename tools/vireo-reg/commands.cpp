#include "tools/vireo-reg/commands.h"

#include <strings.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/win/codepage.h"
#include "platform/win/hive.h"
#include "platform/win/registry.h"
#include "platform/win/regtree.h"

namespace vireo::regtool {
namespace {

using win::AnsiToUtf8;
using win::Utf8ToAnsi;

const char kNotFound[] = "ERROR: The system was unable to find the specified registry key or value.\n";
const char kDone[] = "The operation completed successfully.\n";

struct Root {
    const char* shortName;
    const char* longName;
    HKEY key;
};
const Root kRoots[] = {{"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                       {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                       {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                       {"HKU", "HKEY_USERS", HKEY_USERS}};

// Splits "HKLM\path" into its root and its sub-key path (ANSI).
bool ParseKey(const std::string& text, const Root*& root, std::string& subKey) {
    std::size_t slash = text.find('\\');
    std::string head = text.substr(0, slash);
    for (const Root& r : kRoots) {
        if (strcasecmp(head.c_str(), r.shortName) == 0 || strcasecmp(head.c_str(), r.longName) == 0) {
            root = &r;
            std::string rest = slash == std::string::npos ? std::string() : text.substr(slash + 1);
            while (!rest.empty() && rest.back() == '\\')
                rest.pop_back();
            subKey = Utf8ToAnsi(rest);
            return true;
        }
    }
    std::fputs("ERROR: Invalid key name.\n", stderr);
    return false;
}

std::string FullName(const Root& root, const std::string& subKeyUtf8) {
    return subKeyUtf8.empty() ? std::string(root.longName) : std::string(root.longName) + "\\" + subKeyUtf8;
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

// The data as the platform's tool prints it (ANSI bytes in, UTF-8 text out).
std::string FormatData(DWORD type, const std::string& data) {
    char buf[32];
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::string text = data.substr(0, data.find('\0'));
        return AnsiToUtf8(text);
    }
    case REG_MULTI_SZ: {
        std::string out;
        std::size_t start = 0;
        while (start < data.size() && data[start] != '\0') {
            std::size_t end = data.find('\0', start);
            if (end == std::string::npos)
                end = data.size();
            if (!out.empty())
                out += "\\0";
            out += AnsiToUtf8(data.substr(start, end - start));
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

struct ValueRecord {
    std::string name; // ANSI
    DWORD type;
    std::string data; // ANSI bytes
};

std::vector<ValueRecord> ReadValues(HKEY key) {
    std::vector<ValueRecord> values;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name, type = 0, dataSize = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        std::string data(dataSize, '\0');
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(data.data()), &dataSize);
        data.resize(dataSize);
        values.push_back({name, type, data});
    }
    return values;
}

std::vector<std::string> ReadSubKeys(HKEY key) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

void PrintValue(const ValueRecord& v) {
    std::string name = v.name.empty() ? "(Default)" : AnsiToUtf8(v.name);
    std::printf("    %s    %s    %s\n", name.c_str(), TypeName(v.type), FormatData(v.type, v.data).c_str());
}

void QueryTree(HKEY key, const std::string& fullName, bool recursive,
               const std::optional<std::string>& only) {
    std::printf("%s\n", fullName.c_str());
    for (const ValueRecord& v : ReadValues(key))
        if (!only || strcasecmp(AnsiToUtf8(v.name).c_str(), only->c_str()) == 0)
            PrintValue(v);
    std::printf("\n");
    for (const std::string& sub : ReadSubKeys(key)) {
        std::string childName = fullName + "\\" + AnsiToUtf8(sub);
        if (!recursive) {
            std::printf("%s\n", childName.c_str());
            continue;
        }
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, sub.c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS) {
            QueryTree(child, childName, true, only);
            RegCloseKey(child);
        }
    }
}

bool Confirm(const std::string& question) {
    std::printf("%s (Yes/No)? ", question.c_str());
    std::fflush(stdout);
    std::string answer;
    if (!std::getline(std::cin, answer))
        answer.clear();
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

bool ParseData(DWORD type, const Options& o, std::string& out) {
    std::string text = o.data.value_or("");
    switch (type) {
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
    case REG_QWORD: {
        char* end = nullptr;
        unsigned long long n = std::strtoull(text.empty() ? "0" : text.c_str(), &end, 0);
        if (*end != '\0' || (type != REG_QWORD && n > 0xFFFFFFFFULL))
            return false;
        int size = type == REG_QWORD ? 8 : 4;
        out.clear();
        for (int i = 0; i < size; ++i)
            out += static_cast<char>((n >> (8 * (type == REG_DWORD_BIG_ENDIAN ? size - 1 - i : i))) & 0xFF);
        return true;
    }
    case REG_BINARY:
    case REG_NONE:
        if (text.size() % 2)
            return false;
        out.clear();
        for (std::size_t i = 0; i < text.size(); i += 2) {
            if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
                !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
                return false;
            out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
        }
        return true;
    case REG_MULTI_SZ: {
        out.clear();
        std::size_t start = 0;
        while (start <= text.size() && !text.empty()) {
            std::size_t end = text.find(o.separator, start);
            if (end == std::string::npos)
                end = text.size();
            out += Utf8ToAnsi(text.substr(start, end - start));
            out += '\0';
            start = end + o.separator.size();
        }
        out += '\0';
        return true;
    }
    default:
        out = Utf8ToAnsi(text) + std::string(1, '\0');
        return true;
    }
}

LONG DeleteTree(HKEY parent, const std::string& subKey) {
    HKEY key = nullptr;
    LONG r = RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (r != ERROR_SUCCESS)
        return r;
    for (const std::string& child : ReadSubKeys(key)) {
        r = DeleteTree(key, child);
        if (r != ERROR_SUCCESS) {
            RegCloseKey(key);
            return r;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, subKey.c_str());
}

void ReportFailure(LONG status) {
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_KEY_DELETED)
        std::fputs(kNotFound, stderr);
    else if (status == ERROR_ACCESS_DENIED)
        std::fputs("ERROR: Access is denied.\n", stderr);
    else
        std::fprintf(stderr, "ERROR: The operation failed with status %d.\n", static_cast<int>(status));
}

void BuildTree(HKEY key, win::reg::Key& node) {
    for (const ValueRecord& v : ReadValues(key))
        node.values.push_back(win::reg::Value{AnsiToUtf8(v.name), v.type,
                                              win::reg::IsStringType(v.type) ? AnsiToUtf8(v.data) : v.data});
    for (const std::string& sub : ReadSubKeys(key)) {
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, sub.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        BuildTree(child, node.Add(AnsiToUtf8(sub)));
        RegCloseKey(child);
    }
}

} // namespace

int Query(const Options& o) {
    const Root* root = nullptr;
    std::string sub;
    if (!ParseKey(o.key, root, sub))
        return 1;
    HKEY key = nullptr;
    LONG r = RegOpenKeyExA(root->key, sub.c_str(), 0, KEY_READ, &key);
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    std::string fullName = FullName(*root, AnsiToUtf8(sub));
    if (o.value && !o.recursive) {
        std::string name = Utf8ToAnsi(*o.value);
        DWORD type = 0, size = 0;
        r = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
        std::string data(size, '\0');
        if (r == ERROR_SUCCESS)
            r = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(data.data()),
                                 &size);
        RegCloseKey(key);
        if (r != ERROR_SUCCESS) {
            ReportFailure(r);
            return 1;
        }
        data.resize(size);
        std::printf("\n%s\n", fullName.c_str());
        PrintValue({name, type, data});
        std::printf("\n");
        return 0;
    }
    std::printf("\n");
    QueryTree(key, fullName, o.recursive, o.value);
    RegCloseKey(key);
    return 0;
}

int Add(const Options& o) {
    const Root* root = nullptr;
    std::string sub;
    if (!ParseKey(o.key, root, sub))
        return 1;
    DWORD type = REG_SZ;
    std::string data;
    if (!TypeFromName(o.type, type) || !ParseData(type, o, data)) {
        std::fputs("ERROR: Invalid syntax. The type or the data is not valid.\n", stderr);
        return 1;
    }
    HKEY key = nullptr;
    LONG r = RegCreateKeyExA(root->key, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr);
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    if (o.value || o.data) {
        std::string name = Utf8ToAnsi(o.value.value_or(""));
        if (!o.force &&
            RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
            !Confirm("Value " + (name.empty() ? std::string("(Default)") : *o.value) +
                     " exists, overwrite")) {
            RegCloseKey(key);
            std::puts("The operation was canceled.");
            return 0;
        }
        r = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size()));
    }
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    std::fputs(kDone, stdout);
    return 0;
}

int Delete(const Options& o) {
    const Root* root = nullptr;
    std::string sub;
    if (!ParseKey(o.key, root, sub))
        return 1;
    HKEY key = nullptr;
    LONG r = RegOpenKeyExA(root->key, sub.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    if (o.value || o.allValues) {
        std::string what =
            o.allValues ? "all values under " + o.key : "the registry value " + o.value.value_or("");
        if (!o.force && !Confirm("Delete " + what)) {
            RegCloseKey(key);
            std::puts("The operation was canceled.");
            return 0;
        }
        if (o.allValues) {
            for (const ValueRecord& v : ReadValues(key))
                if ((r = RegDeleteValueA(key, v.name.c_str())) != ERROR_SUCCESS)
                    break;
        } else {
            r = RegDeleteValueA(key, Utf8ToAnsi(*o.value).c_str());
        }
        RegCloseKey(key);
    } else {
        RegCloseKey(key);
        if (sub.empty()) {
            std::fputs("ERROR: Invalid key name.\n", stderr);
            return 1;
        }
        if (!o.force && !Confirm("Permanently delete the registry key " + o.key)) {
            std::puts("The operation was canceled.");
            return 0;
        }
        r = DeleteTree(root->key, sub);
    }
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    std::fputs(kDone, stdout);
    return 0;
}

int Export(const Options& o) {
    const Root* root = nullptr;
    std::string sub;
    if (!ParseKey(o.key, root, sub))
        return 1;
    HKEY key = nullptr;
    LONG r = RegOpenKeyExA(root->key, sub.c_str(), 0, KEY_READ, &key);
    if (r != ERROR_SUCCESS) {
        ReportFailure(r);
        return 1;
    }
    win::reg::Key tree;
    BuildTree(key, tree);
    RegCloseKey(key);
    std::ifstream existing(o.file);
    if (existing.good() && !o.force && !Confirm("File " + o.file + " already exists. Overwrite it")) {
        std::puts("The operation was canceled.");
        return 0;
    }
    std::ofstream out(o.file, std::ios::binary | std::ios::trunc);
    out << win::reg::FormatRegText(tree, FullName(*root, AnsiToUtf8(sub)), false);
    if (!out) {
        std::fprintf(stderr, "ERROR: Cannot write %s.\n", o.file.c_str());
        return 1;
    }
    std::fputs(kDone, stdout);
    return 0;
}

int Import(const Options& o) {
    std::ifstream in(o.file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "ERROR: Error opening the file %s.\n", o.file.c_str());
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<win::reg::Section> sections;
    try {
        sections = win::reg::ParseRegText(text.str());
    } catch (const win::reg::ParseError& e) {
        std::fprintf(stderr, "ERROR: %s is not a valid registry file: %s.\n", o.file.c_str(), e.what());
        return 1;
    }
    for (const win::reg::Section& s : sections) {
        const Root* root = nullptr;
        std::string sub;
        if (!ParseKey(s.path, root, sub))
            return 1;
        LONG r = ERROR_SUCCESS;
        if (s.remove) {
            r = DeleteTree(root->key, sub);
            if (r == ERROR_FILE_NOT_FOUND)
                r = ERROR_SUCCESS;
        } else {
            HKEY key = nullptr;
            r = RegCreateKeyExA(root->key, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr);
            for (const win::reg::Value& v : s.values) {
                if (r != ERROR_SUCCESS)
                    break;
                std::string data = win::reg::IsStringType(v.type) ? Utf8ToAnsi(v.data) : v.data;
                r = RegSetValueExA(key, Utf8ToAnsi(v.name).c_str(), 0, v.type,
                                   reinterpret_cast<const BYTE*>(data.data()),
                                   static_cast<DWORD>(data.size()));
            }
            for (const std::string& name : s.removedValues)
                if (r == ERROR_SUCCESS)
                    RegDeleteValueA(key, Utf8ToAnsi(name).c_str());
            if (key)
                RegCloseKey(key);
        }
        if (r != ERROR_SUCCESS) {
            ReportFailure(r);
            return 1;
        }
    }
    std::fputs(kDone, stdout);
    return 0;
}

} // namespace vireo::regtool
