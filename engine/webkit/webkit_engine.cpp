// The shipped engine: WebKitGTK 4.1 in the view's GTK container.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <glib-unix.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/webkit/channel.h"
#include "engine/webkit/configuration.h"
#include "engine/webkit/recovery.h"
#include "engine/webkit/shortcuts.h"
#include "platform/com/object.h"

#include "engine/contract.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/win/codepage.h"
#include "platform/win/paths.h"
#include "platform/win/prefix.h"
#include "platform/win/registry.h"

namespace vireo::engine::webkit {
namespace {

std::string Narrow(const char* utf8) {
    return utf8 ? win::Utf8ToAnsi(utf8) : std::string();
}

class Browser;

// The UI side of the channels: one listening socket, one channel per web process, and
// the pages each channel serves.
class Bridge {
public:
    static Bridge& Instance() {
        static Bridge bridge;
        return bridge;
    }

    const std::string& SocketPath() const { return m_socketPath; }
    void AddBrowser(std::uint64_t pageId, Browser* browser) { m_browsers[pageId] = browser; }
    void RemoveBrowser(std::uint64_t pageId) { m_browsers.erase(pageId); }
    Channel* ChannelOf(std::uint64_t pageId) {
        auto it = m_pageChannels.find(pageId);
        return it != m_pageChannels.end() && it->second->Alive() ? it->second : nullptr;
    }
    Body ServeHost(Body& request);

private:
    // The socket lives in a private folder of its own. Without one, or without a socket
    // that listens, pages get no window.external; that is said on standard error.
    Bridge() {
        gchar* dir = g_dir_make_tmp("vireo-XXXXXX", nullptr);
        if (!dir) {
            std::fprintf(stderr, "VireoPlayer: no private folder for the script bridge: %s\n",
                         std::strerror(errno));
            return;
        }
        m_dir = dir;
        g_free(dir);
        m_socketPath = m_dir + "/bridge";
        m_listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_socketPath.c_str(), sizeof address.sun_path - 1);
        if (m_socketPath.size() >= sizeof address.sun_path || m_listener < 0 ||
            bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(m_listener, 16) != 0) {
            std::fprintf(stderr, "VireoPlayer: the script bridge cannot listen on %s: %s\n",
                         m_socketPath.c_str(), std::strerror(errno));
            if (m_listener >= 0)
                close(m_listener);
            m_listener = -1;
            return;
        }
        g_unix_fd_add(m_listener, G_IO_IN, OnAccept, this);
    }
    ~Bridge() {
        if (m_dir.empty())
            return;
        unlink(m_socketPath.c_str());
        rmdir(m_dir.c_str());
    }

    static gboolean OnAccept(gint fd, GIOCondition, gpointer self) {
        auto* bridge = static_cast<Bridge*>(self);
        int connection = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            return G_SOURCE_CONTINUE;
        auto channel = std::make_unique<Channel>(
            connection, [bridge](Body& request) { return bridge->ServeHost(request); }, nullptr);
        Channel* raw = channel.get();
        channel->SetNoticeHandler([bridge, raw](Body& notice) { bridge->OnNotice(raw, notice); });
        guint watch = g_unix_fd_add(connection, G_IO_IN, OnIncoming, raw);
        // A channel that closes (its web process ended, or a call found it broken) takes
        // its watch with it before its descriptor goes, and leaves the list soon after.
        channel->SetCloseHandler([bridge, watch] {
            g_source_remove(watch);
            bridge->DropClosedChannelsSoon();
        });
        bridge->m_channels.push_back(std::move(channel));
        return G_SOURCE_CONTINUE;
    }

    static gboolean OnIncoming(gint, GIOCondition, gpointer channel) {
        static_cast<Channel*>(channel)->ServeIncoming();
        return G_SOURCE_CONTINUE; // a channel that closed has removed this watch itself
    }

