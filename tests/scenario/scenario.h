// The fixture of the scenario tests: a fresh prefix, an install folder, the simulated
// desktop and engine, and a run of the whole program on them.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "app/VireoWebBrowserApp.h"
#include "engine/sim/sim_engine.h"
#include "host/MainFrame.h"
#include "platform/sim/sim_desktop.h"
#include "platform/win/commdlg.h"
#include "platform/win/prefix.h"
#include "platform/win/process.h"
#include "platform/win/windows.h"
#include "tests/support/test_support.h"

namespace vireo::test {

namespace fs = std::filesystem;

// The settings keys, in the code page of the prefix in force.
inline std::string Company() {
    return "Software\\" + Ansi("로컬 응용 프로그램 마법사에서 생성된 응용 프로그램");
}
inline std::string Settings() {
    return Company() + "\\VireoWebBrowser";
}
inline const char kFeatures[] = "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\";

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
            if (whileShown)
                whileShown();
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
        for (std::string& a : args) {
            a = Ansi(a); // as the platform's entry hands them over
            argv.push_back(a.data());
        }
        return AfxWinMain(static_cast<int>(argv.size()), argv.data(), SW_SHOWNORMAL);
    }

    std::string ReadCaption() {
        char caption[256] = {};
        GetWindowTextA(AfxGetMainWnd()->m_hWnd, caption, sizeof caption);
        return caption;
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
    // Runs each time the loop waits while the main window is up, before it is closed.
    std::function<void()> whileShown;
};

} // namespace vireo::test
