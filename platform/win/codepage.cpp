#include "platform/win/codepage.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <stdexcept>

#include "platform/win/errors.h"
#include "platform/win/prefix.h"

namespace vireo::win {
namespace {

const char* IconvName(UINT codePage) {
    switch (codePage) {
    case 949:
        return "CP949";
    case 932:
        return "CP932";
    case 1252:
        return "CP1252";
    case 437:
        return "CP437";
    case CP_UTF8:
        return "UTF-8";
    default:
        return nullptr;
    }
}

// iconv descriptors are costly to open and not shareable between threads.
struct ConverterCache {
    std::map<std::pair<std::string, std::string>, iconv_t> converters;
    ~ConverterCache() {
        for (auto& [key, cd] : converters)
            iconv_close(cd);
    }
};

iconv_t Converter(const char* to, const char* from) {
    thread_local ConverterCache cache;
    auto key = std::make_pair(std::string(to), std::string(from));
    auto it = cache.converters.find(key);
    if (it != cache.converters.end()) {
        iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    cache.converters.emplace(key, cd);
    return cd;
}

// The length of the well-formed UTF-8 character at the start of `s`, or 0 when the bytes
// there are no character (a stray continuation byte, a sequence cut short or broken by
// a byte that does not continue it, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t WellFormedUtf8Length(const unsigned char* s, std::size_t left) {
    if (left == 0)
        return 0;
    unsigned char c = s[0];
    if (c < 0x80)
        return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0)
            low = 0xA0;
        else if (c == 0xED)
            high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0)
            low = 0x90;
        else if (c == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || s[1] < low || s[1] > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (s[i] < 0x80 || s[i] > 0xBF)
            return 0;
    return length;
}

// Converts with iconv, replacing what cannot be converted. Returns false when a
// replacement was needed.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             std::string_view badInput, std::string_view unmappable, std::size_t badInputStep) {
    iconv_t cd = Converter(to, from);
    out.clear();
    bool clean = true;
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[512];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst);
        if (r != static_cast<std::size_t>(-1)) {
            if (r > 0)
                clean = false; // iconv replaced characters irreversibly
            continue;
        }
        if (errno == E2BIG)
            continue;
        clean = false;
        // EILSEQ: either malformed input or a character the target lacks. EINVAL: a
        // sequence cut short at the end of the input.
        std::size_t step = std::min(badInputStep, srcLeft);
        bool malformed = true;
        if (errno == EILSEQ && std::strcmp(from, "UTF-16LE") == 0 && srcLeft >= 2) {
            unsigned unit = static_cast<unsigned char>(src[0]) | (static_cast<unsigned char>(src[1]) << 8);
            malformed = unit >= 0xD800 && unit <= 0xDFFF;
        } else if (errno == EILSEQ && std::strcmp(from, "UTF-8") == 0) {
            // A well-formed UTF-8 character the target lacks is skipped whole; a malformed
            // byte alone, so what follows it is converted as what it is.
            if (std::size_t len = WellFormedUtf8Length(reinterpret_cast<unsigned char*>(src), srcLeft)) {
                malformed = false;
                step = len;
            }
        }
        out.append(malformed ? badInput : unmappable);
        src += step;
        srcLeft -= step;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return clean;
}

const std::string kReplacementUtf16("\xFD\xFF", 2); // U+FFFD, little-endian
const std::string kReplacementUtf8("\xEF\xBF\xBD");

locale_t Utf8Locale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return l;
    }();
    return loc;
}

char32_t Fold(char32_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
    locale_t loc = Utf8Locale();
    return loc ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc)) : c;
}

std::u32string DecodeUtf8(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (c >= 0x80 && (c < 0xC2 || c > 0xF4 || i + len > s.size())) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        for (std::size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += len;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

UINT ResolveCodePage(UINT codePage) {
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP || codePage == CP_OEMCP)
        return CurrentPrefix().codePage;
    return codePage;
}

std::string AnsiToUtf8(std::string_view ansi, UINT codePage) {
    const char* name = IconvName(ResolveCodePage(codePage));
    if (!name)
        throw std::invalid_argument("unsupported code page");
    std::string out;
    Convert("UTF-8", name, ansi, out, kReplacementUtf8, kReplacementUtf8, 1);
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8, UINT codePage) {
    const char* name = IconvName(ResolveCodePage(codePage));
    if (!name)
        throw std::invalid_argument("unsupported code page");
    std::string out;
    Convert(name, "UTF-8", utf8, out, "?", "?", 1);
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::string bytes;
    Convert("UTF-16LE", "UTF-8", utf8, bytes, kReplacementUtf16, kReplacementUtf16, 1);
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string bytes;
    bytes.reserve(utf16.size() * 2);
    for (char16_t u : utf16) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    std::string out;
    Convert("UTF-8", "UTF-16LE", bytes, out, kReplacementUtf8, kReplacementUtf8, 2);
    return out;
}

std::size_t FindLastSingleByte(std::string_view text, char ch, UINT codePage) {
    UINT cp = ResolveCodePage(codePage);
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ch) {
            found = i;
        } else if (IsDBCSLeadByteEx(cp, static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
            ++i; // the trail byte belongs to this character, whatever its value
        }
    }
    return found;
}

