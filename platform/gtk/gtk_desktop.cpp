#include "platform/gtk/gtk_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/win/commdlg.h"
#include "platform/win/dialog.h"
#include "platform/win/msgbox.h"
#include "platform/win/process.h"
#include "platform/win/resources.h"
#include "platform/win/window.h"

namespace vireo::gtk {
namespace {

struct NativeWindow {
    GtkWidget* widget = nullptr;    // the toplevel GtkWindow, or the child's event box
    GtkWidget* container = nullptr; // where children go
    bool toplevel = false;
    std::vector<unsigned long> icons; // _NET_WM_ICON data: width, height, ARGB pixels, for each size
};

class GtkDesktop;
GtkDesktop& Instance();

class GtkDesktop final : public win::Desktop {
public:
    void CreateNativeWindow(HWND hwnd, HWND parent, DWORD style, DWORD) override {
        EnsureGtk();
        NativeWindow w;
        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        if (style & WS_CHILD) {
            w.widget = gtk_event_box_new();
            gtk_container_add(GTK_CONTAINER(w.widget), box);
            gtk_widget_show(box);
            if (auto it = m_windows.find(parent); it != m_windows.end())
                gtk_box_pack_start(GTK_BOX(it->second.container), w.widget, TRUE, TRUE, 0);
        } else {
            w.toplevel = true;
            w.widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
            gtk_window_set_default_size(GTK_WINDOW(w.widget), 1024, 768);
            gtk_container_add(GTK_CONTAINER(w.widget), box);
            gtk_widget_show(box);
            g_signal_connect(w.widget, "delete-event", G_CALLBACK(OnDeleteEvent), hwnd);
            g_signal_connect(w.widget, "key-press-event", G_CALLBACK(OnKey), hwnd);
            g_signal_connect(w.widget, "key-release-event", G_CALLBACK(OnKey), hwnd);
            g_signal_connect_after(w.widget, "realize", G_CALLBACK(OnRealized), hwnd);
        }
        w.container = box;
        m_windows[hwnd] = w;
    }

    void DestroyNativeWindow(HWND hwnd) override {
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end())
            return;
        GtkWidget* widget = it->second.widget;
        m_windows.erase(it);
        gtk_widget_destroy(widget);
    }

    void ShowNativeWindow(HWND hwnd, bool visible, bool maximized) override {
        NativeWindow* w = Find(hwnd);
        if (!w)
            return;
        if (!visible) {
            gtk_widget_hide(w->widget);
            return;
        }
        if (w->toplevel) {
            if (maximized)
                gtk_window_maximize(GTK_WINDOW(w->widget));
            else
                gtk_window_unmaximize(GTK_WINDOW(w->widget));
        }
        gtk_widget_show(w->widget);
    }

    void SetNativeText(HWND hwnd, const std::string& utf8) override {
        if (NativeWindow* w = Find(hwnd); w && w->toplevel)
            gtk_window_set_title(GTK_WINDOW(w->widget), utf8.c_str());
    }

    void SetNativeIcon(HWND hwnd, HICON icon) override {
        NativeWindow* w = Find(hwnd);
        if (!w || !w->toplevel)
            return;
        GList* list = nullptr;
        if (const auto* images = win::IconImages(icon)) {
            for (const win::IconImage& image : *images) {
                GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
                if (gdk_pixbuf_loader_write(loader, image.png, image.length, nullptr) &&
                    gdk_pixbuf_loader_close(loader, nullptr)) {
                    if (GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader))
                        list = g_list_append(list, g_object_ref(pixbuf));
                } else {
                    gdk_pixbuf_loader_close(loader, nullptr);
                }
                g_object_unref(loader);
            }
        }
        // GTK would hand the window manager only the one image it likes best; the
        // window offers every size it has, as the platform's windows do.
        w->icons.clear();
        for (GList* l = list; l; l = l->next)
            AppendIcon(w->icons, GDK_PIXBUF(l->data));
        g_list_free_full(list, g_object_unref);
        if (gtk_widget_get_realized(w->widget))
            PublishIcons(w->widget, w);
    }

