// The About box as the program carries it: dialog 100 compiled into VireoPlayer.exe
// (named by VIREO_PROGRAM), built by the platform's dialog manager and read back with
// the platform's own functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string TextOf(HWND hWnd) {
    char text[256] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(AboutBox, TheCompiledTemplateHasItsCaptionTextsAndButton) {
    const char* program = std::getenv("VIREO_PROGRAM");
    ASSERT_NE(program, nullptr) << "VIREO_PROGRAM names the program whose resources are read";
    HMODULE module = ::LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program;
    HWND dialog = ::CreateDialogParamA(module, MAKEINTRESOURCEA(100), nullptr, Quiet, 0);
    ASSERT_NE(dialog, nullptr) << ::GetLastError();

    EXPECT_EQ(TextOf(dialog), "VireoWebBrowser 정보");
    std::vector<std::string> statics;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {};
        ::GetClassNameA(child, cls, sizeof cls);
        bool icon = (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (lstrcmpiA(cls, "Static") == 0 && !icon)
            statics.push_back(TextOf(child));
    }
    EXPECT_EQ(statics, (std::vector<std::string>{"VireoWebBrowser, 버전 1.0", "파일 버전 1.8.8.0"}));
    HWND ok = ::GetDlgItem(dialog, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(TextOf(ok), "확인");
    EXPECT_EQ(::GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

    // The program's icon 128 is there in the sizes the shell asks for (the 256-pixel
    // image is PNG-compressed, which this Wine's LoadImage does not decode).
    for (int size : {16, 32, 48})
        EXPECT_NE(::LoadImageA(module, MAKEINTRESOURCEA(128), IMAGE_ICON, size, size, 0), nullptr) << size;

    ::DestroyWindow(dialog);
    ::FreeLibrary(module);
}

} // namespace
