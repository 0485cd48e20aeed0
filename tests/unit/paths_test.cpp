// The boundary where Windows paths become host paths: drives, letter case, the
// executable's Windows name, the current directory.
#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/win/prefix.h"
#include "platform/win/windows.h"
#include "tests/support/test_support.h"

using vireo::test::TempDir;
using vireo::test::TempPrefix;
using vireo::test::WriteFile;
namespace fs = std::filesystem;

namespace {

std::string Win(const fs::path& host) {
    return vireo::win::FromHostPath(host);
}

TEST(HostPaths, DrivesMapToHostFolders) {
    TempPrefix prefix;
    TempDir books;
    vireo::win::PrefixSettings s = vireo::win::CurrentPrefix();
    s.drives.push_back({'D', books.path().string()});
    vireo::win::WritePrefixSettings(s);
    vireo::win::ResetProcessState();

    EXPECT_EQ(Win("/opt/book/VireoPlayer"), "Z:\\opt\\book\\VireoPlayer");
    EXPECT_EQ(Win(books / "Reader"), "D:\\Reader") << "the drive with the longest folder wins";
    EXPECT_EQ(vireo::win::ToHostPath("D:\\Reader\\x"), books.path() / "Reader" / "x");
    EXPECT_EQ(vireo::win::ToHostPath("Z:\\"), fs::path("/"));
    EXPECT_TRUE(vireo::win::ToHostPath("Q:\\unmapped").empty());
    EXPECT_TRUE(vireo::win::ToHostPath("\\\\server\\share\\x").empty());
}

TEST(HostPaths, LookupIgnoresLetterCase) {
    TempPrefix prefix;
    TempDir dir;
    WriteFile(dir / "EBook" / "Index.HTML", "x");
    std::string base = Win(dir.path());
    EXPECT_EQ(vireo::win::ToHostPath(base + "\\ebook\\index.html"), dir / "EBook" / "Index.HTML");
    EXPECT_EQ(vireo::win::ToHostPath(base + "\\EBOOK\\missing\\x"), dir / "EBook" / "missing" / "x");
    EXPECT_EQ(vireo::win::ToHostPath(base + "\\a\\..\\EBook\\.\\index.html"), dir / "EBook" / "Index.HTML");
}

TEST(HostPaths, TheExecutableAnswersToItsWindowsName) {
    TempPrefix prefix;
    TempDir dir;
    WriteFile(dir / "VireoPlayer", "#!/bin/sh\n");
    fs::create_directory(dir / "vireoplayer");
    vireo::win::SetModulePathForTesting(dir / "VireoPlayer");

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string base = Win(dir.path());
    EXPECT_EQ(std::string(path), base + "\\VireoPlayer.exe");
    EXPECT_EQ(vireo::win::ToHostPath(path), dir / "VireoPlayer");
    // Its bare name is the folder named after it, in whatever case that folder has.
    EXPECT_EQ(vireo::win::ToHostPath(base + "\\VireoPlayer"), dir / "vireoplayer");
    fs::remove(dir / "vireoplayer");
    EXPECT_TRUE(vireo::win::ToHostPath(base + "\\VireoPlayer").empty());
}

// Opening a file for reading, with the platform's reasons for a refusal.
TEST(HostPaths, OpeningAnExistingFile) {
    TempPrefix prefix;
    TempDir dir;
    WriteFile(dir / "Book.txt", "text");
    struct Case {
        std::string path;
        DWORD error; // 0: opens
    } cases[] = {
        {Win(dir / "Book.txt"), 0},
        {Win(dir / "BOOK.TXT"), 0}, // letter case does not matter
        {Win(dir / "missing.txt"), ERROR_FILE_NOT_FOUND},
        {Win(dir / "nowhere" / "missing.txt"), ERROR_PATH_NOT_FOUND},
        {Win(dir.path()), ERROR_ACCESS_DENIED}, // a folder
        {"Q:\\unmapped\\x.txt", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        HANDLE h = CreateFileA(c.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (c.error == 0) {
            EXPECT_NE(h, INVALID_HANDLE_VALUE) << c.path;
            EXPECT_TRUE(CloseHandle(h));
        } else {
            EXPECT_EQ(h, INVALID_HANDLE_VALUE) << c.path;
            EXPECT_EQ(GetLastError(), c.error) << c.path;
        }
    }
}

TEST(HostPaths, CurrentDirectory) {
    TempPrefix prefix;
    TempDir dir;
    fs::create_directory(dir / "Book");
    fs::path before = fs::current_path();
    std::string base = Win(dir.path());

    EXPECT_TRUE(SetCurrentDirectoryA((base + "\\book\\").c_str()));
    char cwd[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectoryA(MAX_PATH, cwd), base.size() + 5);
    EXPECT_EQ(std::string(cwd), base + "\\book");
    EXPECT_EQ(fs::current_path(), dir / "Book");
    EXPECT_EQ(vireo::win::ToHostPath("x.html"), dir / "Book" / "x.html");

    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryA((base + "\\missing").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(std::string(cwd), base + "\\book") << "a failed change keeps the current directory";
    fs::current_path(before);
}

TEST(ShellCommandLine, SplitsLikeThePlatform) {
    struct Case {
        const char* line;
        std::vector<std::string> args;
    } cases[] = {
        {"launcher", {"launcher"}},
        {"  a   b  ", {"a", "b"}},
        {"\"a b\" c", {"a b", "c"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\"b", {"a\"b"}},
        {"a\\b", {"a\\b"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vireo::win::SplitCommandLine(c.line), c.args) << c.line;
}

} // namespace
