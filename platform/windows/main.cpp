// The program's entry on Windows: the platform hands over the process's show state and
// its arguments in the ANSI code page, and the framework runs the application object.
#include "engine/contract.h"
#include "platform/afx/winapp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int nCmdShow) {
    vireo::engine::InstallDefaultEngine();
    return AfxWinMain(__argc, __argv, nCmdShow);
}
