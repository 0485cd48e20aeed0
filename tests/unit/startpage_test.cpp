// Finding the start page, and the formatter and existence test it is built from.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "app/ExeLocation.h"
#include "app/StartPage.h"
#include "platform/win/windows.h"
#include "tests/support/test_support.h"

using vireo::test::TempDir;
using vireo::test::TempPrefix;
using vireo::test::WriteFile;
namespace fs = std::filesystem;

namespace {

TEST(FormatStdString, GrowsToWhatTheResultNeeds) {
    EXPECT_EQ(FormatStdString("%sebook", "C:\\"), "C:\\ebook");
    std::string dir(100, 'd');
    std::string result = FormatStdString("%sebook", dir.c_str());
    EXPECT_EQ(result.size(), 105u);
    EXPECT_EQ(result, dir + "ebook");
    EXPECT_EQ(FormatStdString("%d000", 11), "11000");
    EXPECT_EQ(FormatStdString(""), "");
}

TEST(PathExists, AnyEntryCountsAndErrorsCountAsAbsent) {
    TempPrefix prefix;
    TempDir dir;
    fs::create_directory(dir / "folder");
    WriteFile(dir / "file");
    fs::create_symlink(dir / "gone", dir / "dangling");
    fs::create_symlink(dir / "loop2", dir / "loop1");
    fs::create_symlink(dir / "loop1", dir / "loop2");
    std::string base = vireo::win::FromHostPath(dir.path());
    struct Case {
        const char* name;
        bool exists;
    } cases[] = {
        {"\\folder", true},    {"\\FOLDER", true},       {"\\file", true},   {"\\missing", false},
        {"\\dangling", false}, {"\\file\\below", false}, {"\\loop1", false}, // the file system answers with
                                                                             // an error other than not-found
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathExists((base + c.name).c_str()), c.exists) << c.name;
    EXPECT_FALSE(PathExists("Q:\\unmapped"));
}

TEST(PathExists, UnreadableParentCountsAsAbsent) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser reads every folder";
    TempPrefix prefix;
    TempDir dir;
    WriteFile(dir / "locked" / "inside");
    chmod((dir / "locked").c_str(), 0);
    EXPECT_FALSE(PathExists((vireo::win::FromHostPath(dir.path()) + "\\locked\\inside").c_str()));
}

class FindStartPageTest : public ::testing::Test {
protected:
    void SetUp() override { vireo::win::SetModulePathForTesting(dir / "Reader"); }
    std::string Expect(const std::string& tail) { return vireo::win::FromHostPath(dir.path()) + "\\" + tail; }
    TempPrefix prefix;
    TempDir dir;
};

TEST_F(FindStartPageTest, CandidatesInOrder) {
    struct Case {
        std::vector<std::string> folders;
        std::vector<std::string> files;
        std::string expected; // relative to the executable's directory; empty for none
    } cases[] = {
        {{"ebook", "www", "Reader"}, {"index.html"}, "ebook\\index.html"},
        {{"www", "Reader"}, {"index.html"}, "www\\index.html"},
        {{"Reader"}, {"index.html"}, "Reader\\index.html"},
        {{}, {"index.html"}, "index.html"},
        {{}, {"www"}, "www\\index.html"},     // a plain file named like a folder counts
        {{"index.html"}, {}, "index.html"},   // a folder named like the page is returned
        {{"EBOOK"}, {}, "ebook\\index.html"}, // names match without regard to case
        {{}, {}, ""},
    };
    for (const Case& c : cases) {
        for (const auto& entry : fs::directory_iterator(dir.path()))
            fs::remove_all(entry.path());
        for (const std::string& f : c.folders)
            fs::create_directory(dir / f);
        for (const std::string& f : c.files)
            WriteFile(dir / f);
        EXPECT_EQ(FindStartPage(), c.expected.empty() ? "" : Expect(c.expected)) << c.expected;
    }
}

TEST_F(FindStartPageTest, OnlyTheFolderIsTestedNotItsPage) {
    fs::create_directory(dir / "ebook");
    fs::create_directory(dir / "www");
    WriteFile(dir / "www" / "index.html");
    EXPECT_EQ(FindStartPage(), Expect("ebook\\index.html"));
}

TEST_F(FindStartPageTest, DoesNotDependOnTheCurrentDirectory) {
    fs::create_directory(dir / "www");
    TempDir elsewhere;
    fs::create_directory(elsewhere / "ebook");
    fs::path before = fs::current_path();
    ASSERT_TRUE(SetCurrentDirectoryA(vireo::win::FromHostPath(elsewhere.path()).c_str()));
    EXPECT_EQ(FindStartPage(), Expect("www\\index.html"));
    fs::current_path(before);
}

} // namespace
