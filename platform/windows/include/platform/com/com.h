// COM and automation, as the platform declares them.
#pragma once

#include "platform/win/windows.h"