    static void AppendIcon(std::vector<unsigned long>& out, GdkPixbuf* pixbuf) {
        int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
        int stride = gdk_pixbuf_get_rowstride(pixbuf), channels = gdk_pixbuf_get_n_channels(pixbuf);
        const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
        out.push_back(static_cast<unsigned long>(width));
        out.push_back(static_cast<unsigned long>(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const guchar* p = pixels + y * stride + x * channels;
                unsigned long a = channels == 4 ? p[3] : 0xFF;
                out.push_back((a << 24) | (static_cast<unsigned long>(p[0]) << 16) |
                              (static_cast<unsigned long>(p[1]) << 8) | p[2]);
            }
        }
    }

    static void PublishIcons(GtkWidget* widget, NativeWindow* w) {
        GdkWindow* gdk = gtk_widget_get_window(widget);
        if (!gdk || w->icons.empty() || !GDK_IS_X11_WINDOW(gdk))
            return;
        Display* display = GDK_DISPLAY_XDISPLAY(gdk_window_get_display(gdk));
        Atom atom = XInternAtom(display, "_NET_WM_ICON", False);
        XChangeProperty(display, GDK_WINDOW_XID(gdk), atom, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(w->icons.data()),
                        static_cast<int>(w->icons.size()));
    }

    static void OnRealized(GtkWidget* widget, gpointer hwnd) {
        if (NativeWindow* w = Instance().Find(static_cast<HWND>(hwnd)))
            PublishIcons(widget, w);
    }

    void SetNativeFrame(HWND hwnd, bool caption, bool) override {
        // The sizing border comes and goes with the decorations; the window stays
        // resizable so the layer can still place it.
        if (NativeWindow* w = Find(hwnd); w && w->toplevel)
            gtk_window_set_decorated(GTK_WINDOW(w->widget), caption);
    }

    void SetNativePosition(HWND hwnd, const RECT* rect, int topmost, bool maximized) override {
        NativeWindow* w = Find(hwnd);
        if (!w || !w->toplevel)
            return;
        GtkWindow* window = GTK_WINDOW(w->widget);
        if (topmost)
            gtk_window_set_keep_above(window, topmost > 0);
        if (!rect)
            return;
        if (maximized) {
            gtk_window_maximize(window);
            return;
        }
        // A maximized window cannot be placed: it leaves that state first.
        if (gtk_window_is_maximized(window))
            gtk_window_unmaximize(window);
        int left = 0, right = 0, top = 0, bottom = 0;
        if (gtk_window_get_decorated(window))
            FrameExtents(w->widget, left, right, top, bottom);
        int scale = Scale();
        gtk_window_move(window, rect->left / scale, rect->top / scale);
        gtk_window_resize(window,
                          std::max(1, static_cast<int>(rect->right - rect->left) / scale - left - right),
                          std::max(1, static_cast<int>(rect->bottom - rect->top) / scale - top - bottom));
    }

    // How far the window manager's frame reaches beyond the client area.
    static void FrameExtents(GtkWidget* widget, int& left, int& right, int& top, int& bottom) {
        GdkWindow* gdk = gtk_widget_get_window(widget);
        if (!gdk)
            return;
        GdkRectangle frame;
        gdk_window_get_frame_extents(gdk, &frame);
        int x = 0, y = 0;
        gdk_window_get_origin(gdk, &x, &y);
        int width = gdk_window_get_width(gdk), height = gdk_window_get_height(gdk);
        left = x - frame.x;
        top = y - frame.y;
        right = frame.x + frame.width - (x + width);
        bottom = frame.y + frame.height - (y + height);
    }

    bool NativeWindowRect(HWND hwnd, RECT& rect) override {
        NativeWindow* w = Find(hwnd);
        if (!w)
            return false;
        GtkWidget* top = gtk_widget_get_toplevel(w->widget);
        GdkWindow* gdk = gtk_widget_get_window(w->toplevel ? w->widget : top);
        if (!gdk)
            return false;
        GdkRectangle r;
        if (w->toplevel) {
            gdk_window_get_frame_extents(gdk, &r);
        } else {
            GtkAllocation a;
            gtk_widget_get_allocation(w->widget, &a);
            int ox = 0, oy = 0;
            gdk_window_get_origin(gdk, &ox, &oy);
            r = GdkRectangle{ox + a.x, oy + a.y, a.width, a.height};
        }
        rect = ToDevice(r);
        return true;
    }

