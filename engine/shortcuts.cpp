#include "engine/shortcuts.h"

#include <algorithm>
#include <iterator>

namespace vireo::engine {

std::optional<Shortcut> ShortcutOfKey(WPARAM virtualKey, Modifier modifiers) {
    const bool shift = Has(modifiers, Modifier::Shift);
    const bool control = Has(modifiers, Modifier::Control);
    const bool alt = Has(modifiers, Modifier::Alt);
    // Zoom keys ignore Shift: on many layouts + is the shifted = key.
    if (control && !alt) {
        switch (virtualKey) {
        case VK_OEM_PLUS:
        case VK_ADD:
            return Shortcut::ZoomIn;
        case VK_OEM_MINUS:
        case VK_SUBTRACT:
            return Shortcut::ZoomOut;
        case '0':
        case VK_NUMPAD0:
            return Shortcut::ZoomReset;
        case 'R':
            return shift ? std::nullopt : std::optional(Shortcut::Reload);
        default:
            return std::nullopt;
        }
    }
    if (control)
        return std::nullopt;
    if (alt && !shift) {
        if (virtualKey == VK_LEFT)
            return Shortcut::Back;
        if (virtualKey == VK_RIGHT)
            return Shortcut::Forward;
        return std::nullopt;
    }
    if (alt)
        return std::nullopt;
    if (virtualKey == VK_BACK)
        return shift ? Shortcut::Forward : Shortcut::Back;
    if (virtualKey == VK_F5 && !shift)
        return Shortcut::Reload;
    return std::nullopt;
}

Modifier HeldModifiers() {
    Modifier held = Modifier::None;
    if (GetKeyState(static_cast<int>(VK_SHIFT)) < 0)
        held = held | Modifier::Shift;
    if (GetKeyState(static_cast<int>(VK_CONTROL)) < 0)
        held = held | Modifier::Control;
    if (GetKeyState(static_cast<int>(VK_MENU)) < 0)
        held = held | Modifier::Alt;
    return held;
}

namespace {

constexpr int kZoomSteps[] = {25,  30,  40,  50,  60,  70,  80,  90,  100, 110, 120, 130, 140, 150, 160, 170,
                              180, 190, 200, 225, 250, 275, 300, 325, 350, 375, 400, 425, 450, 475, 500};

} // namespace

int NextZoom(int percent, Shortcut zoom) {
    const int* begin = std::begin(kZoomSteps);
    const int* end = std::end(kZoomSteps);
    switch (zoom) {
    case Shortcut::ZoomIn: {
        auto next = std::upper_bound(begin, end, percent);
        return next == end ? kZoomMax : *next;
    }
    case Shortcut::ZoomOut: {
        auto below = std::lower_bound(begin, end, percent);
        return below == begin ? kZoomMin : *(below - 1);
    }
    case Shortcut::ZoomReset:
        return 100;
    default:
        return percent;
    }
}

} // namespace vireo::engine
