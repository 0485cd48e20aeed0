// The Windows program under Wine, on the X display the suite provides: each test runs
// the 64-bit build in a fresh prefix (a copy of one booted once per run) with a Korean
// locale, so that the ANSI code page is 949 as the program expects. Texts the program
// prints are code page 949 bytes.
#include <gtest/gtest.h>
#include <iconv.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/process.h"
#include "tests/support/test_support.h"

namespace vireo::test {
namespace {

namespace fs = std::filesystem;

const char kWine[] = "/usr/lib/wine/wine64";
const char kWineServer[] = "/usr/lib/wine/wineserver64";

// A UTF-8 text in code page 949, as the program holds and prints it.
std::string Cp949(const std::string& utf8) {
    iconv_t cd = iconv_open("CP949", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* to = out.data();
    size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &to, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::map<std::string, std::string> WineEnv(const fs::path& prefix) {
    // Without an HTML engine or .NET in the prefix Wine would offer to download them.
    return {
        {"WINEPREFIX", prefix.string()}, {"WINEDEBUG", "-all"},     {"WINEDLLOVERRIDES", "mscoree,mshtml="},
        {"LOCPATH", VIREO_LOCALE_DIR},   {"LC_ALL", "ko_KR.UTF-8"}, {"VIREO_UNATTENDED", "1"}};
}

// One booted prefix per run; every test gets its own copy.
const fs::path& BootedPrefix() {
    static TempDir dir;
    static fs::path prefix = [] {
        fs::path p = dir / "wine";
        RunProgram({kWine, "wineboot", "-i"}, WineEnv(p));
        RunProgram({kWineServer, "-w"}, WineEnv(p));
        return p;
    }();
    return prefix;
}

std::string WindowsPath(const fs::path& p) {
    std::string s = "Z:" + p.string();
    for (char& c : s)
        if (c == '/')
            c = '\\';
    return s;
}

class WineShell : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display; the test command starts one";
        ASSERT_TRUE(fs::exists(kWine)) << "wine64 is missing; scripts/test installs it";
        ASSERT_TRUE(fs::exists(VIREO_WINDOWS_BUILD "/VireoPlayer.exe"))
            << "the windows-x64 build is missing; scripts/test builds it";
        ASSERT_TRUE(fs::exists(BootedPrefix() / "system.reg")) << "the Wine prefix did not boot";
        Shell("cp -a '" + BootedPrefix().string() + "' '" + prefix.string() + "'");
        fs::copy_file(VIREO_WINDOWS_BUILD "/VireoPlayer.exe", install / "VireoPlayer.exe");
    }
    void TearDown() override {
        if (fs::exists(prefix))
            RunProgram({kWineServer, "-k"}, WineEnv(prefix));
    }

    void AddSampleBook() { fs::copy(VIREO_SAMPLE_BOOK, install / "ebook", fs::copy_options::recursive); }
    void AddRecorderAs(const fs::path& relative) {
        fs::create_directories((install / relative).parent_path());
        fs::copy_file(VIREO_WINDOWS_BUILD "/tests/windows/vireo_recorder.exe", install / relative);
    }

    std::vector<std::string> Program(const std::vector<std::string>& args = {}) {
        std::vector<std::string> argv{kWine, (install / "VireoPlayer.exe").string()};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }

    // Wine's own reg, on this test's prefix.
    Finished Reg(const std::vector<std::string>& args) {
        std::vector<std::string> argv{kWine, "reg"};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(argv, WineEnv(prefix));
    }
    std::string FeatureValue(const std::string& feature) {
        return Reg({"query", "HKLM\\Software\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\" + feature,
                    "/v", "VireoPlayer.exe"})
            .out;
    }
    // The user's software settings, as an export of Wine's reg (UTF-16) turned to code page 949.
    std::string UserSettings() {
        fs::path file = install / "settings.reg";
        Reg({"export", "HKCU\\Software", WindowsPath(file), "/y"});
        return Shell("iconv -f UTF-16 -t CP949 '" + file.string() + "' 2>/dev/null | tr -d '\\r'");
    }

    std::string WaitForWindow(Background& shell, double seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline && shell.Running()) {
            std::string out =
                Shell("xdotool search --onlyvisible --pid " + std::to_string(shell.pid()) + " 2>/dev/null");
            if (!out.empty())
                return out.substr(0, out.find('\n'));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {};
    }

    static std::string ReadWhenThere(const fs::path& file, double seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!fs::exists(file) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TempDir install;
    TempDir home;
    fs::path prefix = home / "wine";
};

TEST_F(WineShell, WithoutABookItSaysSoAndEnds) {
    Finished run = RunProgram(Program(), WineEnv(prefix));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find(Cp949("VireoWebBrowser: 이북을 찾을수 없습니다.")), std::string::npos) << run.err;
    EXPECT_EQ(FeatureValue("FEATURE_GPU_RENDERING").find("0x1"), std::string::npos);
}

TEST_F(WineShell, AnEngineOlderThanNineIsRefusedAndNothingIsConfigured) {
    AddSampleBook();
    ASSERT_EQ(Reg({"add", "HKLM\\Software\\Microsoft\\Internet Explorer", "/v", "svcVersion", "/d",
                   "8.0.7601.17514", "/f"})
                  .exitCode,
              0);
    Finished run = RunProgram(Program(), WineEnv(prefix));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(
        run.err.find(Cp949("VireoWebBrowser: 인터넷 익스플로러 9 이상 브라우저에 최적화 되어 있습니다.")),
        std::string::npos)
        << run.err;
    EXPECT_EQ(FeatureValue("FEATURE_BROWSER_EMULATION").find("REG_DWORD"), std::string::npos);
}

TEST_F(WineShell, AnUpdaterOrAPlayerInTheTitleFolderIsStartedInstead) {
    struct Case {
        const char* companion;
        const char* arguments;
    } cases[] = {{"VireoPlayer/Updater.exe", "launcher\n"}, {"VireoPlayer/player/player.exe", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.companion);
        AddSampleBook();
        AddRecorderAs(c.companion);
        Finished run = RunProgram(Program(), WineEnv(prefix));
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(ReadWhenThere((install / c.companion).parent_path() / "ARGS.txt", 20), c.arguments);
        EXPECT_EQ(FeatureValue("FEATURE_GPU_RENDERING").find("0x1"), std::string::npos);
        fs::remove_all(install / "VireoPlayer");
        fs::remove_all(install / "ebook");
    }
}

TEST_F(WineShell, AnOrdinaryStartShowsOneMaximizedWindowAndKeepsItsSettings) {
    AddSampleBook();
    fs::path chapter = install / "ebook" / "chapter1.html";
    Background shell(Program({WindowsPath(chapter)}), WineEnv(prefix));
    std::string window = WaitForWindow(shell, 60);
    ASSERT_FALSE(window.empty()) << shell.Stderr();
    std::string state;
    for (int i = 0; i < 50 && state.find("MAXIMIZED_HORZ") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state = Shell("xprop -id " + window + " _NET_WM_STATE");
    }
    EXPECT_NE(state.find("_NET_WM_STATE_MAXIMIZED_VERT"), std::string::npos) << state;
    EXPECT_NE(state.find("_NET_WM_STATE_MAXIMIZED_HORZ"), std::string::npos) << state;
    std::string windows =
        Shell("xdotool search --onlyvisible --pid " + std::to_string(shell.pid()) + " | wc -l");
    EXPECT_EQ(windows, "1\n");

    // The engine's four feature controls, under the program's own name.
    EXPECT_NE(FeatureValue("FEATURE_BROWSER_EMULATION").find("REG_DWORD"), std::string::npos);
    for (const char* feature : {"FEATURE_GPU_RENDERING", "FEATURE_AJAX_CONNECTIONEVENTS", "FEATURE_XMLHTTP"})
        EXPECT_NE(FeatureValue(feature).find("REG_DWORD    0x1"), std::string::npos) << feature;

    Shell("xdotool windowactivate --sync " + window + " key alt+F4 2>/dev/null");
    EXPECT_EQ(shell.Wait(30), 0) << shell.Stderr();

    // The settings key, with the file from the command line first in the recent list.
    std::string settings = UserSettings();
    std::string key = Cp949(
        "[HKEY_CURRENT_USER\\Software\\로컬 응용 프로그램 마법사에서 생성된 응용 프로그램\\VireoWebBrowser");
    EXPECT_NE(settings.find(key + "\\Recent File List]"), std::string::npos) << settings;
    std::string file1 = "\"File1\"=\"" + WindowsPath(chapter) + "\"";
    std::string escaped;
    for (char c : file1) {
        escaped += c;
        if (c == '\\')
            escaped += '\\';
    }
    EXPECT_NE(settings.find(escaped), std::string::npos) << settings;
}

// The Windows packages: both are made; the 64-bit installer installs silently into a fresh
// prefix, its program starts as usual, and its uninstaller takes everything away again.
// The installer takes a Korean title with a character no file name may hold: the
// shortcut keeps the title, with that character made harmless.
TEST_F(WineShell, TheWindowsPackagesAreMadeAndTheInstallerInstallsRunsAndUninstalls) {
    TempDir out;
    const std::string title = "봄날의 숲: 1/2";
    for (const char* arch : {"x86", "x64"}) {
        Finished made =
            RunProgram({"/bin/bash", VIREO_SOURCE_DIR "/scripts/package", "--stage", VIREO_STAGE, "--title",
                        title, "--win-arch", arch, VIREO_SAMPLE_BOOK, "Sample", out.path().string()});
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }
    std::string listing = Shell("unzip -l '" + (out / "Sample-1.8.8.0-win32.zip").string() + "'");
    EXPECT_NE(listing.find("Sample/VireoPlayer.exe"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Sample/ebook/index.html"), std::string::npos) << listing;
    std::string exe32 = Shell("cd '" + install.path().string() + "' && unzip -o -q '" +
                              (out / "Sample-1.8.8.0-win32.zip").string() +
                              "' && i686-w64-mingw32-objdump -f Sample/VireoPlayer.exe");
    EXPECT_NE(exe32.find("file format pei-i386"), std::string::npos) << exe32;
    std::string setup32 =
        Shell("i686-w64-mingw32-objdump -f '" + (out / "Sample-1.8.8.0-win32-setup.exe").string() + "'");
    EXPECT_NE(setup32.find("file format pei-i386"), std::string::npos) << setup32;

    // Installing, silently; the installer's processes are done when the prefix is idle.
    std::string setup = WindowsPath(out / "Sample-1.8.8.0-win64-setup.exe");
    ASSERT_EQ(RunProgram({kWine, setup, "/S"}, WineEnv(prefix)).exitCode, 0);
    RunProgram({kWineServer, "-w"}, WineEnv(prefix));
    fs::path installed = prefix / "drive_c" / "Program Files" / "Sample";
    EXPECT_TRUE(fs::exists(installed / "VireoPlayer.exe"));
    EXPECT_TRUE(fs::exists(installed / "ebook" / "index.html"));
    fs::path shortcut = prefix / "drive_c" / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" /
                        "Programs" / "봄날의 숲_ 1_2.lnk";
    EXPECT_TRUE(fs::exists(shortcut)) << Shell("find '" + prefix.string() + "/drive_c' -name '*.lnk'");
    std::string entry =
        Reg({"query", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VireoWebBrowser Sample",
             "/v", "DisplayName"})
            .out;
    EXPECT_NE(entry.find(Cp949(title)), std::string::npos)
        << "the list of programs names the book by its title";

    Background shell({kWine, "C:\\Program Files\\Sample\\VireoPlayer.exe"}, WineEnv(prefix));
    std::string window = WaitForWindow(shell, 60);
    ASSERT_FALSE(window.empty()) << shell.Stderr();
    Shell("xdotool windowactivate --sync " + window + " key alt+F4 2>/dev/null");
    EXPECT_EQ(shell.Wait(30), 0) << shell.Stderr();

    ASSERT_EQ(RunProgram({kWine, "C:\\Program Files\\Sample\\uninstall.exe", "/S"}, WineEnv(prefix)).exitCode,
              0);
    RunProgram({kWineServer, "-w"}, WineEnv(prefix));
    EXPECT_FALSE(fs::exists(installed)) << "nothing of the book is left";
    EXPECT_FALSE(fs::exists(shortcut));
}

// The Windows side's own tests: the WebBrowser backend and the compiled resources.
// A Windows test program passes when it ends with 0 having run tests, none failing.
void ExpectPassed(const Finished& run) {
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("[  PASSED  ]"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("[  PASSED  ] 0 tests"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("[  FAILED  ]"), std::string::npos) << run.out;
}

TEST_F(WineShell, TheWindowsTestsPass) {
    auto env = WineEnv(prefix);
    env["VIREO_PROGRAM"] = WindowsPath(install / "VireoPlayer.exe");
    ExpectPassed(RunProgram({kWine, VIREO_WINDOWS_BUILD "/tests/windows/vireo_windows_tests.exe"}, env));
}

// The whole program on Wine's windows with the scripted engine: the test program is the
// executable, with a book beside it.
TEST_F(WineShell, TheProgramPassesItsScenariosOnThePlatformsWindows) {
    fs::copy_file(VIREO_WINDOWS_BUILD "/tests/windows/vireo_windows_shell_tests.exe",
                  install / "vireo_windows_shell_tests.exe");
    WriteFile(install / "ebook" / "index.html", "<title>Book</title>");
    ExpectPassed(RunProgram({kWine, (install / "vireo_windows_shell_tests.exe").string()}, WineEnv(prefix)));
}

} // namespace
} // namespace vireo::test
