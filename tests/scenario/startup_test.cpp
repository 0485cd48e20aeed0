// The whole start-up on the simulated desktop, one test per ending: what was shown,
// which windows there were, what the registry holds afterwards and the exit code.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "app/VireoWebBrowserApp.h"
#include "engine/sim/sim_engine.h"
#include "host/MainFrame.h"
#include "platform/sim/sim_desktop.h"
#include "platform/win/prefix.h"
#include "platform/win/process.h"
#include "platform/win/windows.h"
#include "tests/support/test_support.h"

using vireo::test::Ansi;
using vireo::test::TempDir;
using vireo::test::TempPrefix;
using vireo::test::WriteFile;
namespace fs = std::filesystem;

namespace {

const std::string kCompany = "Software\\" + Ansi("로컬 응용 프로그램 마법사에서 생성된 응용 프로그램");
const std::string kSettings = kCompany + "\\VireoWebBrowser";
const char kFeatures[] = "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\";

struct WhileRunning {
    bool sawMainWindow = false;
    bool visible = false;
    bool maximized = false;
    bool hasMenu = true;
    std::string caption;
    std::string documentTitle = "(none)";
    std::string documentPath = "(none)";
    int topLevelWindows = 0;
};

class Startup : public ::testing::Test {
protected:
    void SetUp() override { vireo::win::SetModulePathForTesting(install / "Reader"); }
    // The view makes the install folder the current directory; it goes with the test.
    void TearDown() override { fs::current_path(startDirectory); }

    void InstallBook() { WriteFile(install / "ebook" / "index.html", "<title>Book</title>"); }

    int Run(std::vector<std::string> args = {}) {
        vireo::win::SetModulePathForTesting(install / "Reader");
        desktop.onIdle = [this] {
            CWnd* main = AfxGetMainWnd();
            if (!main)
                return;
            seen.sawMainWindow = true;
            seen.visible = IsWindowVisible(main->m_hWnd);
            seen.maximized = IsZoomed(main->m_hWnd);
            seen.hasMenu = GetMenu(main->m_hWnd) != nullptr;
            seen.topLevelWindows = static_cast<int>(desktop.TopLevelWindows().size());
            char caption[256];
            GetWindowTextA(main->m_hWnd, caption, sizeof caption);
            seen.caption = caption;
            if (auto* frame = dynamic_cast<CFrameWnd*>(main); frame && frame->GetActiveDocument()) {
                seen.documentTitle = frame->GetActiveDocument()->GetTitle().GetString();
                seen.documentPath = frame->GetActiveDocument()->GetPathName().GetString();
            }
            main->PostMessage(WM_CLOSE);
        };
        CVireoWebBrowserApp app;
        args.insert(args.begin(), "VireoPlayer");
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        return AfxWinMain(static_cast<int>(argv.size()), argv.data(), SW_SHOWNORMAL);
    }

    bool KeyExists(HKEY root, const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    std::string StringValue(HKEY root, const std::string& path, const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "(no key)";
        char buffer[512];
        DWORD size = sizeof buffer;
        LONG r = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
        RegCloseKey(key);
        return r == ERROR_SUCCESS ? std::string(buffer) : "(no value)";
    }

    bool FeatureWritten() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kFeatures) + "FEATURE_BROWSER_EMULATION").c_str(),
                          0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        LONG r = RegQueryValueExA(key, "Reader.exe", nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return r == ERROR_SUCCESS;
    }

    bool AnyWindowShown() {
        for (HWND h : desktop.everCreated)
            if (desktop.windows.count(h) && desktop.windows[h].everShown)
                return true;
        return shownAndGone;
    }

    void SetVersion(const char* text) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, "svcVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(std::strlen(text) + 1));
        RegCloseKey(key);
    }

    fs::path startDirectory = fs::current_path();
    TempPrefix prefix;
    TempDir install;
    vireo::sim::SimDesktop desktop;
    vireo::engine::sim::SimEngine engine;
    WhileRunning seen;
    bool shownAndGone = false;
};

TEST_F(Startup, WithoutABookItRefusesWithItsMessage) {
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "이북을 찾을수 없습니다.");
    EXPECT_EQ(desktop.messageBoxes[0].caption, "VireoWebBrowser");
    EXPECT_EQ(desktop.messageBoxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(desktop.messageBoxes[0].owner, nullptr);
    EXPECT_TRUE(desktop.everCreated.empty());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kCompany));
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
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Settings"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Recent File List"));
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
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kSettings + "\\Recent File List", "File1"), file);
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
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Recent File List"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Settings"));
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
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Settings"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings + "\\Recent File List"))
        << "the recent-file list is not written back";

    EXPECT_EQ(Run({"-Unregserver"}), 0);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "VireoWebBrowser");
    EXPECT_FALSE(AnyWindowShown());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettings));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kCompany)) << "the emptied company key goes too";
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
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kCompany)) << "the settings key is touched only after OLE";
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
