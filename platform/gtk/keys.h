// GTK's key values in the platform's terms: virtual-key codes and modifier keys.
#pragma once

#include <gtk/gtk.h>

#include "platform/win/types.h"

namespace vireo::gtk {

// The platform's virtual-key code of a key, or 0 for keys nothing here looks at.
WPARAM VirtualKeyOf(guint keyval);

// Whether a modifier key (VK_SHIFT, VK_CONTROL, VK_MENU) is held in a state mask.
bool ModifierIn(GdkModifierType state, int virtualKey);

} // namespace vireo::gtk