    // Closed channels are dropped from the main loop, never from inside one of their
    // own calls.
    void DropClosedChannelsSoon() {
        if (m_dropScheduled)
            return;
        m_dropScheduled = true;
        g_idle_add(
            +[](gpointer self) {
                auto* bridge = static_cast<Bridge*>(self);
                bridge->m_dropScheduled = false;
                std::erase_if(bridge->m_pageChannels,
                              [](const auto& entry) { return !entry.second->Alive(); });
                std::erase_if(bridge->m_channels, [](const auto& channel) { return !channel->Alive(); });
                return G_SOURCE_REMOVE;
            },
            this);
    }

    void OnNotice(Channel* channel, Body& notice);

    std::string m_dir;
    std::string m_socketPath;
    int m_listener = -1;
    bool m_dropScheduled = false;
    std::vector<std::unique_ptr<Channel>> m_channels;
    std::map<std::uint64_t, Channel*> m_pageChannels;
    std::map<std::uint64_t, Browser*> m_browsers;
};

// Where the web process extension is: beside the executable, in lib/vireo.
std::string ExtensionDirectory() {
    return (win::ModuleHostPath().parent_path() / "lib" / "vireo").string();
}

// Caches and profile data live in the prefix, never in the book's folder.
WebKitWebContext* SharedContext() {
    static WebKitWebContext* context = [] {
        // Without a GPU, buffers shared through the GPU's driver would be emulated too:
        // the web process's drawing reaches the view in plain shared memory instead,
        // which spares this process the GL driver and starts faster.
        if (!HasGpu())
            g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE);
        std::string base = (win::CurrentPrefix().directory / "engine").string();
        WebKitWebsiteDataManager* data =
            webkit_website_data_manager_new("base-data-directory", (base + "/data").c_str(),
                                            "base-cache-directory", (base + "/cache").c_str(), nullptr);
        WebKitWebContext* c = webkit_web_context_new_with_website_data_manager(data);
        g_object_unref(data);
        webkit_web_context_set_web_extensions_directory(c, ExtensionDirectory().c_str());
        webkit_web_context_set_web_extensions_initialization_user_data(
            c, g_variant_new_string(Bridge::Instance().SocketPath().c_str()));
        return c;
    }();
    return context;
}

// The page's script object: its global functions, called by name over the channel.
class PageScript final : public com::DispatchObject<PageScript, IDispatch> {
public:
    explicit PageScript(std::uint64_t pageId) : m_pageId(pageId) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override { return QueryFor(riid, IID_IDispatch, ppv); }

    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count == 0 || !names || !ids)
            return E_INVALIDARG;
        std::string name = win::Utf16ToUtf8(std::u16string(names[0]));
        ids[0] = DISPID_UNKNOWN;
        Channel* channel = Bridge::Instance().ChannelOf(m_pageId);
        if (!channel)
            return E_FAIL;
        std::optional<Body> reply =
            channel->Call(Body().U8(static_cast<std::uint8_t>(Op::HasFunction)).U64(m_pageId).Str(name));
        if (!reply)
            return E_FAIL;
        if (reply->ReadU32() != kOk)
            return DISP_E_UNKNOWNNAME;
        // A name asked for again keeps its DISPID, so repeated calls do not pile up names.
        auto known = std::find(m_names.begin(), m_names.end(), name);
        if (known == m_names.end())
            known = m_names.insert(m_names.end(), name);
        ids[0] = static_cast<DISPID>(known - m_names.begin() + 1);
        return S_OK;
    }

    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (result)
            VariantInit(result);
        if (id < 1 || static_cast<std::size_t>(id) > m_names.size())
            return DISP_E_MEMBERNOTFOUND;
        std::string arg;
        if (params && params->cArgs > 0 && params->rgvarg[0].vt == VT_BSTR)
            arg = win::Utf16ToUtf8(
                std::u16string(params->rgvarg[0].bstrVal, SysStringLen(params->rgvarg[0].bstrVal)));
        Channel* channel = Bridge::Instance().ChannelOf(m_pageId);
        if (!channel)
            return E_FAIL;
        std::optional<Body> reply = channel->Call(Body()
                                                      .U8(static_cast<std::uint8_t>(Op::CallFunction))
                                                      .U64(m_pageId)
                                                      .Str(m_names[static_cast<std::size_t>(id) - 1])
                                                      .Str(arg));
        return reply ? static_cast<HRESULT>(reply->ReadU32()) : E_FAIL;
    }