    // GTK works in logical pixels, which the desktop's scale factor maps to device
    // pixels. A DPI-aware process sees device pixels, as the platform shows it the
    // monitor; for any other the scale stays the desktop's business.
    static int Scale() {
        if (!IsProcessDPIAware())
            return 1;
        GdkDisplay* display = gdk_display_get_default();
        GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
        if (!monitor && display)
            monitor = gdk_display_get_monitor(display, 0);
        return monitor ? std::max(1, gdk_monitor_get_scale_factor(monitor)) : 1;
    }

    static RECT ToDevice(const GdkRectangle& r) {
        int scale = Scale();
        return RECT{r.x * scale, r.y * scale, (r.x + r.width) * scale, (r.y + r.height) * scale};
    }

    bool NativeIsMaximized(HWND hwnd) override {
        NativeWindow* w = Find(hwnd);
        return w && w->toplevel && gtk_window_is_maximized(GTK_WINDOW(w->widget));
    }

    RECT PrimaryMonitor() override {
        EnsureGtk();
        GdkDisplay* display = gdk_display_get_default();
        GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
        if (!monitor)
            monitor = gdk_display_get_monitor(display, 0);
        GdkRectangle r{0, 0, 1024, 768};
        if (monitor)
            gdk_monitor_get_geometry(monitor, &r);
        return ToDevice(r);
    }

    void SetNativeFocus(HWND hwnd) override {
        NativeWindow* w = Find(hwnd);
        if (!w)
            return;
        // The focus goes to what the window shows: for a view, the engine's widget in it.
        GList* children = gtk_container_get_children(GTK_CONTAINER(w->container));
        GtkWidget* target = children ? GTK_WIDGET(children->data) : w->widget;
        g_list_free(children);
        gtk_widget_grab_focus(target);
    }

    void WaitForEvents() override {
        EnsureGtk();
        g_main_context_iteration(nullptr, TRUE);
    }

    void WakeUp() override {
        if (m_initialised)
            g_main_context_wakeup(nullptr);
    }

    // The dialog's own font where it is installed, else a face with Korean glyphs.
    static std::string DialogFontFamily(const std::string& face) {
        return face == "MS Shell Dlg" || face.empty() ? "NanumGothic, Noto Sans CJK KR, sans-serif" : face;
    }

    INT_PTR RunModalDialog(HWND owner, const win::DialogTemplate& d) override {
        EnsureGtk();
        GtkWidget* dialog = gtk_dialog_new();
        gtk_window_set_title(GTK_WINDOW(dialog), d.caption.c_str());
        gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
        gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
        if (GtkWindow* parent = owner ? ToplevelOf(owner) : nullptr)
            gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);

        std::string family = DialogFontFamily(d.fontFace);
        GtkCssProvider* css = gtk_css_provider_new();
        // The template fixes every item's size; the theme's minimum button height and
        // padding would make a push button taller than its template says.
        std::string rule = "* { font-family: " + family + "; font-size: " + std::to_string(d.fontPoints) +
                           "pt; } button { min-height: 0; min-width: 0; padding: 0 4px; }";
        gtk_css_provider_load_from_data(css, rule.c_str(), -1, nullptr);

        // Dialog units: a quarter of the font's average character width, an eighth of its height.
        PangoContext* pango = gtk_widget_get_pango_context(dialog);
        PangoFontDescription* font =
            pango_font_description_from_string((family + " " + std::to_string(d.fontPoints)).c_str());
        PangoLayout* layout = pango_layout_new(pango);
        pango_layout_set_font_description(layout, font);
        pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
        int width = 0, height = 0;
        pango_layout_get_pixel_size(layout, &width, &height);
        g_object_unref(layout);
        pango_font_description_free(font);
        int baseX = (width / 26 + 1) / 2, baseY = height;
        auto px = [&](int units) { return (units * baseX + 2) / 4; };
        auto py = [&](int units) { return (units * baseY + 4) / 8; };

