// On Windows the platform's own headers are the API the system's code is written
// against; every header of our Linux layer that the system includes forwards here.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <ole2.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shobjidl.h>