private:
    std::uint64_t m_pageId;
    std::vector<std::string> m_names;
};

class Document final : public com::MemberlessObject<Document, IHTMLDocument2>, public IOleWindow {
public:
    Document(Browser* browser, HWND window, std::uint64_t pageId)
        : m_browser(browser), m_window(window), m_pageId(pageId) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv && riid == IID_IOleWindow) {
            *ppv = static_cast<IOleWindow*>(this);
            AddRef();
            return S_OK;
        }
        return QueryFor(riid, IID_IHTMLDocument2, ppv);
    }
    ULONG AddRef() override { return MemberlessObject::AddRef(); }
    ULONG Release() override { return MemberlessObject::Release(); }

    HRESULT get_Script(IDispatch** p) override {
        *p = new PageScript(m_pageId);
        return S_OK;
    }

    HRESULT GetWindow(HWND* phwnd) override {
        *phwnd = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    Browser* m_browser;
    HWND m_window;
    std::uint64_t m_pageId;
};

class Browser final : public com::MemberlessObject<Browser, IWebBrowser2> {
public:
    Browser(HWND parent, BrowserSite* site) : m_parent(parent), m_site(site) {
        FeatureControls features = ReadFeatureControls();
        WebKitUserContentManager* content = webkit_user_content_manager_new();
        AddFeatureScripts(content, features);
        m_view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedContext(),
                                              "user-content-manager", content, nullptr));
        g_object_unref(content);
        g_object_ref_sink(m_view);
        WebKitSettings* settings = webkit_web_view_get_settings(m_view);
        webkit_settings_set_allow_file_access_from_file_urls(settings, TRUE);
        webkit_settings_set_enable_developer_extras(settings, FALSE);
        webkit_settings_set_enable_write_console_messages_to_stdout(settings, FALSE);
        ApplyFeatureSettings(settings, features);

        g_signal_connect(m_view, "notify::title", G_CALLBACK(OnTitle), this);
        g_signal_connect(m_view, "load-changed", G_CALLBACK(OnLoadChanged), this);
        g_signal_connect(m_view, "script-dialog", G_CALLBACK(OnScriptDialog), this);
        g_signal_connect(m_view, "print", G_CALLBACK(OnPrint), this);
        g_signal_connect(m_view, "permission-request", G_CALLBACK(OnPermission), this);
        g_signal_connect(m_view, "run-file-chooser", G_CALLBACK(OnFileChooser), this);
        g_signal_connect(m_view, "create", G_CALLBACK(OnCreateWindow), this);
        InstallShortcuts(m_view);
        m_recovery = std::make_unique<Recovery>(m_view);
        m_pageId = webkit_web_view_get_page_id(m_view);
        Bridge::Instance().AddBrowser(m_pageId, this);
        if (GtkWidget* container = gtk::ContainerOf(parent)) {
            gtk_box_pack_start(GTK_BOX(container), GTK_WIDGET(m_view), TRUE, TRUE, 0);
            gtk_widget_show(GTK_WIDGET(m_view));
        }
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return QueryFor(riid, IID_IWebBrowser2, ppv); }

    HRESULT put_Silent(VARIANT_BOOL bSilent) override {
        m_silent = bSilent != VARIANT_FALSE;
        return S_OK;
    }
    HRESULT get_Silent(VARIANT_BOOL* p) override {
        *p = m_silent ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

    HRESULT Navigate2(VARIANT* URL, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override {
        if (!URL || URL->vt != VT_BSTR || !URL->bstrVal)
            return E_INVALIDARG;
        std::string target = win::Utf16ToUtf8(std::u16string(URL->bstrVal, SysStringLen(URL->bstrVal)));
        std::string uri;
        if (target.find("://") != std::string::npos || target.rfind("about:", 0) == 0) {
            uri = target;
        } else {
            // A Windows path becomes a file URI, once, at this boundary.
            std::filesystem::path host = win::ToHostPath(win::Utf8ToAnsi(target));
            gchar* u = host.empty() ? nullptr : g_filename_to_uri(host.c_str(), nullptr, nullptr);
            if (!u)
                return E_INVALIDARG;
            uri = u;
            g_free(u);
        }
        webkit_web_view_load_uri(m_view, uri.c_str());
        return S_OK;
    }

    HRESULT get_Document(IDispatch** ppDisp) override {
        if (!ppDisp)
            return E_POINTER;
        *ppDisp =
            m_committed ? static_cast<IHTMLDocument2*>(new Document(this, m_parent, m_pageId)) : nullptr;
        return S_OK;
    }

    BrowserSite* Site() const { return m_site; }

    void Detach() {
        Bridge::Instance().RemoveBrowser(m_pageId);
        m_site = nullptr;
        m_recovery.reset();
        if (m_view) {
            g_signal_handlers_disconnect_by_data(m_view, this);
            gtk_widget_destroy(GTK_WIDGET(m_view));
            g_object_unref(m_view);
            m_view = nullptr;
        }
    }

    ~Browser() override { Detach(); }

    // The page left a shortcut to the engine (Ctrl+wheel, Alt+arrows).
    void OnShortcut(Shortcut shortcut) {
        if (m_view)
            ApplyShortcut(m_view, shortcut);
    }

    // A frame of the page has its document: completed before the page itself.
    void OnFrameLoaded(const std::string& url) {
        if (m_site && m_committed)
            m_site->OnDocumentComplete(Narrow(url.c_str()).c_str());
    }

private:
    static void OnTitle(WebKitWebView* view, GParamSpec*, gpointer self) {
        auto* b = static_cast<Browser*>(self);
        if (b->m_site)
            b->m_site->OnTitleChange(Narrow(webkit_web_view_get_title(view)).c_str());
    }

    static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
        auto* b = static_cast<Browser*>(self);
        if (!b->m_site)
            return;
        std::string uri = Narrow(webkit_web_view_get_uri(view));
        if (event == WEBKIT_LOAD_COMMITTED) {
            b->m_committed = true;
            b->FollowPageId();
            b->m_site->OnNavigateComplete2(uri.c_str());
        } else if (event == WEBKIT_LOAD_FINISHED) {
            b->m_site->OnDocumentComplete(uri.c_str());
        }
    }

    // Silent mode: the engine shows no dialog of its own.
    static gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer self) {
        return static_cast<Browser*>(self)->m_silent;
    }
    static gboolean OnPrint(WebKitWebView*, WebKitPrintOperation*, gpointer self) {
        return static_cast<Browser*>(self)->m_silent;
    }
    static gboolean OnPermission(WebKitWebView*, WebKitPermissionRequest* request, gpointer self) {
        if (!static_cast<Browser*>(self)->m_silent)
            return FALSE;
        webkit_permission_request_deny(request);
        return TRUE;
    }
    static gboolean OnFileChooser(WebKitWebView*, WebKitFileChooserRequest* request, gpointer self) {
        if (!static_cast<Browser*>(self)->m_silent)
            return FALSE;
        webkit_file_chooser_request_cancel(request);
        return TRUE;
    }

    // A page's new window opens as a plain window of the engine's own.
    static GtkWidget* OnCreateWindow(WebKitWebView* view, WebKitNavigationAction*, gpointer) {
        GtkWidget* child = webkit_web_view_new_with_related_view(view);
        g_signal_connect(child, "ready-to-show", G_CALLBACK(+[](WebKitWebView* v, gpointer) {
                             GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
                             gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);
                             gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(v));
                             g_signal_connect_swapped(v, "close", G_CALLBACK(gtk_widget_destroy), window);
                             gtk_widget_show_all(window);
                         }),
                         nullptr);
        return child;
    }

    // A web process that took over the view (after the last one ended) may know the page
    // by another identifier; the bridge follows it.
    void FollowPageId() {
        std::uint64_t id = webkit_web_view_get_page_id(m_view);
        if (id == m_pageId)
            return;
        Bridge::Instance().RemoveBrowser(m_pageId);
        m_pageId = id;
        Bridge::Instance().AddBrowser(m_pageId, this);
    }

    HWND m_parent;
    BrowserSite* m_site;
    WebKitWebView* m_view = nullptr;
    std::unique_ptr<Recovery> m_recovery;
    bool m_silent = false;
    bool m_committed = false;
    std::uint64_t m_pageId = 0;
};

