// The desktop's modal dialogs, each run to its end on GTK's own loop.
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <string>

#include "platform/win/types.h"

namespace vireo::win {
struct DialogTemplate;
struct FileChooserRequest;
} // namespace vireo::win

namespace vireo::gtk {

// A dialog built from its template; the identifier of the button that ended it, IDCANCEL
// for Esc and the close box.
INT_PTR RunTemplateDialog(GtkWindow* parent, const win::DialogTemplate& dialog);
// The chooser of an existing file: its path, or nothing when cancelled.
std::optional<std::string> RunFileChooser(GtkWindow* parent, const win::FileChooserRequest& request);
// A message box with the platform's buttons for `type`; the button pressed.
int RunMessageBox(GtkWindow* parent, const std::string& text, const std::string& caption, UINT type);

} // namespace vireo::gtk
