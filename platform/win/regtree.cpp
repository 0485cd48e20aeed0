#include "platform/win/regtree.h"

#include <algorithm>
#include <cstdio>

#include "platform/win/codepage.h"
#include "platform/win/registry.h"

namespace vireo::win::reg {
namespace {

bool FoldedLess(const std::unique_ptr<Key>& a, const std::string& folded) {
    return FoldCaseUtf8(a->name) < folded;
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

bool Printable(std::string_view s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return c == '\0' || c == '\n' || c == '\r'; });
}

std::string Hex(std::string_view bytes, std::size_t prefixLength) {
    std::string out;
    std::size_t column = prefixLength;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
        out += buf;
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    return out;
}

// Reads a quoted text starting at s[pos] == '"'; advances pos past the closing quote.
bool ReadQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    if (pos >= s.size() || s[pos] != '"')
        return false;
    out.clear();
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '\\' && pos + 1 < s.size()) {
            out += s[++pos];
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

bool ParseHexBytes(std::string_view s, std::string& out) {
    out.clear();
    std::size_t i = 0;
    auto skip = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
    };
    skip();
    if (i == s.size())
        return true;
    while (true) {
        skip();
        if (i + 2 > s.size() || !std::isxdigit(static_cast<unsigned char>(s[i])) ||
            !std::isxdigit(static_cast<unsigned char>(s[i + 1])))
            return false;
        out += static_cast<char>(std::stoi(std::string(s.substr(i, 2)), nullptr, 16));
        i += 2;
        skip();
        if (i == s.size())
            return true;
        if (s[i] != ',')
            return false;
        ++i;
    }
}

} // namespace

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

ParseError::ParseError(int l, const std::string& what)
    : std::runtime_error("line " + std::to_string(l) + ": " + what), line(l) {}

Key* Key::Find(std::string_view childName) const {
    std::string folded = FoldCaseUtf8(childName);
    auto it = std::lower_bound(keys.begin(), keys.end(), folded, FoldedLess);
    return it != keys.end() && FoldCaseUtf8((*it)->name) == folded ? it->get() : nullptr;
}

Key& Key::Add(std::string_view childName) {
    std::string folded = FoldCaseUtf8(childName);
    auto it = std::lower_bound(keys.begin(), keys.end(), folded, FoldedLess);
    if (it != keys.end() && FoldCaseUtf8((*it)->name) == folded)
        return **it;
    auto key = std::make_unique<Key>();
    key->name = std::string(childName);
    return **keys.insert(it, std::move(key));
}

bool Key::Remove(std::string_view childName) {
    std::string folded = FoldCaseUtf8(childName);
    auto it = std::lower_bound(keys.begin(), keys.end(), folded, FoldedLess);
    if (it == keys.end() || FoldCaseUtf8((*it)->name) != folded)
        return false;
    keys.erase(it);
    return true;
}

Value* Key::FindValue(std::string_view valueName) {
    for (Value& v : values)
        if (EqualsIgnoreCaseUtf8(v.name, valueName))
            return &v;
    return nullptr;
}

const Value* Key::FindValue(std::string_view valueName) const {
    return const_cast<Key*>(this)->FindValue(valueName);
}

void Key::SetValue(Value value) {
    if (Value* existing = FindValue(value.name)) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        values.push_back(std::move(value));
    }
}

bool Key::RemoveValue(std::string_view valueName) {
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (EqualsIgnoreCaseUtf8(it->name, valueName)) {
            values.erase(it);
            return true;
        }
    }
    return false;
}

std::unique_ptr<Key> Key::Clone() const {
    auto copy = std::make_unique<Key>();
    copy->name = name;
    copy->isProtected = isProtected;
    copy->values = values;
    for (const auto& k : keys)
        copy->keys.push_back(k->Clone());
    return copy;
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t j = path.find('\\', i);
        if (j == std::string_view::npos)
            j = path.size();
        if (j > i)
            parts.emplace_back(path.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}

std::string FormatValueLine(const Value& v) {
    std::string head = v.name.empty() ? "@" : Quote(v.name);
    head += '=';
    if (v.type == REG_SZ && !v.data.empty() && v.data.back() == '\0' &&
        Printable(std::string_view(v.data).substr(0, v.data.size() - 1)))
        return head + Quote(std::string_view(v.data).substr(0, v.data.size() - 1));
    if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD d = 0;
        for (int i = 3; i >= 0; --i)
            d = (d << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        return head + buf;
    }
    if (v.type == REG_BINARY)
        head += "hex:";
    else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
        head += buf;
    }
    return head + Hex(v.data, head.size());
}