void Bridge::OnNotice(Channel* channel, Body& notice) {
    Op op = static_cast<Op>(notice.ReadU8());
    std::uint64_t pageId = notice.ReadU64();
    if (op == Op::PageCreated) {
        m_pageChannels[pageId] = channel;
    } else if (op == Op::FrameLoaded) {
        std::string url = notice.ReadStr();
        if (auto it = m_browsers.find(pageId); it != m_browsers.end() && notice.Ok())
            it->second->OnFrameLoaded(url);
    } else if (op == Op::Shortcut) {
        std::optional<Shortcut> shortcut = ShortcutOfLetter(static_cast<char>(notice.ReadU8()));
        if (auto it = m_browsers.find(pageId); it != m_browsers.end() && notice.Ok() && shortcut)
            it->second->OnShortcut(*shortcut);
    }
}

// Invokes a host member with `count` empty arguments (page script's values are not
// passed; the host's members take none) and reads its boolean answer.
HRESULT InvokeMember(IDispatch* external, DISPID id, WORD flags, UINT count, bool& answer) {
    std::vector<VARIANT> args(std::min<UINT>(count, 64));
    for (VARIANT& a : args)
        VariantInit(&a);
    DISPID put = DISPID_PROPERTYPUT;
    bool assigning = flags & DISPATCH_PROPERTYPUT;
    DISPPARAMS params{args.data(), assigning ? &put : nullptr, static_cast<UINT>(args.size()),
                      assigning ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr =
        external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, nullptr, nullptr);
    answer = result.vt == VT_BOOL && result.boolVal != VARIANT_FALSE;
    VariantClear(&result);
    return hr;
}

