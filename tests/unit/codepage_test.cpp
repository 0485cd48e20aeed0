// Conversions between the ANSI code pages and UTF-16, the double-byte-aware search for
// a separator, and the invariant case-insensitive comparison.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/windows.h"
#include "tests/support/test_support.h"

using vireo::test::TempPrefix;

namespace {

struct Conversion {
    UINT codePage;
    std::string ansi;
    std::u16string wide;
};

class CodePageConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(CodePageConversion, RoundTripsThroughUtf16) {
    TempPrefix prefix(GetParam().codePage);
    const Conversion& c = GetParam();
    WCHAR wide[32];
    int n = MultiByteToWideChar(CP_ACP, 0, c.ansi.data(), static_cast<int>(c.ansi.size()), wide, 32);
    ASSERT_EQ(n, static_cast<int>(c.wide.size()));
    EXPECT_EQ(std::u16string(wide, static_cast<std::size_t>(n)), c.wide);

    char back[32];
    n = WideCharToMultiByte(CP_THREAD_ACP, 0, c.wide.data(), static_cast<int>(c.wide.size()), back, 32,
                            nullptr, nullptr);
    EXPECT_EQ(std::string(back, static_cast<std::size_t>(n)), c.ansi);
}

INSTANTIATE_TEST_SUITE_P(CodePages, CodePageConversion,
                         ::testing::Values(Conversion{949, "\xC7\xD1\xB1\xDB", u"\uD55C\uAE00"},  // 한글
                                           Conversion{932, "\x95\x5C\x8E\xA6", u"\u8868\u793A"},  // 表示
                                           Conversion{1252, "caf\xE9 \x80", u"caf\u00E9 \u20AC"}, // café €
                                           Conversion{949, "ascii only", u"ascii only"}));

TEST(CodePage, LengthRulesAndErrors) {
    TempPrefix prefix;
    // -1 takes the terminator along and counts it.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    WCHAR small[2] = {u'x', u'x'};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // A lone lead byte is malformed: replaced, or refused with MB_ERR_INVALID_CHARS.
    WCHAR out[4];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC7", 1, out, 4), 1);
    EXPECT_EQ(out[0], u'\uFFFD');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "\xC7", 1, out, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    // A character the code page lacks becomes the default character.
    char ansi[8];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9", 1, ansi, 8, nullptr, &usedDefault), 1);
    EXPECT_EQ(ansi[0], '?');
    EXPECT_TRUE(usedDefault);
}

// Malformed UTF-8 (host file names are arbitrary bytes): each bad byte is replaced on its
// own and whatever follows it is converted as what it is.
TEST(CodePage, MalformedUtf8ReplacesOnlyTheBadBytes) {
    TempPrefix prefix;
    struct Case {
        std::string utf8;
        std::string ansi; // code page 949
        std::u16string utf16;
    } cases[] = {
        {"\xC3"
         "AB",
         "?AB",
         u"\uFFFD"
         "AB"}, // a lead byte the next one does not continue
        {"\xE2\x82"
         "A",
         "??A",
         u"\uFFFD\uFFFD"
         "A"}, // a three-byte form cut short
        {"\x80"
         "A",
         "?A",
         u"\uFFFD"
         "A"}, // a stray continuation byte
        {"\xC0\xAF"
         "A",
         "??A",
         u"\uFFFD\uFFFD"
         "A"}, // an overlong "/"
        {"\xED\xA0\x80"
         "A",
         "???A",
         u"\uFFFD\uFFFD\uFFFD"
         "A"}, // a surrogate
        {"\xC3\xA9"
         "A",
         "?A",
         u"\u00E9"
         "A"},                       // well-formed, not in 949: one "?"
        {"A\xC3", "A?", u"A\uFFFD"}, // cut short by the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vireo::win::Utf8ToAnsi(c.utf8), c.ansi) << c.ansi;
        EXPECT_EQ(vireo::win::Utf8ToUtf16(c.utf8), c.utf16) << c.ansi;
    }
}

struct SeparatorCase {
    UINT codePage;
    std::string text;
    char separator;
    std::size_t expected;
};

class LastSeparator : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(LastSeparator, SkipsTrailBytes) {
    TempPrefix prefix(GetParam().codePage);
    EXPECT_EQ(vireo::win::FindLastSingleByte(GetParam().text, GetParam().separator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, LastSeparator,
    ::testing::Values(
        // 表 is 0x95 0x5C in code page 932: its trail byte is no backslash.
        SeparatorCase{932, "C:\\\x95\x5C", '\\', 2}, SeparatorCase{932, "C:\\a\\\x95\x5C\\b", '\\', 7},
        // The same bytes in code page 1252 are two characters, the second a backslash.
        SeparatorCase{1252, "C:\\\x95\x5C", '\\', 4},
        // A code page 949 trail byte can look like a letter, never like a separator here.
        SeparatorCase{949, "D:\\\xC7\xD1.txt", '.', 5},
        SeparatorCase{949, "no separator", '\\', std::string::npos},
        // A lead byte at the very end has no trail byte to swallow.
        SeparatorCase{932, "a\\\x95", '\\', 1}));

TEST(CodePage, CompareStringIgnoresCaseInTheInvariantLocale) {
    TempPrefix prefix;
    struct Case {
        const char* a;
        const char* b;
        DWORD flags;
        int expected;
    } cases[] = {
        {"isNative", "ISNATIVE", NORM_IGNORECASE, CSTR_EQUAL},
        {"isNative", "ISNATIVE", 0, CSTR_GREATER_THAN},
        {"appExit", "appExi", NORM_IGNORECASE, CSTR_GREATER_THAN},
        {"", "a", NORM_IGNORECASE, CSTR_LESS_THAN},
        {"\xC7\xD1", "\xC7\xD1", NORM_IGNORECASE, CSTR_EQUAL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, c.flags, c.a, -1, c.b, -1), c.expected)
            << c.a << " / " << c.b;
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, "abcX", 3, "ABCy", 3), CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, 0x1000, "a", -1, "a", -1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
}

} // namespace
