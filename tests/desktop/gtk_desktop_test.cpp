// The whole program on the real GTK desktop, with the scripted engine in place of
// WebKit: the About box as GTK builds it from its template, and the rectangles a
// DPI-aware process sees. The checks look at the widgets the backend made.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "app/VireoWebBrowserApp.h"
#include "engine/sim/sim_engine.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/win/process.h"
#include "platform/win/windows.h"
#include "res/resource.h"
#include "tests/support/test_support.h"

// Last: its macros (None, Status) would break the headers above.
#include <X11/Xlib.h>

using namespace vireo::test;

namespace {

struct Item {
    std::string kind, text;
    int x = 0, y = 0, width = 0, height = 0;
};

struct SeenDialog {
    std::string caption;
    std::vector<Item> items;
    int width = 0, height = 0; // of the item area
    bool buttonIsDefault = false, buttonHasFocus = false, modal = false, onlyCloseBox = false;
    int response = 0;
};

GtkDialog* OpenDialog() {
    GtkDialog* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next)
        if (GTK_IS_DIALOG(l->data) && gtk_widget_get_mapped(GTK_WIDGET(l->data)))
            found = GTK_DIALOG(l->data);
    g_list_free(all);
    return found;
}

GtkWidget* ItemArea(GtkDialog* dialog) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(gtk_dialog_get_content_area(dialog)));
    GtkWidget* area = nullptr;
    for (GList* l = children; l; l = l->next)
        if (GTK_IS_FIXED(l->data))
            area = GTK_WIDGET(l->data);
    g_list_free(children);
    return area;
}

SeenDialog Look(GtkDialog* dialog) {
    SeenDialog seen;
    seen.caption = gtk_window_get_title(GTK_WINDOW(dialog));
    seen.modal = gtk_window_get_modal(GTK_WINDOW(dialog));
    GdkWMDecoration decorations{};
    if (gdk_window_get_decorations(gtk_widget_get_window(GTK_WIDGET(dialog)), &decorations))
        seen.onlyCloseBox = !(decorations & (GDK_DECOR_MINIMIZE | GDK_DECOR_MAXIMIZE | GDK_DECOR_ALL));
    GtkWidget* area = ItemArea(dialog);
    if (!area)
        return seen;
    GtkAllocation a;
    gtk_widget_get_allocation(area, &a);
    seen.width = a.width;
    seen.height = a.height;
    GList* children = gtk_container_get_children(GTK_CONTAINER(area));
    for (GList* l = children; l; l = l->next) {
        GtkWidget* w = GTK_WIDGET(l->data);
        Item item;
        gtk_container_child_get(GTK_CONTAINER(area), w, "x", &item.x, "y", &item.y, nullptr);
        gtk_widget_get_allocation(w, &a);
        item.width = a.width;
        item.height = a.height;
        if (GTK_IS_LABEL(w)) {
            item.kind = "label";
            item.text = gtk_label_get_text(GTK_LABEL(w));
        } else if (GTK_IS_BUTTON(w)) {
            item.kind = "button";
            item.text = gtk_button_get_label(GTK_BUTTON(w));
            seen.buttonIsDefault = gtk_window_get_default_widget(GTK_WINDOW(dialog)) == w;
            seen.buttonHasFocus = gtk_window_get_focus(GTK_WINDOW(dialog)) == w;
        } else if (GTK_IS_IMAGE(w)) {
            item.kind = "image";
            GdkPixbuf* pixbuf = gtk_image_get_pixbuf(GTK_IMAGE(w));
            item.text = pixbuf ? std::to_string(gdk_pixbuf_get_width(pixbuf)) : "none";
        }
        seen.items.push_back(item);
    }
    g_list_free(children);
    return seen;
}

