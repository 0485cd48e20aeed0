// The platform's API as the system's code sees it.
#pragma once

#include "platform/win/codepage.h"
#include "platform/win/dialog.h"
#include "platform/win/errors.h"
#include "platform/win/file.h"
#include "platform/win/msgbox.h"
#include "platform/win/paths.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/resources.h"
#include "platform/win/shell.h"
#include "platform/win/types.h"
#include "platform/win/window.h"
