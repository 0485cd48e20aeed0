// The framework as the system's code sees it.
#pragma once

#include "platform/afx/afxres.h"
#include "platform/afx/cmdtarget.h"
#include "platform/afx/cstring.h"
#include "platform/afx/dialog.h"
#include "platform/afx/document.h"
#include "platform/afx/frame.h"
#include "platform/afx/object.h"
#include "platform/afx/winapp.h"
#include "platform/afx/wnd.h"
