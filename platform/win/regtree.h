// The registry's data as the layer keeps it, and its text form. Names and string data
// are kept in UTF-8, so a hive means the same whatever the ANSI code page; the A
// functions convert at their boundary, as the platform converts to and from UTF-16.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/types.h"

namespace vireo::win::reg {

struct Value {
    std::string name; // empty for the key's default value
    DWORD type = 0;
    std::string data; // raw bytes; for string types UTF-8 text with its NULs
};

struct Key {
    std::string name;
    bool isProtected = false;               // writes need administrator rights (inherited by sub-keys)
    std::vector<Value> values;              // in the order they were first written
    std::vector<std::unique_ptr<Key>> keys; // sorted by folded name, as the platform enumerates

    Key* Find(std::string_view childName) const;
    Key& Add(std::string_view childName);    // the existing child, or a new one
    bool Remove(std::string_view childName); // true when a child was removed
    Value* FindValue(std::string_view valueName);
    const Value* FindValue(std::string_view valueName) const;
    void SetValue(Value value);
    bool RemoveValue(std::string_view valueName);
    std::unique_ptr<Key> Clone() const;
};

bool IsStringType(DWORD type);

struct ParseError : std::runtime_error {
    ParseError(int line, const std::string& what);
    int line;
};

// The text form is that of the platform's registry editor files (version 5.00), in
// UTF-8: "[ROOT\path]" sections, "name"="text", dword:, hex:, hex(N): lines, "[-key]"
// and "name"=- for deletions on import. A line ";protected" right after a section
// header marks that key as protected.
struct Section {
    std::string path; // full path with its root name, e.g. HKEY_CURRENT_USER\Software
    bool remove = false;
    bool isProtected = false;
    std::vector<Value> values;
    std::vector<std::string> removedValues;
};

std::vector<Section> ParseRegText(std::string_view text); // throws ParseError
std::string FormatRegText(const Key& root, std::string_view rootName, bool withProtection);
std::string FormatValueLine(const Value& value);

// Splits "A\B\C" into components, skipping empty ones.
std::vector<std::string> SplitKeyPath(std::string_view path);

} // namespace vireo::win::reg