        GtkWidget* fixed = gtk_fixed_new();
        gtk_widget_set_size_request(fixed, px(d.cx), py(d.cy));
        GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
        gtk_container_set_border_width(GTK_CONTAINER(dialog), 0);
        gtk_box_pack_start(GTK_BOX(content), fixed, TRUE, TRUE, 0);
        GtkWidget* defaultButton = nullptr;
        for (const win::DialogItem& item : d.items) {
            GtkWidget* w = nullptr;
            if (item.kind == win::DialogItemKind::Icon) {
                const auto* images =
                    win::IconImages(LoadIconA(win::ModuleInstance(), MAKEINTRESOURCEA(std::stoi(item.text))));
                GdkPixbuf* pixbuf = nullptr;
                if (images)
                    for (const win::IconImage& image : *images)
                        if (image.size == 32) {
                            GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
                            gdk_pixbuf_loader_write(loader, image.png, image.length, nullptr);
                            gdk_pixbuf_loader_close(loader, nullptr);
                            pixbuf = GDK_PIXBUF(g_object_ref(gdk_pixbuf_loader_get_pixbuf(loader)));
                            g_object_unref(loader);
                        }
                w = pixbuf ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new();
                if (pixbuf)
                    g_object_unref(pixbuf);
                gtk_widget_set_halign(w, GTK_ALIGN_START);
                gtk_widget_set_valign(w, GTK_ALIGN_START);
            } else if (item.kind == win::DialogItemKind::PushButton) {
                w = gtk_button_new_with_label(item.text.c_str());
                g_object_set_data(G_OBJECT(w), "vireo-id", GINT_TO_POINTER(item.id));
                g_signal_connect(w, "clicked", G_CALLBACK(+[](GtkButton* b, gpointer dlg) {
                                     gtk_dialog_response(GTK_DIALOG(dlg), GPOINTER_TO_INT(g_object_get_data(
                                                                              G_OBJECT(b), "vireo-id")));
                                 }),
                                 dialog);
                if (item.style & BS_DEFPUSHBUTTON)
                    defaultButton = w;
            } else {
                w = gtk_label_new(item.text.c_str());
                gtk_label_set_xalign(GTK_LABEL(w), 0);
                gtk_label_set_yalign(GTK_LABEL(w), 0);
            }
            gtk_widget_set_name(w,
                                ("item-" + std::to_string(item.id) + "-" + std::to_string(item.y)).c_str());
            gtk_style_context_add_provider(gtk_widget_get_style_context(w), GTK_STYLE_PROVIDER(css),
                                           GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
            gtk_widget_set_size_request(w, px(item.cx), py(item.cy));
            gtk_fixed_put(GTK_FIXED(fixed), w, px(item.x), py(item.y));
        }
        g_object_unref(css);
        gtk_widget_show_all(dialog);
        // A caption and a system menu without minimize or maximize boxes: the window
        // manager offers moving and closing only. GTK writes its own hints as it maps
        // the window, so these come after.
        if (GdkWindow* gdk = gtk_widget_get_window(dialog)) {
            gdk_window_set_functions(gdk, static_cast<GdkWMFunction>(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
            gdk_window_set_decorations(
                gdk, static_cast<GdkWMDecoration>(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
        }
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

    std::optional<std::string> ChooseFileToOpen(HWND owner, const win::FileChooserRequest& request) override {
        EnsureGtk();
        GtkWindow* parent = owner ? ToplevelOf(owner) : nullptr;
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

    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        EnsureGtk();
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
        GtkWindow* parent = owner ? ToplevelOf(owner) : nullptr;
        GtkWidget* dialog =
            gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, kind, GTK_BUTTONS_NONE, "%s", text.c_str());
        gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
        struct Button {
            int id;
            const char* label;
        };
        std::vector<Button> buttons;
        switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            buttons = {{IDOK, "확인"}, {IDCANCEL, "취소"}};
            break;
        case MB_ABORTRETRYIGNORE:
            buttons = {{IDABORT, "중단(_A)"}, {IDRETRY, "다시 시도(_R)"}, {IDIGNORE, "무시(_I)"}};
            break;
        case MB_YESNOCANCEL:
            buttons = {{IDYES, "예(_Y)"}, {IDNO, "아니요(_N)"}, {IDCANCEL, "취소"}};
            break;
        case MB_YESNO:
            buttons = {{IDYES, "예(_Y)"}, {IDNO, "아니요(_N)"}};
            break;
        case MB_RETRYCANCEL:
            buttons = {{IDRETRY, "다시 시도(_R)"}, {IDCANCEL, "취소"}};
            break;
        case MB_CANCELTRYCONTINUE:
            buttons = {{IDCANCEL, "취소"}, {IDTRYAGAIN, "다시 시도(_T)"}, {IDCONTINUE, "계속(_C)"}};
            break;
        default:
            buttons = {{IDOK, "확인"}};
            break;
        }
        for (const Button& b : buttons)
            gtk_dialog_add_button(GTK_DIALOG(dialog), b.label, b.id);
        std::size_t def = (type & MB_DEFMASK) >> 8;
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), buttons[def < buttons.size() ? def : 0].id);
        int response = gtk_dialog_run(GTK_DIALOG(dialog));
        gtk_widget_destroy(dialog);
        // Closing the box without a button answers as Cancel would, or OK when that is the only button.
        if (response < 0) {
            bool hasCancel = false;
            for (const Button& b : buttons)
                hasCancel = hasCancel || b.id == IDCANCEL;
            response = hasCancel ? IDCANCEL : buttons.size() == 1 ? buttons[0].id : IDCANCEL;
        }
        return response;
    }

    NativeWindow* Find(HWND hwnd) {
        auto it = m_windows.find(hwnd);
        return it == m_windows.end() ? nullptr : &it->second;
    }

private:
    void EnsureGtk() {
        if (m_initialised)
            return;
        if (!gtk_init_check(nullptr, nullptr)) {
            std::fprintf(stderr, "VireoPlayer: cannot open the display (is DISPLAY set?)\n");
            std::exit(1);
        }
        m_initialised = true;
    }

    // The platform's virtual-key code of a key, or 0 for keys the system never looks at.
    static WPARAM VirtualKey(guint keyval) {
        guint upper = gdk_keyval_to_upper(keyval);
        if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9'))
            return upper;
        if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
            return 0x70 + (keyval - GDK_KEY_F1);
        switch (keyval) {
        case GDK_KEY_Escape:
            return VK_ESCAPE;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
            return 0x0D;
        case GDK_KEY_Tab:
            return 0x09;
        case GDK_KEY_BackSpace:
            return 0x08;
        case GDK_KEY_space:
            return 0x20;
        case GDK_KEY_Left:
            return 0x25;
        case GDK_KEY_Up:
            return 0x26;
        case GDK_KEY_Right:
            return 0x27;
        case GDK_KEY_Down:
            return 0x28;
        default:
            return 0;
        }
    }

    // Keys take the platform's path: a key message for the focused window, offered to the
    // pre-translation before the engine sees the key. The engine hands back keys the page
    // did not take; such a copy of an event already offered goes on untouched.
    static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer toplevel) {
        static guint32 lastTime = 0;
        static guint16 lastCode = 0;
        static GdkEventType lastType = GDK_NOTHING;
        if (event->time == lastTime && event->hardware_keycode == lastCode && event->type == lastType)
            return FALSE;
        lastTime = event->time;
        lastCode = event->hardware_keycode;
        lastType = event->type;
        bool press = event->type == GDK_KEY_PRESS;
        bool alt = (event->state & GDK_MOD1_MASK) != 0;
        MSG msg{};
        HWND focus = GetFocus();
        msg.hwnd = focus ? focus : static_cast<HWND>(toplevel);
        msg.message = press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
        msg.wParam = VirtualKey(event->keyval);
        msg.lParam = static_cast<LPARAM>(1 | (static_cast<LPARAM>(event->hardware_keycode & 0xFF) << 16) |
                                         (press ? 0 : (3L << 30)));
        msg.time = event->time;
        return vireo::win::PreTranslateInput(&msg) ? TRUE : FALSE;
    }

    static gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer hwnd) {
        // The close box asks the window to close; the framework decides.
        SendMessageA(static_cast<HWND>(hwnd), WM_CLOSE, 0, 0);
        return TRUE;
    }

    std::map<HWND, NativeWindow> m_windows;
    bool m_initialised = false;
};

GtkDesktop& Instance() {
    static GtkDesktop desktop;
    return desktop;
}

} // namespace

win::Desktop& InstallDesktop() {
    win::InstallDesktop(&Instance());
    return Instance();
}

GtkWidget* ContainerOf(HWND hwnd) {
    NativeWindow* w = Instance().Find(hwnd);
    return w ? w->container : nullptr;
}

GtkWindow* ToplevelOf(HWND hwnd) {
    NativeWindow* w = Instance().Find(hwnd);
    if (!w)
        return nullptr;
    GtkWidget* top = gtk_widget_get_toplevel(w->widget);
    return GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
}

} // namespace vireo::gtk
