// Where the executable is: its full path, its directory, and a path's file name with
// and without its extension. Every call asks the system again.
#pragma once

#include "platform/afx/cstring.h"

CString GetExePath();
CString GetExeDir();
CString GetExeTitle(CString strPath);
CString GetExeFileName(CString strPath);
