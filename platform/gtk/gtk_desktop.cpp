#include "platform/gtk/gtk_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "platform/gtk/gtk_dialogs.h"
#include "platform/gtk/keys.h"
#include "platform/win/commdlg.h"
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
    // The client rectangle the system last placed the window at, in logical pixels, until
    // the window manager has given the window that size. A window that leaves the
    // maximized state, or loses its decorations, at the same time may get the rectangle
    // the window manager restores instead; the placement is then asked for again, a few
    // times at most, so that a window manager that keeps its own size is not fought.
    struct Placement {
        GdkRectangle rect;
        int retries;
    };
    std::optional<Placement> placing;
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
            g_signal_connect(w.widget, "window-state-event", G_CALLBACK(OnStateChanged), hwnd);
            g_signal_connect(w.widget, "configure-event", G_CALLBACK(OnConfigured), hwnd);
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
            w->placing.reset();
            gtk_window_maximize(window);
            return;
        }
        int left = 0, right = 0, top = 0, bottom = 0;
        if (gtk_window_get_decorated(window))
            FrameExtents(w->widget, left, right, top, bottom);
        int scale = Scale();
        GdkRectangle place{static_cast<int>(rect->left) / scale, static_cast<int>(rect->top) / scale,
                           std::max(1, static_cast<int>(rect->right - rect->left) / scale - left - right),
                           std::max(1, static_cast<int>(rect->bottom - rect->top) / scale - top - bottom)};
        w->placing = NativeWindow::Placement{place, 3};
        // A maximized window cannot be placed: it leaves that state first.
        if (gtk_window_is_maximized(window))
            gtk_window_unmaximize(window);
        gtk_window_move(window, place.x, place.y);
        gtk_window_resize(window, place.width, place.height);
    }

    // Asks for the placement again. GTK sends no request for the size it last asked for,
    // so this goes to the window itself.
    static void PlaceAgain(GtkWidget* widget, NativeWindow& w) {
        GdkWindow* gdk = gtk_widget_get_window(widget);
        if (!gdk || !w.placing || w.placing->retries <= 0) {
            w.placing.reset();
            return;
        }
        --w.placing->retries;
        const GdkRectangle& r = w.placing->rect;
        gdk_window_move_resize(gdk, r.x, r.y, r.width, r.height);
    }

    static gboolean OnStateChanged(GtkWidget* widget, GdkEventWindowState* event, gpointer hwnd) {
        NativeWindow* w = Instance().Find(static_cast<HWND>(hwnd));
        if (w && w->placing && (event->changed_mask & GDK_WINDOW_STATE_MAXIMIZED) &&
            !(event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED))
            PlaceAgain(widget, *w);
        return FALSE;
    }

    static gboolean OnConfigured(GtkWidget* widget, GdkEventConfigure* event, gpointer hwnd) {
        NativeWindow* w = Instance().Find(static_cast<HWND>(hwnd));
        if (!w || !w->placing || gtk_window_is_maximized(GTK_WINDOW(widget)))
            return FALSE;
        if (event->width == w->placing->rect.width && event->height == w->placing->rect.height)
            w->placing.reset();
        else
            PlaceAgain(widget, *w);
        return FALSE;
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

    bool ModifierDown(int virtualKey) override {
        GdkModifierType state{};
        return gtk_get_current_event_state(&state) && ModifierIn(state, virtualKey);
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

    INT_PTR RunModalDialog(HWND owner, const win::DialogTemplate& dialog) override {
        EnsureGtk();
        return RunTemplateDialog(owner ? ToplevelOf(owner) : nullptr, dialog);
    }

    std::optional<std::string> ChooseFileToOpen(HWND owner, const win::FileChooserRequest& request) override {
        EnsureGtk();
        return RunFileChooser(owner ? ToplevelOf(owner) : nullptr, request);
    }

    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        EnsureGtk();
        return RunMessageBox(owner ? ToplevelOf(owner) : nullptr, text, caption, type);
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
        msg.wParam = VirtualKeyOf(event->keyval);
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
