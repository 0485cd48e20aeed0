// Where the executable is: the location helpers on the paths the platform reports.
#include <gtest/gtest.h>

#include <cstring>

#include "app/ExeLocation.h"
#include "platform/win/windows.h"
#include "tests/support/test_support.h"

using vireo::test::TempPrefix;

namespace {

struct LocationCase {
    const char* path;
    const char* dir;
    const char* title;
    const char* fileName;
};

class ExeLocation : public ::testing::TestWithParam<LocationCase> {};

TEST_P(ExeLocation, SplitsTheModulePath) {
    TempPrefix prefix;
    const LocationCase& c = GetParam();
    vireo::win::SetModuleWindowsPathForTesting(c.path);
    EXPECT_STREQ(GetExePath(), c.path);
    EXPECT_STREQ(GetExeDir(), c.dir);
    CString path = GetExePath();
    EXPECT_STREQ(GetExeTitle(path), c.title);
    EXPECT_STREQ(GetExeFileName(path), c.fileName);
    EXPECT_STREQ(path, c.path) << "the helpers take their argument by value";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExeLocation,
    ::testing::Values(
        LocationCase{"D:\\Books\\Reader.exe", "D:\\Books\\", "Reader", "Reader.exe"},
        LocationCase{"C:\\Reader.exe", "C:\\", "Reader", "Reader.exe"},
        LocationCase{"\\\\server\\share\\Reader.exe", "\\\\server\\share\\", "Reader", "Reader.exe"},
        LocationCase{"D:\\My.Books\\Reader", "D:\\My.Books\\", "Reader", "Reader"},
        LocationCase{"D:\\Books\\Reader.full.exe", "D:\\Books\\", "Reader.full", "Reader.full.exe"},
        LocationCase{"D:\\Books\\Reader.", "D:\\Books\\", "Reader", "Reader."},
        LocationCase{"D:\\Books\\.exe", "D:\\Books\\", "", ".exe"},
        LocationCase{"D:\\Books\\", "D:\\Books\\", "", ""},
        LocationCase{"Reader.exe", "Reader.exe\\", "Reader", "Reader.exe"}));

TEST(ExeLocationCodePage, TrailByteThatLooksLikeABackslashDoesNotSplit) {
    TempPrefix prefix(932);
    // 表 (0x95 0x5C) ends both the folder and the file name.
    vireo::win::SetModuleWindowsPathForTesting("C:\\\x95\x5C\\Reader\x95\x5C");
    EXPECT_STREQ(GetExeDir(), "C:\\\x95\x5C\\");
    EXPECT_STREQ(GetExeFileName(GetExePath()), "Reader\x95\x5C");
    EXPECT_STREQ(GetExeTitle(GetExePath()), "Reader\x95\x5C");
}

TEST(ExeLocationLength, PathsLongerThan259BytesAreCut) {
    TempPrefix prefix;
    std::string longPath = "D:\\" + std::string(240, 'a') + "\\" + std::string(40, 'b') + ".exe";
    vireo::win::SetModuleWindowsPathForTesting(longPath);

    char buffer[MAX_PATH];
    std::memset(buffer, 0xbd, sizeof buffer);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, MAX_PATH), MAX_PATH);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer[259], '\0');

    std::string cut = longPath.substr(0, 259);
    EXPECT_STREQ(GetExePath(), cut.c_str());
    EXPECT_STREQ(GetExeDir(), (longPath.substr(0, 244)).c_str());
    EXPECT_STREQ(GetExeFileName(GetExePath()), cut.substr(244).c_str());
    EXPECT_STREQ(GetExeTitle(GetExePath()), cut.substr(244).c_str()) << "the cut took the extension";
}

} // namespace
