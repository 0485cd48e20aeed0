// The engine's own shortcuts, as a reader knows them from the platform's engine: the
// host handles none of these keys, the engine applies them to keys nobody else took.
#pragma once

#include <optional>

#include "platform/win/window.h"

namespace vireo::engine {

enum class Shortcut { Back, Forward, Reload, ZoomIn, ZoomOut, ZoomReset };

enum class Modifier : unsigned { None = 0, Shift = 1, Control = 2, Alt = 4 };
constexpr Modifier operator|(Modifier a, Modifier b) {
    return static_cast<Modifier>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool Has(Modifier set, Modifier m) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(m)) != 0;
}

// The shortcut a key-down with these modifiers means, if any.
std::optional<Shortcut> ShortcutOfKey(WPARAM virtualKey, Modifier modifiers);

// The modifiers held now, as the platform tells them for the input being handled.
Modifier HeldModifiers();

// Zoom runs from 25 to 500 percent in steps of 10 up to 200 and of 25 beyond; a zoom
// shortcut moves to the next step from wherever the zoom stands.
constexpr int kZoomMin = 25;
constexpr int kZoomMax = 500;
int NextZoom(int percent, Shortcut zoom);

} // namespace vireo::engine