// Runs the program on a book of one page; `whileShown` runs once the main frame is up,
// from the desktop's own event loop, and the frame is closed after it.
int RunProgram(std::function<void()> whileShown) {
    TempPrefix prefix;
    TempDir install;
    WriteFile(install / "ebook" / "index.html", "<title>Book</title>");
    vireo::win::SetModulePathForTesting(install / "Reader");
    vireo::gtk::InstallDesktop();
    vireo::engine::sim::SimEngine engine;
    auto* step = new std::function<void()>(std::move(whileShown));
    g_timeout_add(
        50,
        +[](gpointer data) -> gboolean {
            CWnd* main = AfxGetMainWnd();
            if (!main || !IsWindowVisible(main->m_hWnd))
                return G_SOURCE_CONTINUE;
            auto* step = static_cast<std::function<void()>*>(data);
            (*step)();
            delete step;
            main->PostMessage(WM_CLOSE);
            return G_SOURCE_REMOVE;
        },
        step);
    CVireoWebBrowserApp app;
    char name[] = "VireoPlayer";
    char* argv[] = {name, nullptr};
    return AfxWinMain(1, argv, SW_SHOWNORMAL);
}

// Opens the About box through the command routing; `close` ends it once it is looked at.
SeenDialog OpenAboutBox(std::function<void(GtkDialog*)> close) {
    struct Visit {
        SeenDialog seen;
        std::function<void(GtkDialog*)> close;
    } visit{{}, std::move(close)};
    g_timeout_add(
        50,
        +[](gpointer data) -> gboolean {
            GtkDialog* dialog = OpenDialog();
            if (!dialog)
                return G_SOURCE_CONTINUE;
            auto* visit = static_cast<Visit*>(data);
            // Let the window manager map it and GTK lay it out before looking.
            while (gtk_events_pending())
                gtk_main_iteration();
            visit->seen = Look(dialog);
            g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog*, int response, gpointer seen) {
                                 static_cast<SeenDialog*>(seen)->response = response;
                             }),
                             &visit->seen);
            visit->close(dialog);
            return G_SOURCE_REMOVE;
        },
        &visit);
    AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_APP_ABOUT);
    g_source_remove_by_user_data(&visit);
    return visit.seen;
}

void Screenshot(const std::string& name) {
    std::string command =
        "import -window root '" + std::string(VIREO_BUILD_DIR) + "/" + name + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

class GtkDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display; the test command starts one";
    }
};

TEST_F(GtkDesktop, TheAboutBoxIsBuiltFromItsTemplate) {
    SeenDialog byButton, byEsc;
    EXPECT_EQ(RunProgram([&] {
                  byButton = OpenAboutBox([](GtkDialog* dialog) {
                      Screenshot("about-box.png");
                      GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, IDOK);
                      if (!button) {
                          // The backend's own buttons answer with their item's identifier.
                          GtkWidget* area = ItemArea(dialog);
                          GList* children = gtk_container_get_children(GTK_CONTAINER(area));
                          for (GList* l = children; l; l = l->next)
                              if (GTK_IS_BUTTON(l->data))
                                  button = GTK_WIDGET(l->data);
                          g_list_free(children);
                      }
                      gtk_button_clicked(GTK_BUTTON(button));
                  });
                  byEsc = OpenAboutBox([](GtkDialog* dialog) {
                      gtk_window_present(GTK_WINDOW(dialog));
                      while (gtk_events_pending())
                          gtk_main_iteration();
                      EXPECT_EQ(std::system("xdotool key Escape"), 0);
                  });
              }),
              0);

    EXPECT_EQ(byButton.caption, "VireoWebBrowser 정보");
    EXPECT_TRUE(byButton.modal);
    EXPECT_TRUE(byButton.onlyCloseBox) << "no minimize or maximize box, as the template's styles say";
    ASSERT_EQ(byButton.items.size(), 4u);
    auto find = [&](const std::string& kind, const std::string& text) {
        for (const Item& item : byButton.items)
            if (item.kind == kind && (text.empty() || item.text == text))
                return item;
        ADD_FAILURE() << "no " << kind << " " << text;
        return Item{};
    };
    Item icon = find("image", ""), title = find("label", "VireoWebBrowser, 버전 1.0"),
         version = find("label", "파일 버전 1.8.8.0"), button = find("button", "");
    EXPECT_EQ(button.text, "확인");
    EXPECT_TRUE(byButton.buttonIsDefault);
    EXPECT_TRUE(byButton.buttonHasFocus);
    EXPECT_EQ(icon.kind, "image");
    EXPECT_EQ(icon.text, "32") << "icon 128 in its 32-pixel image";

    // Dialog units are a quarter of the font's average character width and an eighth
    // of its height: every item keeps the template's proportions to the 170 x 62 dialog.
    double unitX = byButton.width / 170.0, unitY = byButton.height / 62.0;
    EXPECT_GT(unitX, 1.0);
    EXPECT_LT(unitX, 3.0);
    EXPECT_GT(unitY, 1.0);
    EXPECT_LT(unitY, 3.5);
    struct Expected {
        const Item* item;
        int x, y, cx, cy;
    } table[] = {
        {&icon, 14, 14, 21, 20},
        {&title, 42, 14, 114, 8},
        {&version, 42, 26, 114, 8},
        {&button, 113, 41, 50, 14},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.item->text);
        EXPECT_NEAR(e.item->x, e.x * unitX, 1.0);
        EXPECT_NEAR(e.item->y, e.y * unitY, 1.0);
        EXPECT_NEAR(e.item->width, e.cx * unitX, 1.0);
        EXPECT_NEAR(e.item->height, e.cy * unitY, 1.0);
    }

    EXPECT_EQ(byButton.response, IDOK);
    EXPECT_EQ(byEsc.caption, "VireoWebBrowser 정보");
    EXPECT_EQ(byEsc.response, GTK_RESPONSE_DELETE_EVENT) << "Esc closes it as the close box does";
}

