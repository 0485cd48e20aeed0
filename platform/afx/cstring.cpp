#include "platform/afx/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/win/codepage.h"
#include "platform/win/resources.h"

namespace {

const std::shared_ptr<std::string>& Nil() {
    static const std::shared_ptr<std::string> nil = std::make_shared<std::string>();
    return nil;
}

// Offsets where characters begin, so searches never match inside a double-byte character.
bool AtCharacterStart(const std::string& s, std::size_t pos) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i == pos)
            return true;
        if (i > pos)
            return false;
        if (IsDBCSLeadByte(static_cast<BYTE>(s[i])) && i + 1 < s.size())
            ++i;
    }
    return pos == s.size();
}

} // namespace

CString::CString() : m_data(Nil()) {}
CString::CString(CString&& other) noexcept : m_data(std::move(other.m_data)) {
    other.m_data = Nil();
}
CString::CString(LPCSTR text) : m_data(text && *text ? std::make_shared<std::string>(text) : Nil()) {}
CString::CString(LPCSTR text, int length)
    : m_data(length > 0 && text ? std::make_shared<std::string>(text, static_cast<std::size_t>(length))
                                : Nil()) {}
CString::CString(char ch, int repeat)
    : m_data(repeat > 0 ? std::make_shared<std::string>(static_cast<std::size_t>(repeat), ch) : Nil()) {}
CString::CString(const std::string& text)
    : m_data(text.empty() ? Nil() : std::make_shared<std::string>(text)) {}

CString& CString::operator=(CString&& other) noexcept {
    if (this != &other) {
        m_data = std::move(other.m_data);
        other.m_data = Nil();
    }
    return *this;
}

CString& CString::operator=(LPCSTR text) {
    m_data = text && *text ? std::make_shared<std::string>(text) : Nil();
    return *this;
}

CString& CString::operator=(char ch) {
    m_data = std::make_shared<std::string>(1, ch);
    return *this;
}

std::string& CString::Mutable() {
    if (m_data == Nil() || m_data.use_count() > 1)
        m_data = std::make_shared<std::string>(*m_data);
    return *m_data;
}

void CString::Empty() {
    m_data = Nil();
}

char CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength())
        throw std::out_of_range("CString::GetAt");
    return Data()[static_cast<std::size_t>(index)];
}

CString& CString::operator+=(const CString& other) {
    if (!other.IsEmpty()) {
        std::string copy = other.Data(); // `other` may be this string
        Mutable() += copy;
    }
    return *this;
}

CString& CString::operator+=(LPCSTR text) {
    if (text && *text)
        Mutable() += text;
    return *this;
}

CString& CString::operator+=(char ch) {
    Mutable() += ch;
    return *this;
}

int CString::Compare(LPCSTR text) const {
    return std::strcmp(GetString(), text ? text : "");
}

int CString::CompareNoCase(LPCSTR text) const {
    int r = CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, GetString(), -1, text ? text : "", -1);
    return r == CSTR_EQUAL ? 0 : r == CSTR_LESS_THAN ? -1 : 1;
}

int CString::Find(char ch, int start) const {
    const std::string& s = Data();
    if (start < 0 || static_cast<std::size_t>(start) > s.size())
        return -1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i >= static_cast<std::size_t>(start) && s[i] == ch)
            return static_cast<int>(i);
        if (IsDBCSLeadByte(static_cast<BYTE>(s[i])) && i + 1 < s.size())
            ++i;
    }
    return -1;
}

int CString::Find(LPCSTR sub, int start) const {
    const std::string& s = Data();
    if (!sub || start < 0 || static_cast<std::size_t>(start) > s.size())
        return -1;
    for (std::size_t pos = s.find(sub, static_cast<std::size_t>(start)); pos != std::string::npos;
         pos = s.find(sub, pos + 1)) {
        if (AtCharacterStart(s, pos))
            return static_cast<int>(pos);
    }
    return -1;
}

int CString::ReverseFind(char ch) const {
    // Walks character by character: a trail byte that equals `ch` is no match.
    int found = -1;
    LPCSTR start = GetString();
    for (LPCSTR p = start; *p; p = CharNextA(p))
        if (*p == ch)
            found = static_cast<int>(p - start);
    return found;
}

CString CString::Left(int count) const {
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(GetString(), count);
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength() - (first < 0 ? 0 : first));
}

CString CString::Mid(int first, int count) const {
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first >= GetLength())
        return CString();
    if (first + count > GetLength())
        count = GetLength() - first;
    if (first == 0 && count == GetLength())
        return *this;
    return CString(GetString() + first, count);
}

CString CString::Right(int count) const {
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(GetString() + GetLength() - count, count);
}

void CString::Format(LPCSTR format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        va_end(args);
        throw std::invalid_argument("CString::Format: malformed format");
    }
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    *this = CString(buffer.data(), needed);
}

BSTR CString::AllocSysString() const {
    int length = GetLength();
    int wide = length ? MultiByteToWideChar(CP_ACP, 0, GetString(), length, nullptr, 0) : 0;
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(wide));
    if (text && wide)
        MultiByteToWideChar(CP_ACP, 0, GetString(), length, text, wide);
    return text;
}

BOOL CString::LoadString(UINT id) {
    char buffer[4096];
    int n = ::LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    if (n == 0)
        return FALSE;
    *this = CString(buffer, n);
    return TRUE;
}

LPSTR CString::GetBuffer(int minLength) {
    std::string& s = Mutable();
    if (minLength > static_cast<int>(s.size()))
        s.resize(static_cast<std::size_t>(minLength));
    return s.data();
}

LPSTR CString::GetBufferSetLength(int length) {
    std::string& s = Mutable();
    s.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
    return s.data();
}

void CString::ReleaseBuffer(int newLength) {
    std::string& s = Mutable();
    s.resize(newLength < 0 ? std::strlen(s.c_str()) : static_cast<std::size_t>(newLength));
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, LPCSTR b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(LPCSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}
bool operator==(const CString& a, const CString& b) {
    return a.Compare(b) == 0;
}
bool operator==(const CString& a, LPCSTR b) {
    return a.Compare(b) == 0;
}
bool operator!=(const CString& a, LPCSTR b) {
    return a.Compare(b) != 0;
}
