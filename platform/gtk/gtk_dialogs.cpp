// The desktop's modal dialogs: dialog templates laid out in GTK, the file chooser and
// message boxes.
#include "platform/gtk/gtk_dialogs.h"

#include <vector>

#include "platform/win/commdlg.h"
#include "platform/win/dialog.h"
#include "platform/win/msgbox.h"
#include "platform/win/resources.h"
#include "platform/win/window.h"

namespace vireo::gtk {

namespace {

// The dialog's own font where it is installed, else a face with Korean glyphs.
std::string DialogFontFamily(const std::string& face) {
    return face == "MS Shell Dlg" || face.empty() ? "NanumGothic, Noto Sans CJK KR, sans-serif" : face;
}

// Dialog units in pixels: a quarter of the font's average character width, an eighth of
// its height.
struct DialogUnits {
    int baseX = 0, baseY = 0;
    int X(int units) const { return (units * baseX + 2) / 4; }
    int Y(int units) const { return (units * baseY + 4) / 8; }
};

DialogUnits MeasureDialogUnits(GtkWidget* dialog, const std::string& font) {
    PangoFontDescription* description = pango_font_description_from_string(font.c_str());
    PangoLayout* layout = pango_layout_new(gtk_widget_get_pango_context(dialog));
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    pango_font_description_free(description);
    return DialogUnits{(width / 26 + 1) / 2, height};
}

// A static icon: the 32-pixel image of the icon resource the item names.
GtkWidget* IconItem(const win::DialogItem& item) {
    GdkPixbuf* pixbuf = nullptr;
    if (const auto* images =
            win::IconImages(LoadIconA(win::ModuleInstance(), MAKEINTRESOURCEA(std::stoi(item.text))))) {
        for (const win::IconImage& image : *images) {
            if (image.size != 32)
                continue;
            GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
            gdk_pixbuf_loader_write(loader, image.png, image.length, nullptr);
            gdk_pixbuf_loader_close(loader, nullptr);
            if (GdkPixbuf* loaded = gdk_pixbuf_loader_get_pixbuf(loader))
                pixbuf = GDK_PIXBUF(g_object_ref(loaded));
            g_object_unref(loader);
        }
    }
    GtkWidget* w = pixbuf ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new();
    if (pixbuf)
        g_object_unref(pixbuf);
    gtk_widget_set_halign(w, GTK_ALIGN_START);
    gtk_widget_set_valign(w, GTK_ALIGN_START);
    return w;
}

// A push button ends the dialog with its identifier.
GtkWidget* ButtonItem(const win::DialogItem& item, GtkWidget* dialog) {
    GtkWidget* w = gtk_button_new_with_label(item.text.c_str());
    g_object_set_data(G_OBJECT(w), "vireo-id", GINT_TO_POINTER(item.id));
    g_signal_connect(w, "clicked", G_CALLBACK(+[](GtkButton* b, gpointer dlg) {
                         gtk_dialog_response(GTK_DIALOG(dlg),
                                             GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "vireo-id")));
                     }),
                     dialog);
    return w;
}

GtkWidget* TextItem(const win::DialogItem& item) {
    GtkWidget* w = gtk_label_new(item.text.c_str());
    gtk_label_set_xalign(GTK_LABEL(w), 0);
    gtk_label_set_yalign(GTK_LABEL(w), 0);
    return w;
}

