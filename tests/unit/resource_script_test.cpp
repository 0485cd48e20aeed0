// The resource script a build for the platform's own compiler uses, against the
// resources this build registers: the two must say the same.
#include <gtest/gtest.h>

#include <regex>

#include "platform/win/dialog.h"
#include "platform/win/process.h"
#include "platform/win/resources.h"
#include "res/version.h"
#include "tests/support/test_support.h"

using namespace vireo::test;

namespace {

std::string Script() {
    return ReadFile(std::filesystem::path(VIREO_SOURCE_DIR) / "res" / "VireoPlayer.rc");
}

// The script's text for a quoted string followed by an optional macro, as the resource
// compiler joins adjacent literals.
std::string Joined(const std::string& quoted, const std::string& macro) {
    return quoted + (macro == "VIREO_VERSION_TEXT" ? VIREO_VERSION_TEXT : "");
}

TEST(ResourceScript, TheAboutBoxMatchesTheRegisteredTemplate) {
    const vireo::win::DialogTemplate* about = vireo::win::FindDialogResource(100);
    ASSERT_NE(about, nullptr);
    std::string rc = Script();
    std::smatch m;
    ASSERT_TRUE(std::regex_search(rc, m, std::regex(R"(IDD_ABOUTBOX DIALOGEX (\d+), (\d+), (\d+), (\d+))")));
    EXPECT_EQ((std::vector<int>{about->x, about->y, about->cx, about->cy}),
              (std::vector<int>{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])}));
    ASSERT_TRUE(std::regex_search(rc, m, std::regex("CAPTION \"([^\"]*)\"")));
    EXPECT_EQ(m[1], about->caption);
    ASSERT_TRUE(std::regex_search(rc, m, std::regex("FONT (\\d+), \"([^\"]*)\"")));
    EXPECT_EQ(std::stoi(m[1]), about->fontPoints);
    EXPECT_EQ(m[2], about->fontFace);

    // Controls in their order: ICON id, LTEXT "text" [macro], DEFPUSHBUTTON "text".
    std::regex control(
        R"re(\n\s+(ICON|LTEXT|DEFPUSHBUTTON)\s+(?:"([^"]*)"\s*(\w+)?|(\w+)),\s*(-?\w+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))re");
    std::size_t index = 0;
    for (auto it = std::sregex_iterator(rc.begin(), rc.end(), control); it != std::sregex_iterator(); ++it) {
        const std::smatch& c = *it;
        ASSERT_LT(index, about->items.size());
        const vireo::win::DialogItem& item = about->items[index++];
        SCOPED_TRACE(item.text);
        std::string text = c[1] == "ICON" ? "128" : Joined(c[2], c[3]);
        EXPECT_EQ(text, item.text);
        EXPECT_EQ((std::vector<int>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<int>{std::stoi(c[6]), std::stoi(c[7]), std::stoi(c[8]), std::stoi(c[9])}));
        EXPECT_EQ(c[1] == "DEFPUSHBUTTON", item.kind == vireo::win::DialogItemKind::PushButton &&
                                               (item.style & BS_DEFPUSHBUTTON) != 0);
    }
    EXPECT_EQ(index, about->items.size());
}

TEST(ResourceScript, TheStringTableMatchesTheRegisteredStrings) {
    TempPrefix prefix;
    std::string rc = Script();
    std::regex entry(R"re(\n\s+(57344|IDP_OLE_INIT_FAILED)\s+"([^"]*)")re");
    int entries = 0;
    for (auto it = std::sregex_iterator(rc.begin(), rc.end(), entry); it != std::sregex_iterator(); ++it) {
        UINT id = (*it)[1] == "57344" ? 57344 : 100;
        char buffer[256] = {};
        ASSERT_GT(LoadStringA(nullptr, id, buffer, sizeof buffer), 0) << id;
        EXPECT_EQ(Utf8(buffer), (*it)[2]) << id;
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

TEST(ResourceScript, VersionAndManifest) {
    std::string rc = Script();
    for (const char* line :
         {"FILEVERSION VIREO_VERSION_COMMAS", "PRODUCTVERSION VIREO_VERSION_COMMAS",
          "VALUE \"OriginalFilename\", VIREO_FILE_NAME", "VALUE \"FileDescription\", VIREO_FILE_DESCRIPTION",
          "VALUE \"InternalName\", VIREO_FILE_NAME", "BLOCK \"041203b5\"",
          "VALUE \"Translation\", 0x412, 949", "FILETYPE VFT_APP"})
        EXPECT_NE(rc.find(line), std::string::npos) << line;
    EXPECT_STREQ(VIREO_VERSION_TEXT, VIREO_PROJECT_VERSION) << "the build reads its version from the header";
    EXPECT_STREQ(VIREO_FILE_NAME, "VireoPlayer.exe");

    std::string manifest =
        ReadFile(std::filesystem::path(VIREO_SOURCE_DIR) / "res" / "VireoPlayer.exe.manifest");
    EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>)"),
              std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware>true</dpiAware>"), std::string::npos);
    EXPECT_TRUE(IsProcessDPIAware()) << "the program applies its manifest's setting";
}

} // namespace
