// The program's entry on the real desktop: the platform's WinMain, with the process's
// show state, run by the framework on the application object.
#include "engine/contract.h"
#include "platform/afx/winapp.h"
#include "platform/gtk/gtk_desktop.h"

int main(int argc, char** argv) {
    vireo::gtk::InstallDesktop();
    vireo::engine::InstallDefaultEngine();
    return AfxWinMain(argc, argv, SW_SHOWNORMAL);
}