// A caption and a system menu without minimize or maximize boxes: the window manager
// offers moving and closing only. GTK writes its own hints as it maps the window, so
// these come after.
void OfferMoveAndCloseOnly(GtkWidget* dialog) {
    if (GdkWindow* gdk = gtk_widget_get_window(dialog)) {
        gdk_window_set_functions(gdk, static_cast<GdkWMFunction>(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
        gdk_window_set_decorations(
            gdk, static_cast<GdkWMDecoration>(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
    }
}

} // namespace

INT_PTR RunTemplateDialog(GtkWindow* parent, const win::DialogTemplate& d) {
    GtkWidget* dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(dialog), d.caption.c_str());
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    if (parent)
        gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);

    std::string family = DialogFontFamily(d.fontFace);
    GtkCssProvider* css = gtk_css_provider_new();
    // The template fixes every item's size; the theme's minimum button height and
    // padding would make a push button taller than its template says.
    std::string rule = "* { font-family: " + family + "; font-size: " + std::to_string(d.fontPoints) +
                       "pt; } button { min-height: 0; min-width: 0; padding: 0 4px; }";
    gtk_css_provider_load_from_data(css, rule.c_str(), -1, nullptr);
    DialogUnits du = MeasureDialogUnits(dialog, family + " " + std::to_string(d.fontPoints));

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, du.X(d.cx), du.Y(d.cy));
    gtk_container_set_border_width(GTK_CONTAINER(dialog), 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), fixed, TRUE, TRUE, 0);
    GtkWidget* defaultButton = nullptr;
    for (const win::DialogItem& item : d.items) {
        GtkWidget* w = item.kind == win::DialogItemKind::Icon         ? IconItem(item)
                       : item.kind == win::DialogItemKind::PushButton ? ButtonItem(item, dialog)
                                                                      : TextItem(item);
        if (item.kind == win::DialogItemKind::PushButton && (item.style & BS_DEFPUSHBUTTON))
            defaultButton = w;
        gtk_widget_set_name(w, ("item-" + std::to_string(item.id) + "-" + std::to_string(item.y)).c_str());
        gtk_style_context_add_provider(gtk_widget_get_style_context(w), GTK_STYLE_PROVIDER(css),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        gtk_widget_set_size_request(w, du.X(item.cx), du.Y(item.cy));
        gtk_fixed_put(GTK_FIXED(fixed), w, du.X(item.x), du.Y(item.y));
    }
    g_object_unref(css);
    gtk_widget_show_all(dialog);
    OfferMoveAndCloseOnly(dialog);
    if (defaultButton) {
        gtk_widget_set_can_default(defaultButton, TRUE);
        gtk_widget_grab_default(defaultButton);
        gtk_widget_grab_focus(defaultButton);
    }
    int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    // Esc and the close box end the dialog as Cancel does.
    return response < 0 ? IDCANCEL : response;
}

std::optional<std::string> RunFileChooser(GtkWindow* parent, const win::FileChooserRequest& request) {
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(request.title.c_str(), parent, GTK_FILE_CHOOSER_ACTION_OPEN, "취소",
                                    GTK_RESPONSE_CANCEL, "열기", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    for (std::size_t i = 0; i < request.filters.size(); ++i) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, request.filters[i].name.c_str());
        for (const std::string& pattern : request.filters[i].patterns)
            // The platform's "*.*" matches every name, a dot or not.
            gtk_file_filter_add_pattern(filter, pattern == "*.*" ? "*" : pattern.c_str());
        gtk_file_chooser_add_filter(chooser, filter);
        if (i == request.filterIndex)
            gtk_file_chooser_set_filter(chooser, filter);
    }
    if (!request.initialFolder.empty())
        gtk_file_chooser_set_current_folder(chooser, request.initialFolder.c_str());
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        if (char* file = gtk_file_chooser_get_filename(chooser)) {
            chosen = file;
            g_free(file);
        }
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

int RunMessageBox(GtkWindow* parent, const std::string& text, const std::string& caption, UINT type) {
    GtkMessageType kind = GTK_MESSAGE_OTHER;
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        kind = GTK_MESSAGE_ERROR;
        break;
    case MB_ICONQUESTION:
        kind = GTK_MESSAGE_QUESTION;
        break;
    case MB_ICONEXCLAMATION:
        kind = GTK_MESSAGE_WARNING;
        break;
    case MB_ICONASTERISK:
        kind = GTK_MESSAGE_INFO;
        break;
    default:
        break;
    }
    GtkWidget* dialog =
        gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, kind, GTK_BUTTONS_NONE, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
    win::MessageBoxLayout layout = win::MessageBoxLayoutOf(type);
    for (const win::MessageBoxButton& b : layout.buttons)
        gtk_dialog_add_button(GTK_DIALOG(dialog), b.label, b.id);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), layout.defaultAnswer);
    int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    if (response < 0)
        response = layout.closeAnswer;
    return response;
}

} // namespace vireo::gtk