// Page script calls the host object: name resolution and invocation, as the host's
// IDispatch answers them.
Body Bridge::ServeHost(Body& request) {
    Op op = static_cast<Op>(request.ReadU8());
    auto it = m_browsers.find(request.ReadU64());
    BrowserSite* site = it != m_browsers.end() ? it->second->Site() : nullptr;
    IDispatch* external = nullptr;
    if (!site || site->OnGetExternal(&external) != S_OK || !external)
        return op == Op::GetIDsOfNames
                   ? Body().U32(kUnknownName).U32(static_cast<std::uint32_t>(DISPID_UNKNOWN))
                   : Body().U32(kFail).U8(0);
    Body reply;
    std::u16string name = win::Utf8ToUtf16(request.ReadStr());
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = external->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (op == Op::GetIDsOfNames) {
        reply.U32(static_cast<std::uint32_t>(hr)).U32(static_cast<std::uint32_t>(id));
    } else {
        WORD flags = static_cast<WORD>(request.ReadU32());
        UINT count = request.ReadU32();
        bool answer = false;
        if (SUCCEEDED(hr))
            hr = InvokeMember(external, id, flags, count, answer);
        reply.U32(static_cast<std::uint32_t>(hr)).U8(answer ? 1 : 0);
    }
    external->Release();
    return reply;
}

class WebKitEngine final : public Engine {
public:
    HRESULT CreateBrowser(HWND parent, BrowserSite* site, IWebBrowser2** ppBrowser) override {
        if (!ppBrowser)
            return E_POINTER;
        *ppBrowser = new Browser(parent, site);
        return S_OK;
    }
    // WebKit applies its own shortcuts as the key event reaches its widget.
    HRESULT TranslateAccelerator(IWebBrowser2*, MSG*) override { return S_FALSE; }
};

} // namespace
} // namespace vireo::engine::webkit

namespace vireo::engine {

void InstallDefaultEngine() {
    static webkit::WebKitEngine engine;
    InstallEngine(&engine);
}

} // namespace vireo::engine
