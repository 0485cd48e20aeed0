// CString: the framework's narrow, reference-counted string. Copies share one buffer
// until one of them changes. Searches respect double-byte characters of the ANSI code
// page, as a multibyte build's string class does.
#pragma once

#include <memory>
#include <string>

#include "platform/com/com.h"
#include "platform/win/types.h"

class CString {
public:
    CString();
    CString(const CString& other) = default;
    CString(CString&& other) noexcept;
    CString(LPCSTR text);
    CString(LPCSTR text, int length);
    CString(char ch, int repeat = 1);
    CString(const std::string& text);
    ~CString() = default;

    CString& operator=(const CString& other) = default;
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCSTR text);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(Data().size()); }
    bool IsEmpty() const { return Data().empty(); }
    void Empty();
    LPCSTR GetString() const { return Data().c_str(); }
    // The text as a BSTR (from the ANSI code page); the caller frees it with SysFreeString.
    BSTR AllocSysString() const;
    operator LPCSTR() const { return Data().c_str(); }
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    int Compare(LPCSTR text) const;
    int CompareNoCase(LPCSTR text) const;
    int Find(char ch, int start = 0) const;
    int Find(LPCSTR sub, int start = 0) const;
    int ReverseFind(char ch) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    void Format(LPCSTR format, ...);
    BOOL LoadString(UINT id);

    LPSTR GetBuffer(int minLength);
    LPSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // How many strings share this one's buffer (1 for a string of its own).
    long RefCount() const { return m_data.use_count(); }

private:
    const std::string& Data() const { return *m_data; }
    std::string& Mutable(); // makes the buffer this string's own before a change

    std::shared_ptr<std::string> m_data;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator!=(const CString& a, LPCSTR b);