std::string FoldCaseUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char32_t c : DecodeUtf8(utf8))
        AppendUtf8(out, Fold(c));
    return out;
}

bool EqualsIgnoreCaseUtf8(std::string_view a, std::string_view b) {
    // Names are mostly ASCII: compare those without building folded copies.
    bool ascii = true;
    if (a.size() == b.size()) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
            if ((x | y) >= 0x80) {
                ascii = false;
                break;
            }
            if (x != y && Fold(x) != Fold(y))
                return false;
        }
        if (ascii)
            return true;
    } else if (std::all_of(a.begin(), a.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }) &&
               std::all_of(b.begin(), b.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return false;
    }
    return FoldCaseUtf8(a) == FoldCaseUtf8(b);
}

} // namespace vireo::win

using namespace vireo::win;

UINT GetACP() {
    return CurrentPrefix().codePage;
}
UINT GetOEMCP() {
    return CurrentPrefix().codePage;
}

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE c) {
    switch (ResolveCodePage(CodePage)) {
    case 949:
        return c >= 0x81 && c <= 0xFE;
    case 932:
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    default:
        return FALSE;
    }
}

BOOL IsDBCSLeadByte(BYTE c) {
    return IsDBCSLeadByteEx(CP_ACP, c);
}

LPSTR CharNextA(LPCSTR lpsz) {
    if (*lpsz == '\0')
        return const_cast<LPSTR>(lpsz);
    if (IsDBCSLeadByte(static_cast<BYTE>(*lpsz)) && lpsz[1] != '\0')
        return const_cast<LPSTR>(lpsz + 2);
    return const_cast<LPSTR>(lpsz + 1);
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
    if (!lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 || (cchWideChar > 0 && !lpWideCharStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char* name = IconvName(ResolveCodePage(CodePage));
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // A length of -1 takes the text up to and including its terminating NUL.
    std::size_t len =
        cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
    std::string bytes;
    bool clean = Convert("UTF-16LE", name, std::string_view(lpMultiByteStr, len), bytes, kReplacementUtf16,
                         kReplacementUtf16, 1);
    if (!clean && (dwFlags & MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    int units = static_cast<int>(bytes.size() / 2);
    if (cchWideChar == 0)
        return units;
    if (units > cchWideChar) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < units; ++i)
        lpWideCharStr[i] = static_cast<WCHAR>(static_cast<unsigned char>(bytes[2 * i]) |
                                              (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return units;
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
    if (!lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0 || (cbMultiByte > 0 && !lpMultiByteStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UINT cp = ResolveCodePage(CodePage);
    const char* name = IconvName(cp);
    if (!name || (cp == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t units = 0;
    if (cchWideChar < 0) {
        while (lpWideCharStr[units] != 0)
            ++units;
        ++units;
    } else {
        units = static_cast<std::size_t>(cchWideChar);
    }
    std::string bytes;
    for (std::size_t i = 0; i < units; ++i) {
        bytes.push_back(static_cast<char>(lpWideCharStr[i] & 0xFF));
        bytes.push_back(static_cast<char>(lpWideCharStr[i] >> 8));
    }
    std::string defaultChar = lpDefaultChar ? std::string(lpDefaultChar, 1) : std::string("?");
    std::string out;
    bool clean =
        Convert(name, "UTF-16LE", bytes, out, cp == CP_UTF8 ? kReplacementUtf8 : defaultChar, defaultChar, 2);
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = clean ? FALSE : TRUE;
    int size = static_cast<int>(out.size());
    if (cbMultiByte == 0)
        return size;
    if (size > cbMultiByte) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpMultiByteStr, out.data(), out.size());
    return size;
}

int CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1, LPCSTR lpString2,
                   int cchCount2) {
    if (!lpString1 || !lpString2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwCmpFlags & ~NORM_IGNORECASE) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    // A negative count means the text runs to its NUL, which is not compared.
    auto view = [](LPCSTR s, int n) {
        return n < 0 ? std::string_view(s) : std::string_view(s, static_cast<std::size_t>(n));
    };
    std::string a = AnsiToUtf8(view(lpString1, cchCount1));
    std::string b = AnsiToUtf8(view(lpString2, cchCount2));
    if (dwCmpFlags & NORM_IGNORECASE) {
        a = FoldCaseUtf8(a);
        b = FoldCaseUtf8(b);
    }
    // Code point order: the texts this system compares are names, where only equality matters.
    int c = a.compare(b);
    return c < 0 ? CSTR_LESS_THAN : c > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}
