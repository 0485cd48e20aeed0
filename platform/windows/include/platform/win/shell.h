// The platform's own declarations (see windows.h beside this header).
#pragma once

#include "platform/win/windows.h"
