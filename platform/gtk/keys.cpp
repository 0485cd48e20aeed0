#include "platform/gtk/keys.h"

#include "platform/win/window.h"

namespace vireo::gtk {

WPARAM VirtualKeyOf(guint keyval) {
    guint upper = gdk_keyval_to_upper(keyval);
    if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9'))
        return upper;
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
        return 0x70 + (keyval - GDK_KEY_F1); // VK_F1 onwards
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
        return VK_NUMPAD0 + (keyval - GDK_KEY_KP_0);
    switch (keyval) {
    case GDK_KEY_Escape:
        return VK_ESCAPE;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
        return 0x0D;
    case GDK_KEY_Tab:
        return 0x09;
    case GDK_KEY_BackSpace:
        return VK_BACK;
    case GDK_KEY_space:
        return 0x20;
    case GDK_KEY_Left:
        return VK_LEFT;
    case GDK_KEY_Up:
        return 0x26;
    case GDK_KEY_Right:
        return VK_RIGHT;
    case GDK_KEY_Down:
        return 0x28;
    // The key that carries = and + on the main block, whichever of the two is typed.
    case GDK_KEY_equal:
    case GDK_KEY_plus:
        return VK_OEM_PLUS;
    case GDK_KEY_minus:
    case GDK_KEY_underscore:
        return VK_OEM_MINUS;
    case GDK_KEY_parenright: // shifted 0 on most layouts
        return '0';
    case GDK_KEY_KP_Add:
        return VK_ADD;
    case GDK_KEY_KP_Subtract:
        return VK_SUBTRACT;
    default:
        return 0;
    }
}

bool ModifierIn(GdkModifierType state, int virtualKey) {
    switch (virtualKey) {
    case VK_SHIFT:
        return state & GDK_SHIFT_MASK;
    case VK_CONTROL:
        return state & GDK_CONTROL_MASK;
    case VK_MENU:
        return state & GDK_MOD1_MASK;
    default:
        return false;
    }
}

} // namespace vireo::gtk
