// The Open dialog's contract: what it asks the desktop for and how it hands the
// chosen path back, in the ANSI code page and the caller's buffer.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/sim_desktop.h"
#include "platform/win/commdlg.h"
#include "platform/win/paths.h"
#include "tests/support/test_support.h"

using namespace vireo::test;

namespace {

class OpenDialog : public ::testing::Test {
protected:
    OPENFILENAMEA Request(char* file, DWORD size) {
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = "Books\0*.html;*.htm\0All\0*.*\0";
        ofn.nFilterIndex = 2;
        ofn.lpstrFile = file;
        ofn.nMaxFile = size;
        return ofn;
    }
    TempPrefix prefix;
    TempDir folder;
    vireo::sim::SimDesktop desktop;
};

TEST_F(OpenDialog, TheChosenPathComesBackAsAWindowsPathWithItsParts) {
    WriteFile(folder / "책.html");
    std::string expected = vireo::win::FromHostPath(folder / "책.html");
    desktop.fileAnswers = {(folder / "책.html").string()};
    char file[MAX_PATH] = {}, title[64] = {};
    std::string initial = vireo::win::FromHostPath(folder.path()) + "\\start.html";
    std::strcpy(file, initial.c_str());
    OPENFILENAMEA ofn = Request(file, MAX_PATH);
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(std::string(file), expected);
    EXPECT_EQ(std::string(title), Ansi("책.html"));
    EXPECT_EQ(std::string(file + ofn.nFileOffset), Ansi("책.html"));
    EXPECT_EQ(std::string(file + ofn.nFileExtension), "html");

    ASSERT_EQ(desktop.fileChoosersShown.size(), 1u);
    const vireo::win::FileChooserRequest& asked = desktop.fileChoosersShown[0];
    EXPECT_EQ(asked.title, "열기") << "the platform's default title";
    ASSERT_EQ(asked.filters.size(), 2u);
    EXPECT_EQ(asked.filters[0].patterns, (std::vector<std::string>{"*.html", "*.htm"}));
    EXPECT_EQ(asked.filterIndex, 1u);
    EXPECT_EQ(asked.initialFolder, folder.path().string()) << "from the folder part of the initial name";
    EXPECT_EQ(asked.initialName, "start.html");
}

TEST_F(OpenDialog, CancelAndErrors) {
    WriteFile(folder / "a-rather-long-name.txt");
    WriteFile(folder / "x😀.txt");
    std::string longPath = vireo::win::FromHostPath(folder / "a-rather-long-name.txt");
    struct Case {
        const char* what;
        std::optional<std::string> answer;
        DWORD bufferSize;
        DWORD structSize;
        DWORD error;
    } cases[] = {
        {"cancelled", std::nullopt, MAX_PATH, sizeof(OPENFILENAMEA), 0},
        {"wrong structure size", "", MAX_PATH, sizeof(OPENFILENAMEA) - 4, CDERR_STRUCTSIZE},
        {"buffer too small", (folder / "a-rather-long-name.txt").string(), 8, sizeof(OPENFILENAMEA),
         FNERR_BUFFERTOOSMALL},
        {"a name the code page cannot spell", (folder / "x😀.txt").string(), MAX_PATH, sizeof(OPENFILENAMEA),
         FNERR_INVALIDFILENAME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop.fileAnswers = {c.answer};
        char file[MAX_PATH] = "unchanged";
        OPENFILENAMEA ofn = Request(file, c.bufferSize);
        ofn.lStructSize = c.structSize;
        EXPECT_FALSE(GetOpenFileNameA(&ofn));
        EXPECT_EQ(CommDlgExtendedError(), c.error);
        if (c.error == FNERR_BUFFERTOOSMALL) {
            WORD needed = 0;
            std::memcpy(&needed, file, sizeof needed);
            EXPECT_EQ(needed, longPath.size() + 1) << "the size needed, in the buffer's first bytes";
        } else {
            EXPECT_STREQ(file, "unchanged");
        }
    }
}

} // namespace
