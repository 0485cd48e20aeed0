// The framework's string: shared buffers and double-byte-aware searches.
#include <gtest/gtest.h>

#include "platform/afx/cstring.h"
#include "tests/support/test_support.h"

namespace {

TEST(CString, CopiesShareUntilOneChanges) {
    CString a("book");
    CString b = a;
    EXPECT_EQ(a.RefCount(), 2);
    EXPECT_EQ(a.GetString(), b.GetString());
    b += "s";
    EXPECT_STREQ(a, "book");
    EXPECT_STREQ(b, "books");
    EXPECT_EQ(a.RefCount(), 1);
    a += a;
    EXPECT_STREQ(a, "bookbook");
}

TEST(CString, SearchesNeverMatchInsideADoubleByteCharacter) {
    vireo::test::TempPrefix prefix; // code page 949
    // 0x81 0x68 is one character whose trail byte is the letter h.
    CString title("\x81\x68ttp and http");
    EXPECT_EQ(title.Find("http"), 10);
    EXPECT_EQ(title.Find('h'), 10);
    EXPECT_EQ(CString("\x81\x68ttp").Find("http"), -1);
    EXPECT_EQ(CString("a.b.c").ReverseFind('.'), 3);
    EXPECT_EQ(CString("HTTP").Find("http"), -1);
}

TEST(CString, SlicesAndFormats) {
    CString s("Reader.full.exe");
    EXPECT_STREQ(s.Left(6), "Reader");
    EXPECT_STREQ(s.Mid(7), "full.exe");
    EXPECT_STREQ(s.Mid(7, 4), "full");
    EXPECT_STREQ(s.Right(3), "exe");
    EXPECT_STREQ(s.Left(-1), "");
    EXPECT_STREQ(s.Mid(99), "");
    CString f;
    f.Format("File%d", 4);
    EXPECT_STREQ(f, "File4");
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
}

} // namespace