std::string FormatRegText(const Key& root, std::string_view rootName, bool withProtection) {
    std::string out = "Windows Registry Editor Version 5.00\n";
    auto emit = [&](auto& self, const Key& key, const std::string& path) -> void {
        out += "\n[" + path + "]\n";
        if (withProtection && key.isProtected)
            out += ";protected\n";
        for (const Value& v : key.values)
            out += FormatValueLine(v) + "\n";
        for (const auto& child : key.keys)
            self(self, *child, path + "\\" + child->name);
    };
    emit(emit, root, std::string(rootName));
    return out;
}

std::vector<Section> ParseRegText(std::string_view text) {
    std::vector<Section> sections;
    // Join continuation lines, remembering where each logical line started.
    std::vector<std::pair<int, std::string>> lines;
    int number = 0;
    std::size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        pos = 3;
    bool continuing = false;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(pos, end - pos));
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (continuing) {
            std::size_t first = line.find_first_not_of(" \t");
            lines.back().second += first == std::string::npos ? "" : line.substr(first);
        } else {
            lines.emplace_back(number, line);
        }
        std::string& last = lines.back().second;
        continuing = !last.empty() && last.back() == '\\' && last.find("=hex") != std::string::npos;
        if (continuing)
            last.pop_back();
    }
    if (lines.empty() ||
        (lines[0].second != "Windows Registry Editor Version 5.00" && lines[0].second != "REGEDIT4"))
        throw ParseError(
            1, "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\"");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        auto& [line, s] = lines[i];
        if (s.empty())
            continue;
        if (s == ";protected") {
            if (sections.empty())
                throw ParseError(line, "\";protected\" before any key");
            sections.back().isProtected = true;
            continue;
        }
        if (s[0] == ';')
            continue;
        if (s[0] == '[') {
            if (s.back() != ']')
                throw ParseError(line, "a key line must end with \"]\"");
            Section sec;
            sec.remove = s.size() > 1 && s[1] == '-';
            sec.path = s.substr(sec.remove ? 2 : 1, s.size() - (sec.remove ? 3 : 2));
            if (sec.path.empty())
                throw ParseError(line, "empty key name");
            sections.push_back(std::move(sec));
            continue;
        }
        if (sections.empty())
            throw ParseError(line, "a value before any key");
        Value v;
        std::size_t p = 0;
        if (s[0] == '@') {
            p = 1;
        } else if (!ReadQuoted(s, p, v.name)) {
            throw ParseError(line, "a value name must be quoted");
        }
        if (p >= s.size() || s[p] != '=')
            throw ParseError(line, "\"=\" expected after the value name");
        std::string_view rest = std::string_view(s).substr(p + 1);
        if (rest == "-") {
            sections.back().removedValues.push_back(v.name);
            continue;
        }
        if (!rest.empty() && rest[0] == '"') {
            std::size_t q = p + 1;
            std::string textValue;
            if (!ReadQuoted(s, q, textValue) || q != s.size())
                throw ParseError(line, "unterminated text");
            v.type = REG_SZ;
            v.data = textValue + std::string(1, '\0');
        } else if (rest.rfind("dword:", 0) == 0) {
            std::string digits(rest.substr(6));
            if (digits.empty() || digits.size() > 8 ||
                digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                throw ParseError(line, "dword: needs up to 8 hexadecimal digits");
            DWORD d = static_cast<DWORD>(std::stoul(digits, nullptr, 16));
            v.type = REG_DWORD;
            for (int b = 0; b < 4; ++b)
                v.data += static_cast<char>((d >> (8 * b)) & 0xFF);
        } else if (rest.rfind("hex", 0) == 0) {
            std::size_t colon = rest.find(':');
            if (colon == std::string_view::npos)
                throw ParseError(line, "\":\" expected after hex");
            std::string_view kind = rest.substr(3, colon - 3);
            if (kind.empty()) {
                v.type = REG_BINARY;
            } else {
                if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')')
                    throw ParseError(line, "hex(N): expected");
                std::string n(kind.substr(1, kind.size() - 2));
                if (n.empty() || n.size() > 8 ||
                    n.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                    throw ParseError(line, "hex(N): needs a hexadecimal type");
                v.type = static_cast<DWORD>(std::stoul(n, nullptr, 16));
            }
            if (!ParseHexBytes(rest.substr(colon + 1), v.data))
                throw ParseError(line, "malformed hexadecimal bytes");
        } else {
            throw ParseError(line, "unknown value form");
        }
        sections.back().values.push_back(std::move(v));
    }
    return sections;
}

} // namespace vireo::win::reg
