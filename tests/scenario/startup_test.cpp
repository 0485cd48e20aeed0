// The whole start-up on the simulated desktop, one test per ending: what was shown,
// which windows there were, what the registry holds afterwards and the exit code.
#include "tests/scenario/scenario.h"

using namespace vireo::test;

namespace {

TEST_F(Startup, WithoutABookItRefusesWithItsMessage) {
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "이북을 찾을수 없습니다.");
    EXPECT_EQ(desktop.messageBoxes[0].caption, "VireoWebBrowser");
    EXPECT_EQ(desktop.messageBoxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(desktop.messageBoxes[0].owner, nullptr);
    EXPECT_TRUE(desktop.everCreated.empty());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Company()));
    EXPECT_FALSE(FeatureWritten());
}

TEST_F(Startup, OrdinaryStartShowsOneMaximizedWindowWithoutMenu) {
    InstallBook();
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(seen.sawMainWindow);
    EXPECT_TRUE(seen.visible);
    EXPECT_TRUE(seen.maximized);
    EXPECT_FALSE(seen.hasMenu);
    EXPECT_EQ(seen.topLevelWindows, 1);
    EXPECT_EQ(seen.caption, " - ");
    EXPECT_EQ(seen.documentTitle, "");
    EXPECT_EQ(seen.documentPath, "");
    EXPECT_TRUE(desktop.windows.empty()) << "closing the frame destroyed every window";
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Settings() + "\\Settings"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Settings() + "\\Recent File List"));
    EXPECT_TRUE(FeatureWritten());
    EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u);
    EXPECT_EQ(vireo::win::OleInitializeCount(), 0) << "OLE ends with the application";
}

TEST_F(Startup, StartedMinimizedItStillEndsUpMaximized) {
    InstallBook();
    vireo::win::SetModulePathForTesting(install / "Reader");
    desktop.onIdle = [this] {
        seen.maximized = IsZoomed(AfxGetMainWnd()->m_hWnd);
        AfxGetMainWnd()->PostMessage(WM_CLOSE);
    };
    CVireoWebBrowserApp app;
    char name[] = "VireoPlayer";
    char* argv[] = {name};
    EXPECT_EQ(AfxWinMain(1, argv, SW_SHOWMINIMIZED), 0);
    EXPECT_TRUE(seen.maximized);
}

TEST_F(Startup, AFileOnTheCommandLineBecomesTheDocumentAndTheFirstRecentFile) {
    InstallBook();
    WriteFile(install / "notes.txt", "never read");
    std::string file = vireo::win::FromHostPath(install / "notes.txt");
    EXPECT_EQ(Run({file}), 0);
    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(seen.documentTitle, "notes.txt");
    EXPECT_EQ(seen.documentPath, file);
    EXPECT_EQ(seen.caption, "notes.txt - ");
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, Settings() + "\\Recent File List", "File1"), file);
}

TEST_F(Startup, FileOpenAsksWithTheOpenDialogAndOpensTheChosenFileAsTheDocument) {
    InstallBook();
    WriteFile(install / "notes.txt", "never read");
    desktop.fileAnswers = {std::nullopt, (install / "notes.txt").string()};
    bool sent = false;
    whileShown = [&] {
        if (std::exchange(sent, true))
            return;
        AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_FILE_OPEN); // cancelled
        EXPECT_EQ(Utf8(ReadCaption()), " - ") << "a cancelled Open changes nothing";
        AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
    };
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(desktop.fileChoosersShown.size(), 2u);
    const vireo::win::FileChooserRequest& asked = desktop.fileChoosersShown[0];
    EXPECT_EQ(asked.title, "열기");
    ASSERT_EQ(asked.filters.size(), 1u);
    EXPECT_EQ(asked.filters[0].name, "모든 파일 (*.*)");
    EXPECT_EQ(asked.filters[0].patterns, std::vector<std::string>{"*.*"});
    EXPECT_EQ(seen.documentTitle, "notes.txt");
    EXPECT_EQ(seen.documentPath, vireo::win::FromHostPath(install / "notes.txt"));
    // Opening a document updates the view again, which goes to the start page again.
    ASSERT_FALSE(engine.navigations.empty());
    for (const std::string& url : engine.navigations)
        EXPECT_EQ(url, vireo::win::FromHostPath(install / "ebook" / "index.html"))
            << "the view shows the start page";
}

TEST_F(Startup, TheRecentFileListHonoursThePolicy) {
    InstallBook();
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    DWORD one = 1;
    RegSetValueExA(key, "NoRecentDocsHistory", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
    RegCloseKey(key);
    WriteFile(install / "notes.txt");
    EXPECT_EQ(Run({vireo::win::FromHostPath(install / "notes.txt")}), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Settings() + "\\Recent File List"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Settings() + "\\Settings"));
}

TEST_F(Startup, AMissingFileGivesTheFrameworksMessageAndNoWindow) {
    InstallBook();
    std::string file = vireo::win::FromHostPath(install / "missing.txt");
    EXPECT_EQ(Run({file}), 0);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_NE(desktop.messageBoxes[0].text.find(vireo::test::Utf8(file)), std::string::npos);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "VireoWebBrowser");
    EXPECT_FALSE(AnyWindowShown());
    EXPECT_FALSE(seen.sawMainWindow);
    EXPECT_TRUE(desktop.windows.empty());
    EXPECT_TRUE(FeatureWritten()) << "the engine was configured before the command line ran";
}

