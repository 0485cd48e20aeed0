// The program's entry on the real desktop: the platform's WinMain, with the process's
// show state, run by the framework on the application object.
#include <string>
#include <vector>

#include "engine/contract.h"
#include "platform/afx/winapp.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/win/codepage.h"

// The host hands over UTF-8; the program sees its arguments in the ANSI code page.
int main(int argc, char** argv) {
    vireo::gtk::InstallDesktop();
    vireo::engine::InstallDefaultEngine();
    std::vector<std::string> ansi(argv, argv + argc);
    std::vector<char*> args;
    for (std::string& a : ansi) {
        a = vireo::win::Utf8ToAnsi(a);
        args.push_back(a.data());
    }
    args.push_back(nullptr);
    return AfxWinMain(argc, args.data(), SW_SHOWNORMAL);
}
