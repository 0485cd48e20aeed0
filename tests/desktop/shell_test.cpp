// The installed shell on a real desktop (Xvfb with openbox): what a user would see.
#include "tests/desktop/desktop.h"

using namespace vireo::test;

namespace {

TEST_F(InstalledShell, WithoutABookItSaysSoAndMapsNoWindow) {
    Background shell({(install / "VireoPlayer").string()}, Env());
    EXPECT_FALSE(MapsAWindowBeforeItEnds(shell));
    EXPECT_EQ(shell.Wait(10), 0);
    EXPECT_EQ(shell.Stderr(), "VireoWebBrowser: 이북을 찾을수 없습니다.\n");
}

TEST_F(InstalledShell, WithABookItMapsOneMaximizedWindowAndClosingItEndsTheProcess) {
    AddSampleBook();
    Background shell({(install / "VireoPlayer").string()}, Env());
    std::string window = WaitForWindow(shell, 20);
    ASSERT_FALSE(window.empty()) << shell.Stderr();

    std::string state;
    for (int i = 0; i < 100 && state.find("_NET_WM_STATE_MAXIMIZED_HORZ") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state = Property(window, "_NET_WM_STATE");
    }
    EXPECT_NE(state.find("_NET_WM_STATE_MAXIMIZED_VERT"), std::string::npos) << state;
    EXPECT_NE(state.find("_NET_WM_STATE_MAXIMIZED_HORZ"), std::string::npos) << state;
    EXPECT_NE(Property(window, "_NET_WM_ICON").find("Icon (256 x 256)"), std::string::npos)
        << "the large icon is set";
    Shell("import -window root " + (fs::path(VIREO_BUILD_DIR) / "desktop-with-book.png").string());

    // The window manager's close, as the close box does it.
    Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
    EXPECT_EQ(shell.Wait(20), 0) << shell.Stderr();
    EXPECT_EQ(shell.Stderr(), "");
}

TEST_F(InstalledShell, TheStartPageIsShownWithItsTitleAsCaption) {
    AddSampleBook();
    Background shell({(install / "VireoPlayer").string()}, Env());
    std::string window = WaitForWindow(shell, 20);
    ASSERT_FALSE(window.empty()) << shell.Stderr();
    std::string title;
    for (int i = 0; i < 200 && title.find("A Spring Forest") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        title = Property(window, "_NET_WM_NAME");
    }
    EXPECT_NE(title.find("\"봄날의 숲 · A Spring Forest\""), std::string::npos) << title;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    fs::path shot = fs::path(VIREO_BUILD_DIR) / "desktop-sample-book.png";
    Shell("import -window root " + shot.string());
    // The book's green band, well inside the page below the caption.
    EXPECT_EQ(Shell("convert " + shot.string() + " -format '%[hex:u.p{400,60}]' info:"), "1F6F5C");
}

TEST_F(InstalledShell, ALinkOpensInPlace) {
    AddSampleBook();
    Background shell({(install / "VireoPlayer").string()}, Env());
    std::string window = WaitForWindow(shell, 20);
    ASSERT_FALSE(window.empty()) << shell.Stderr();
    WaitForCaption(window, "A Spring Forest");
    // Past the book's two buttons, the third Tab reaches the first chapter's link.
    Shell("xdotool key Tab Tab Tab Return");
    EXPECT_NE(WaitForCaption(window, "첫째 장").find("첫째 장: 숲으로 가는 길"), std::string::npos);
    EXPECT_EQ(Shell("xdotool search --onlyvisible --pid " + std::to_string(shell.pid()) + " | wc -l"), "1\n");
    Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
    EXPECT_EQ(shell.Wait(20), 0);
}

TEST_F(InstalledShell, TheEngineHonoursItsFeatureControls) {
    fs::copy(fs::path(VIREO_TEST_PAGES) / "probe", install / "ebook", fs::copy_options::recursive);
    auto captionOfARun = [&] {
        Background shell({(install / "VireoPlayer").string()}, Env());
        std::string window = WaitForWindow(shell, 20);
        std::string title;
        for (int i = 0; i < 200 && title.find("mode=") == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            title = Property(window, "_NET_WM_NAME");
        }
        Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
        shell.Wait(20);
        return title;
    };
    // The shell has just written emulation 11000 and XMLHTTP 1 for itself.
    EXPECT_NE(captionOfARun().find("mode=11 xhr=function"), std::string::npos);
}

TEST_F(InstalledShell, AnUpdaterInTheTitleFolderIsStartedInstead) {
    AddSampleBook();
    fs::create_directories(install / "vireoplayer");
    vireo::test::WriteFile(install / "vireoplayer" / "Updater.exe",
                           "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/updater-ran\"\n");
    fs::permissions(install / "vireoplayer" / "Updater.exe", fs::perms::owner_all);
    Background shell({(install / "VireoPlayer").string()}, Env());
    EXPECT_FALSE(MapsAWindowBeforeItEnds(shell));
    EXPECT_EQ(shell.Wait(10), 0);
    for (int i = 0; i < 100 && !fs::exists(install / "vireoplayer" / "updater-ran"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(vireo::test::ReadFile(install / "vireoplayer" / "updater-ran"), "launcher\n");
}

TEST_F(InstalledShell, AnOldEngineIsRefusedAndNothingIsConfigured) {
    AddSampleBook();
    std::map<std::string, std::string> env{{"VIREO_PREFIX", prefix.path().string()}};
    std::string reg = (install / "vireo-reg").string();
    vireo::test::RunProgram(
        {reg, "add", "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer", "/v", "svcVersion", "/d", "8.0.1", "/f"},
        env);
    Background shell({(install / "VireoPlayer").string()}, Env());
    EXPECT_EQ(shell.Wait(20), 0);
    EXPECT_EQ(shell.Stderr(), "VireoWebBrowser: 인터넷 익스플로러 9 이상 브라우저에 최적화 되어 있습니다. "
                              "브라우저를 업데이트 하십시요.\n");
    vireo::test::Finished q = vireo::test::RunProgram(
        {reg, "query", "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl", "/s"}, env);
    EXPECT_EQ(q.out.find("VireoPlayer.exe"), std::string::npos) << q.out;

    vireo::test::RunProgram({reg, "add", "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer", "/v", "svcVersion",
                             "/d", "11.0.1", "/f"},
                            env);
    Background ordinary({(install / "VireoPlayer").string()}, Env());
    std::string window = WaitForWindow(ordinary, 20);
    Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
    EXPECT_EQ(ordinary.Wait(20), 0);
    q = vireo::test::RunProgram(
        {reg, "query", "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl", "/s"}, env);
    for (const char* line : {"FEATURE_BROWSER_EMULATION\n    VireoPlayer.exe    REG_DWORD    0x2af8",
                             "FEATURE_GPU_RENDERING\n    VireoPlayer.exe    REG_DWORD    0x1",
                             "FEATURE_AJAX_CONNECTIONEVENTS\n    VireoPlayer.exe    REG_DWORD    0x1",
                             "FEATURE_XMLHTTP\n    VireoPlayer.exe    REG_DWORD    0x1"})
        EXPECT_NE(q.out.find(line), std::string::npos) << line << "\n" << q.out;
}

TEST(DesktopSetUp, AKoreanFontIsInstalled) {
    EXPECT_FALSE(Shell("fc-list :lang=ko").empty()) << "without one Korean text shows as empty boxes";
}

} // namespace