TEST_F(Startup, RegisterAndUnregisterEndWithoutAWindow) {
    InstallBook();
    EXPECT_EQ(Run({"/Register"}), 0);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_FALSE(AnyWindowShown());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Settings() + "\\Settings"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Settings() + "\\Recent File List"))
        << "the recent-file list is not written back";

    EXPECT_EQ(Run({"-Unregserver"}), 0);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "VireoWebBrowser");
    EXPECT_FALSE(AnyWindowShown());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Settings()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Company())) << "the emptied company key goes too";
}

TEST_F(Startup, PrintingAndDdeEndWithoutAWindow) {
    InstallBook();
    WriteFile(install / "notes.txt");
    EXPECT_EQ(Run({"/p", vireo::win::FromHostPath(install / "notes.txt")}), 0);
    EXPECT_FALSE(AnyWindowShown());
    EXPECT_EQ(Run({"/dde"}), 0);
    EXPECT_FALSE(AnyWindowShown());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(Startup, FailingOleShowsStringHundred) {
    InstallBook();
    vireo::win::FailOleInitializeForTesting(E_FAIL);
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text,
              "OLE를 초기화할 수 없습니다.  OLE 라이브러리 버전이 올바른지 확인하십시오.");
    EXPECT_EQ(desktop.messageBoxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_TRUE(desktop.everCreated.empty());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Company())) << "the settings key is touched only after OLE";
}

TEST_F(Startup, OldEnginesAreRefusedBeforeTheBookIsLookedFor) {
    for (auto [version, refused] : {std::pair{"8.0.1", true}, {"", true}, {"9.0", false}}) {
        SetVersion(version);
        desktop.messageBoxes.clear();
        EXPECT_EQ(Run(), 0);
        ASSERT_EQ(desktop.messageBoxes.size(), 1u) << version;
        EXPECT_EQ(
            desktop.messageBoxes[0].text,
            refused
                ? "인터넷 익스플로러 9 이상 브라우저에 최적화 되어 있습니다. 브라우저를 업데이트 하십시요."
                : "이북을 찾을수 없습니다.")
            << version;
        EXPECT_FALSE(FeatureWritten());
    }
}

class Companions : public Startup {
protected:
    // A companion that notes its arguments in a file next to itself.
    fs::path InstallCompanion(const fs::path& relative) {
        fs::path file = install / "reader" / relative;
        WriteFile(file, "#!/bin/sh\necho \"started $*\" > \"$0.ran\"\n");
        chmod(file.c_str(), 0755);
        return file;
    }
    std::string WaitForRun(const fs::path& companion) {
        fs::path marker = companion.string() + ".ran";
        for (int i = 0; i < 200 && !fs::exists(marker); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return fs::exists(marker) ? vireo::test::ReadFile(marker) : "(not started)";
    }
};

TEST_F(Companions, TheUpdaterWinsAndNothingElseHappens) {
    InstallBook();
    SetVersion("8.0");
    fs::path updater = InstallCompanion("Updater.exe");
    fs::path player = InstallCompanion("player/player.exe");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(WaitForRun(updater), "started launcher\n");
    EXPECT_FALSE(fs::exists(player.string() + ".ran"));
    EXPECT_TRUE(desktop.messageBoxes.empty()) << "the hand-off comes before the version gate";
    EXPECT_TRUE(desktop.everCreated.empty());
    EXPECT_FALSE(FeatureWritten());
}

TEST_F(Companions, PlayersInTheirOrder) {
    fs::path second = InstallCompanion("nodewekit-player/player.exe");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(WaitForRun(second), "started \n");
    fs::remove(second.string() + ".ran");

    fs::path first = InstallCompanion("player/player.exe");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(WaitForRun(first), "started \n");
    EXPECT_FALSE(fs::exists(second.string() + ".ran"));
    EXPECT_TRUE(desktop.messageBoxes.empty()) << "no book is needed for a hand-off";
}

TEST_F(Companions, AFolderWithACandidatesNameCountsAndALaunchThatFailsStillEndsStartUp) {
    InstallBook();
    fs::create_directories(install / "reader" / "Updater.exe");
    setenv("PATH", "/nonexistent", 1); // no desktop handler to open the folder with
    EXPECT_EQ(Run(), 0);
    setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(desktop.everCreated.empty());
    EXPECT_FALSE(FeatureWritten());
}

} // namespace

namespace {

TEST_F(Startup, TheAboutBoxComesOnlyThroughTheCommandRouting) {
    InstallBook();
    desktop.dialogAnswers = {IDOK, IDCANCEL};
    whileShown = [&] {
        if (!desktop.dialogsShown.empty())
            return;
        // No key issues the command.
        for (WPARAM key : {WPARAM{'N'}, WPARAM{'O'}, WPARAM{0x70}})
            EXPECT_FALSE(desktop.Key(WM_KEYDOWN, key));
        EXPECT_TRUE(desktop.dialogsShown.empty());
        // The frame routes the command to the view, the document, itself and the application.
        AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_APP_ABOUT);
        AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_APP_ABOUT);
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(desktop.dialogsShown, (std::vector<UINT>{100, 100}));
    const vireo::win::DialogTemplate* about = vireo::win::FindDialogResource(100);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->caption, "VireoWebBrowser 정보");
    EXPECT_EQ(about->items[1].text, "VireoWebBrowser, 버전 1.0");
    EXPECT_EQ(about->items[3].text, "확인");
}

} // namespace
