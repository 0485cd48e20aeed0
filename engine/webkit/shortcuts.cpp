#include "engine/webkit/shortcuts.h"

#include <cmath>

#include "platform/gtk/keys.h"

namespace vireo::engine::webkit {
namespace {

Modifier ModifiersOf(GdkModifierType state) {
    Modifier held = Modifier::None;
    if (gtk::ModifierIn(state, VK_SHIFT))
        held = held | Modifier::Shift;
    if (gtk::ModifierIn(state, VK_CONTROL))
        held = held | Modifier::Control;
    if (gtk::ModifierIn(state, VK_MENU))
        held = held | Modifier::Alt;
    return held;
}

// WebKit hands a key back only when the page did not take it: its own handler lets the
// event go on, so a handler that runs after it sees exactly those keys. The frames had
// the key first, before WebKit did.
gboolean OnKeyNobodyTook(GtkWidget* widget, GdkEventKey* event, gpointer) {
    std::optional<Shortcut> shortcut = ShortcutOfKey(gtk::VirtualKeyOf(event->keyval),
                                                     ModifiersOf(static_cast<GdkModifierType>(event->state)));
    if (!shortcut)
        return FALSE;
    ApplyShortcut(WEBKIT_WEB_VIEW(widget), *shortcut);
    return TRUE;
}

// The mouse's back and forward buttons (X buttons 8 and 9) belong to the engine; the
// page never sees them, as on the platform's engine.
gboolean OnButton(GtkWidget* widget, GdkEventButton* event, gpointer) {
    if (event->type != GDK_BUTTON_PRESS || (event->button != 8 && event->button != 9))
        return FALSE;
    ApplyShortcut(WEBKIT_WEB_VIEW(widget), event->button == 8 ? Shortcut::Back : Shortcut::Forward);
    return TRUE;
}

} // namespace

void ApplyShortcut(WebKitWebView* view, Shortcut shortcut) {
    switch (shortcut) {
    case Shortcut::Back:
        if (webkit_web_view_can_go_back(view))
            webkit_web_view_go_back(view);
        break;
    case Shortcut::Forward:
        if (webkit_web_view_can_go_forward(view))
            webkit_web_view_go_forward(view);
        break;
    case Shortcut::Reload:
        webkit_web_view_reload(view);
        break;
    case Shortcut::ZoomIn:
    case Shortcut::ZoomOut:
    case Shortcut::ZoomReset: {
        // The view keeps its zoom across pages; it scales text and images alike.
        int percent = static_cast<int>(std::lround(webkit_web_view_get_zoom_level(view) * 100));
        webkit_web_view_set_zoom_level(view, NextZoom(percent, shortcut) / 100.0);
        break;
    }
    }
}

void InstallShortcuts(WebKitWebView* view) {
    g_signal_connect_after(view, "key-press-event", G_CALLBACK(OnKeyNobodyTook), nullptr);
    g_signal_connect(view, "button-press-event", G_CALLBACK(OnButton), nullptr);
}

std::optional<Shortcut> ShortcutOfLetter(char letter) {
    switch (letter) {
    case 'B':
        return Shortcut::Back;
    case 'F':
        return Shortcut::Forward;
    case 'I':
        return Shortcut::ZoomIn;
    case 'O':
        return Shortcut::ZoomOut;
    default:
        return std::nullopt;
    }
}

} // namespace vireo::engine::webkit
