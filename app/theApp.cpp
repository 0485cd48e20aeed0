// The one application object of the shipped program.
#include "app/VireoWebBrowserApp.h"

CVireoWebBrowserApp theApp;
