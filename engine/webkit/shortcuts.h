// The engine's own shortcuts on WebKitGTK. WebKit leaves back, forward, reload and zoom
// to the program that hosts it; here they are applied to what nobody else took: keys
// that went past the frames' pre-translation and the page, the mouse's back and forward
// buttons, and (through the web process, see the extension) Ctrl+wheel and Alt+arrows.
#pragma once

#include <webkit2/webkit2.h>

#include "engine/shortcuts.h"

namespace vireo::engine::webkit {

void ApplyShortcut(WebKitWebView* view, Shortcut shortcut);

// Connects the view's key and button handlers.
void InstallShortcuts(WebKitWebView* view);

// The shortcut a web process reports by its letter (see Op::Shortcut), if it is one.
std::optional<Shortcut> ShortcutOfLetter(char letter);

} // namespace vireo::engine::webkit
