// The real desktop: the layer's windows as GTK 3 widgets on X11, its message boxes as
// modal GTK dialogs, its message loop on GLib's main context.
#pragma once

#include <gtk/gtk.h>

#include "platform/win/desktop.h"

namespace vireo::gtk {

// The desktop of the running process, created on first use. GTK is initialised only
// when a window or a box is first needed, so a start that ends before any window (a
// refusal in unattended mode, a companion hand-off) needs no display.
win::Desktop& InstallDesktop();

// The widget that holds a window's children (and later the engine's view).
GtkWidget* ContainerOf(HWND hwnd);
GtkWindow* ToplevelOf(HWND hwnd);

} // namespace vireo::gtk