TEST_F(GtkDesktop, FileOpenChoosesTheDocumentInTheDesktopsChooser) {
    TempDir folder;
    WriteFile(folder / "메모.txt", "never read");
    std::string title, documentTitle;
    EXPECT_EQ(RunProgram([&] {
                  struct Visit {
                      std::string* title;
                      std::string file;
                  } visit{&title, (folder / "메모.txt").string()};
                  g_timeout_add(
                      50,
                      +[](gpointer data) -> gboolean {
                          GtkDialog* dialog = OpenDialog();
                          if (!dialog || !GTK_IS_FILE_CHOOSER(dialog))
                              return G_SOURCE_CONTINUE;
                          auto* visit = static_cast<Visit*>(data);
                          *visit->title = gtk_window_get_title(GTK_WINDOW(dialog));
                          gtk_file_chooser_select_filename(GTK_FILE_CHOOSER(dialog), visit->file.c_str());
                          while (gtk_events_pending())
                              gtk_main_iteration();
                          Screenshot("file-open.png");
                          gtk_dialog_response(dialog, GTK_RESPONSE_ACCEPT);
                          return G_SOURCE_REMOVE;
                      },
                      &visit);
                  AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
                  g_source_remove_by_user_data(&visit);
                  auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
                  if (frame && frame->GetActiveDocument())
                      documentTitle = frame->GetActiveDocument()->GetTitle().GetString();
              }),
              0);
    EXPECT_EQ(title, "열기");
    EXPECT_EQ(Utf8(documentTitle), "메모.txt");
}

// The scale factor comes from GDK_SCALE, which ctest sets for one run of this test.
TEST_F(GtkDesktop, ADpiAwareProcessSeesDevicePixels) {
    ASSERT_TRUE(IsProcessDPIAware()) << "the manifest declares it";
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    int width = DisplayWidth(display, DefaultScreen(display));
    int height = DisplayHeight(display, DefaultScreen(display));
    XCloseDisplay(display);
    RECT desktop{}, frame{};
    EXPECT_EQ(RunProgram([&] {
                  // The window manager maximizes the frame a moment after it is mapped.
                  GtkWindow* window = vireo::gtk::ToplevelOf(AfxGetMainWnd()->m_hWnd);
                  for (int i = 0; i < 500 && !gtk_window_is_maximized(window); ++i) {
                      while (gtk_events_pending())
                          gtk_main_iteration();
                      g_usleep(10000);
                  }
                  GetWindowRect(GetDesktopWindow(), &desktop);
                  GetWindowRect(AfxGetMainWnd()->m_hWnd, &frame);
              }),
              0);
    EXPECT_EQ(desktop.left, 0);
    EXPECT_EQ(desktop.top, 0);
    EXPECT_EQ(desktop.right, width);
    EXPECT_EQ(desktop.bottom, height);
    EXPECT_GT(frame.right - frame.left, width / 2) << "the maximized frame, in the same pixels";
    EXPECT_LE(frame.right - frame.left, width);
}

} // namespace
