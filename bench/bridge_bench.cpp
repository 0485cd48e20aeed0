// The bridge's figures, from inside the real program: the shell's application object
// on the GTK desktop with the WebKit engine, showing bench/pages/bridge. It prints
//   bridge_isNative_roundtrip_us   page script calling window.external.isNative()
//   bridge_host_to_page_us         the view calling a page function (median of 10,000)
//   bridge_esc_to_exit_us          an Esc key-down in full-screen mode until the page's
//                                  _exitFullscreen has run (median of 200)
// usage: vireo_bridge_bench PAGE_FOLDER   (run from the build folder, beside lib/vireo)
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/VireoWebBrowserApp.h"
#include "engine/contract.h"
#include "host/MainFrame.h"
#include "host/VireoWebBrowserView.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/win/paths.h"
#include "platform/win/windows.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string Caption() {
    char text[512] = {};
    GetWindowTextA(AfxGetMainWnd()->m_hWnd, text, sizeof text);
    return text;
}

// Runs the main loop for a while, blocking in it as the program's own loop does, so the
// web process's requests are served at once.
void Pump(int milliseconds) {
    auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
    guint tick = g_timeout_add(
        10, +[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    while (Clock::now() < until)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(tick);
}

bool WaitForCaption(const std::string& text, int seconds) {
    auto until = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < until) {
        if (Caption().find(text) != std::string::npos)
            return true;
        Pump(10);
    }
    return false;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}

void PressEscape(GtkWidget* toplevel, guint32 time) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(toplevel)));
    event->key.time = time;
    event->key.keyval = GDK_KEY_Escape;
    event->key.hardware_keycode = 9;
    gdk_event_set_device(event,
                         gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_widget_event(toplevel, event);
    gdk_event_free(event);
}

void Measure() {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    auto* view = frame ? dynamic_cast<CVireoWebBrowserView*>(frame->GetActiveView()) : nullptr;
    if (!view || !WaitForCaption("roundtrip_us=", 60)) {
        std::fprintf(stderr, "the bench page did not report\n");
        return;
    }
    std::string caption = Caption();
    std::string page = caption.substr(caption.find("roundtrip_us=") + 13);
    page = page.substr(0, page.find_first_not_of("0123456789."));
    std::printf("bridge_isNative_roundtrip_us: %s\n", page.c_str());

    std::vector<double> calls;
    for (int i = 0; i < 10000; ++i) {
        auto t0 = Clock::now();
        view->CallScriptFunction("noop", "x");
        calls.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::printf("bridge_host_to_page_us: %.1f\n", Median(calls));

    GtkWidget* toplevel = GTK_WIDGET(vireo::gtk::ToplevelOf(frame->m_hWnd));
    std::vector<double> escapes;
    const int kEscapes = 200;
    for (int i = 0; i < kEscapes; ++i) {
        frame->EnterFullScreen();
        Pump(5);
        auto t0 = Clock::now();
        PressEscape(toplevel, static_cast<guint32>(1000 + 2 * i));
        escapes.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        if (frame->IsFullScreen()) {
            std::fprintf(stderr, "Esc did not leave full-screen mode\n");
            return;
        }
    }
    view->CallScriptFunction("report", "");
    std::string expected = "exits=" + std::to_string(kEscapes) + " sawFull=false";
    if (!WaitForCaption(expected, 10)) {
        std::fprintf(stderr, "the page saw %s, not %s\n", Caption().c_str(), expected.c_str());
        return;
    }
    std::printf("bridge_esc_to_exit_us: %.1f\n", Median(escapes));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PAGE_FOLDER\n", argv[0]);
        return 2;
    }
    // The program as if installed beside the page, with the engine's extension.
    fs::path install = fs::temp_directory_path() / ("vireo-bench-" + std::to_string(getpid()));
    fs::path exe = fs::canonical("/proc/self/exe");
    fs::create_directories(install / "lib");
    fs::create_directory_symlink(exe.parent_path() / "lib" / "vireo", install / "lib" / "vireo");
    fs::create_directory_symlink(fs::absolute(argv[1]), install / "ebook");
    vireo::win::SetModulePathForTesting(install / "VireoPlayer");

    vireo::gtk::InstallDesktop();
    vireo::engine::InstallDefaultEngine();
    g_timeout_add(
        100,
        +[](gpointer) -> gboolean {
            if (!AfxGetMainWnd() || !IsWindowVisible(AfxGetMainWnd()->m_hWnd))
                return G_SOURCE_CONTINUE;
            Measure();
            AfxGetMainWnd()->PostMessage(WM_CLOSE);
            return G_SOURCE_REMOVE;
        },
        nullptr);
    CVireoWebBrowserApp app;
    char name[] = "VireoPlayer";
    char* args[] = {name, nullptr};
    int code = AfxWinMain(1, args, SW_SHOWNORMAL);
    fs::remove_all(install);
    return code;
}
