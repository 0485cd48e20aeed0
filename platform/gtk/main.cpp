// The program's entry on the real desktop: the platform's WinMain, with the process's
// show state, run by the framework on the application object.
#include "platform/afx/winapp.h"
#include "platform/gtk/gtk_desktop.h"

int main(int argc, char** argv) {
    vireo::gtk::InstallDesktop();
    return AfxWinMain(argc, argv, SW_SHOWNORMAL);
}
