// The engine's own shortcuts: which key chords are the engine's, and the zoom steps.
#include <gtest/gtest.h>

#include "engine/shortcuts.h"

using vireo::engine::Modifier;
using vireo::engine::NextZoom;
using vireo::engine::Shortcut;
using vireo::engine::ShortcutOfKey;

namespace {

constexpr Modifier kNone = Modifier::None;
constexpr Modifier kShift = Modifier::Shift;
constexpr Modifier kCtrl = Modifier::Control;
constexpr Modifier kAlt = Modifier::Alt;

struct Chord {
    WPARAM key;
    Modifier modifiers;
    std::optional<Shortcut> expected;
};

TEST(EngineShortcuts, KeyChords) {
    const Chord cases[] = {
        {VK_BACK, kNone, Shortcut::Back},
        {VK_BACK, kShift, Shortcut::Forward},
        {VK_BACK, kCtrl, std::nullopt},
        {VK_BACK, kAlt, std::nullopt},
        {VK_LEFT, kAlt, Shortcut::Back},
        {VK_RIGHT, kAlt, Shortcut::Forward},
        {VK_LEFT, kNone, std::nullopt}, // moves the caret or scrolls: the page's
        {VK_LEFT, kAlt | kShift, std::nullopt},
        {VK_LEFT, kAlt | kCtrl, std::nullopt},
        {VK_F5, kNone, Shortcut::Reload},
        {'R', kCtrl, Shortcut::Reload},
        {'R', kNone, std::nullopt},
        {'R', kCtrl | kShift, std::nullopt},
        {VK_OEM_PLUS, kCtrl, Shortcut::ZoomIn},
        {VK_OEM_PLUS, kCtrl | kShift, Shortcut::ZoomIn}, // + is the shifted = on many layouts
        {VK_ADD, kCtrl, Shortcut::ZoomIn},
        {VK_OEM_PLUS, kNone, std::nullopt},
        {VK_OEM_MINUS, kCtrl, Shortcut::ZoomOut},
        {VK_SUBTRACT, kCtrl, Shortcut::ZoomOut},
        {'0', kCtrl, Shortcut::ZoomReset},
        {VK_NUMPAD0, kCtrl, Shortcut::ZoomReset},
        {'0', kCtrl | kAlt, std::nullopt},
        {VK_ESCAPE, kNone, std::nullopt}, // the frame's, in full-screen mode
        {'A', kCtrl, std::nullopt},
    };
    for (const Chord& c : cases)
        EXPECT_EQ(ShortcutOfKey(c.key, c.modifiers), c.expected)
            << "key 0x" << std::hex << c.key << " modifiers " << static_cast<unsigned>(c.modifiers);
}

TEST(EngineShortcuts, ZoomSteps) {
    struct Step {
        int from;
        Shortcut zoom;
        int to;
    };
    const Step steps[] = {
        {100, Shortcut::ZoomIn, 110},
        {190, Shortcut::ZoomIn, 200},
        {200, Shortcut::ZoomIn, 225},
        {475, Shortcut::ZoomIn, 500},
        {500, Shortcut::ZoomIn, 500},
        {100, Shortcut::ZoomOut, 90},
        {225, Shortcut::ZoomOut, 200},
        {30, Shortcut::ZoomOut, 25},
        {25, Shortcut::ZoomOut, 25},
        {25, Shortcut::ZoomIn, 30},
        {333, Shortcut::ZoomReset, 100},
        // A zoom between steps (set another way) moves to the next step in its direction.
        {105, Shortcut::ZoomIn, 110},
        {105, Shortcut::ZoomOut, 100},
        {210, Shortcut::ZoomOut, 200},
        {900, Shortcut::ZoomIn, 500},
        {10, Shortcut::ZoomOut, 25},
    };
    for (const Step& s : steps)
        EXPECT_EQ(NextZoom(s.from, s.zoom), s.to) << "from " << s.from;
}

} // namespace
