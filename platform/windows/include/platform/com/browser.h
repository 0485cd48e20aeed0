// The browser control's interfaces, as the platform declares them.
#pragma once

#include "platform/win/windows.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <mshtml.h>
