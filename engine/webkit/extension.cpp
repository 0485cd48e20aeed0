// The web process side of the bridge: window.external in every frame of every page,
// before any page script runs, and the page's global functions for the host to call.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <glib-unix.h>
#include <webkit2/webkit-web-extension.h>

#include <cstring>
#include <memory>

#include "engine/webkit/channel.h"

using namespace vireo::engine::webkit;

namespace {

std::unique_ptr<Channel> g_channel;
WebKitWebExtension* g_extension = nullptr;

// The host object's codes, by name, for the errors page script sees.
const char kScript[] = R"JS(
(function (lookup, call) {
  var names = {
    0x80020003: "DISP_E_MEMBERNOTFOUND", 0x80020005: "DISP_E_TYPEMISMATCH",
    0x80020006: "DISP_E_UNKNOWNNAME", 0x80020007: "DISP_E_NONAMEDARGS",
    0x8002000E: "DISP_E_BADPARAMCOUNT", 0x8002000F: "DISP_E_PARAMNOTOPTIONAL",
    0x80004005: "E_FAIL"
  };
  function fail(hr) {
    var code = hr >>> 0;
    var text = (names[code] || "HRESULT") + " (0x" + code.toString(16).toUpperCase() + ")";
    var e = new Error(text);
    e.number = hr | 0;
    throw e;
  }
  // A call resolves the name and invokes the member on the host, in one exchange; the
  // answer is the failing HRESULT, or 1 or 0 for the member's boolean.
  function member(name) {
    return function () {
      var r = call(name, 1, arguments.length);
      if (r < 0) fail(r);
      return r === 1;
    };
  }
  // The host object's members never change, so whether a spelling names one is asked
  // once per page; null marks a name that does not.
  var known = Object.create(null);
  function find(name) {
    var f = known[name];
    if (f === undefined) f = known[name] = lookup(name) === -1 ? null : member(name);
    return f;
  }
  var handler = {
    get: function (target, name) {
      if (typeof name !== "string") return undefined;
      var f = find(name);
      return f === null ? undefined : f;
    },
    has: function (target, name) { return typeof name === "string" && find(name) !== null; },
    set: function (target, name) {
      if (typeof name !== "string") fail(0x80020006);
      var r = call(name, 4, 1);
      if (r < 0) fail(r);
      return true;
    },
    deleteProperty: function () { return false; },
    defineProperty: function () { return false; },
    ownKeys: function () { return []; },
    getOwnPropertyDescriptor: function () { return undefined; }
  };
  var external = new Proxy({}, handler);
  Object.defineProperty(window, "external", { value: external, writable: false, configurable: false,
                                              enumerable: true });
})
)JS";

// Each frame's functions carry the identifier of the page they belong to.
std::uint64_t PageOf(gpointer data) {
    return data ? *static_cast<std::uint64_t*>(data) : 0;
}

// lookup(name): the member's DISPID, or -1.
JSCValue* Lookup(GPtrArray* args, gpointer page) {
    JSCContext* context = jsc_context_get_current();
    if (!g_channel || args->len < 1)
        return jsc_value_new_number(context, -1);
    gchar* name = jsc_value_to_string(static_cast<JSCValue*>(g_ptr_array_index(args, 0)));
    Body request;
    request.U8(static_cast<std::uint8_t>(Op::GetIDsOfNames)).U64(PageOf(page)).Str(name ? name : "");
    g_free(name);
    std::optional<Body> reply = g_channel->Call(request);
    if (!reply)
        return jsc_value_new_number(context, -1);
    std::uint32_t hr = reply->ReadU32();
    std::int32_t dispid = static_cast<std::int32_t>(reply->ReadU32());
    return jsc_value_new_number(context, hr == kOk ? dispid : -1);
}

// call(name, flags, argumentCount): the failing HRESULT, else 1 or 0 for the answer.
JSCValue* Call(GPtrArray* args, gpointer page) {
    JSCContext* context = jsc_context_get_current();
    std::int32_t hr = static_cast<std::int32_t>(kFail);
    bool answer = false;
    if (g_channel && args->len >= 3) {
        gchar* name = jsc_value_to_string(static_cast<JSCValue*>(g_ptr_array_index(args, 0)));
        Body request;
        request.U8(static_cast<std::uint8_t>(Op::CallMember))
            .U64(PageOf(page))
            .Str(name ? name : "")
            .U32(static_cast<std::uint32_t>(
                jsc_value_to_int32(static_cast<JSCValue*>(g_ptr_array_index(args, 1)))))
            .U32(static_cast<std::uint32_t>(
                jsc_value_to_int32(static_cast<JSCValue*>(g_ptr_array_index(args, 2)))));
        g_free(name);
        if (std::optional<Body> reply = g_channel->Call(request)) {
            hr = static_cast<std::int32_t>(reply->ReadU32());
            answer = reply->ReadU8() != 0;
        }
    }
    return jsc_value_new_number(context, hr < 0 ? hr : (answer ? 1 : 0));
}

// A frame's document has loaded: the host reports the completion for each frame, before
// the page's own, which WebKit reports to the UI process itself.
const char kFrameScript[] = R"JS(
(function (loaded) {
  window.addEventListener("load", function () { loaded(String(location.href)); });
})
)JS";

void FrameLoaded(GPtrArray* args, gpointer page) {
    if (!g_channel || args->len < 1)
        return;
    gchar* url = jsc_value_to_string(static_cast<JSCValue*>(g_ptr_array_index(args, 0)));
    g_channel->Notify(
        Body().U8(static_cast<std::uint8_t>(Op::FrameLoaded)).U64(PageOf(page)).Str(url ? url : ""));
    g_free(url);
}

// Ctrl+wheel zooms and Alt+Left and Alt+Right go back and forward, unless the page takes
// them. WebKit itself would scroll instead, so the choice is made here, after the page's
// own listeners: one added to the window while the event is on its way down runs last
// on its way back up. A page that cancels the event or stops it keeps it.
const char kShortcutScript[] = R"JS(
(function (shortcut) {
  function decideLast(event, letter) {
    window.addEventListener(event.type, function (e) {
      if (e !== event || e.defaultPrevented) return;
      e.preventDefault();
      shortcut(letter);
    }, { once: true, passive: false });
  }
  window.addEventListener("wheel", function (e) {
    if (e.ctrlKey && !e.altKey && !e.metaKey && e.deltaY !== 0) decideLast(e, e.deltaY < 0 ? "I" : "O");
  }, { capture: true, passive: false });
  window.addEventListener("keydown", function (e) {
    if (e.altKey && !e.ctrlKey && !e.shiftKey && !e.metaKey &&
        (e.key === "ArrowLeft" || e.key === "ArrowRight"))
      decideLast(e, e.key === "ArrowLeft" ? "B" : "F");
  }, true);
})
)JS";

void ReportShortcut(GPtrArray* args, gpointer page) {
    if (!g_channel || args->len < 1)
        return;
    gchar* letter = jsc_value_to_string(static_cast<JSCValue*>(g_ptr_array_index(args, 0)));
    if (letter && letter[0])
        g_channel->Notify(Body()
                              .U8(static_cast<std::uint8_t>(Op::Shortcut))
                              .U64(PageOf(page))
                              .U8(static_cast<std::uint8_t>(letter[0])));
    g_free(letter);
}

// Evaluates `script`, a function of one native function, and calls it with `native`.
void InstallWithNative(JSCContext* context, const char* script, const char* name, GCallback callback,
                       WebKitWebPage* page) {
    auto* id = g_new(std::uint64_t, 1);
    *id = webkit_web_page_get_id(page);
    JSCValue* native = jsc_value_new_function_variadic(context, name, callback, id, g_free, G_TYPE_NONE);
    JSCValue* install = jsc_context_evaluate(context, script, -1);
    JSCValue* done = jsc_value_function_call(install, JSC_TYPE_VALUE, native, G_TYPE_NONE);
    jsc_context_clear_exception(context);
    g_object_unref(done);
    g_object_unref(install);
    g_object_unref(native);
}

void OnWindowObjectCleared(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame, gpointer) {
    JSCContext* context = webkit_frame_get_js_context_for_script_world(frame, world);
    auto newPageId = [page] {
        auto* id = g_new(std::uint64_t, 1);
        *id = webkit_web_page_get_id(page);
        return id;
    };
    JSCValue* lookup = jsc_value_new_function_variadic(context, "lookup", G_CALLBACK(Lookup), newPageId(),
                                                       g_free, JSC_TYPE_VALUE);
    JSCValue* call = jsc_value_new_function_variadic(context, "call", G_CALLBACK(Call), newPageId(), g_free,
                                                     JSC_TYPE_VALUE);
    JSCValue* install = jsc_context_evaluate(context, kScript, -1);
    JSCValue* done =
        jsc_value_function_call(install, JSC_TYPE_VALUE, lookup, JSC_TYPE_VALUE, call, G_TYPE_NONE);
    jsc_context_clear_exception(context);
    g_object_unref(done);
    g_object_unref(install);
    g_object_unref(call);
    g_object_unref(lookup);
    InstallWithNative(context, kShortcutScript, "shortcut", G_CALLBACK(ReportShortcut), page);
    if (!webkit_frame_is_main_frame(frame))
        InstallWithNative(context, kFrameScript, "loaded", G_CALLBACK(FrameLoaded), page);
    g_object_unref(context);
}

// The host calls a global function of a page's top-level document.
Body Serve(Body& request) {
    Op op = static_cast<Op>(request.ReadU8());
    std::uint64_t pageId = request.ReadU64();
    std::string name = request.ReadStr();
    WebKitWebPage* page = g_extension ? webkit_web_extension_get_page(g_extension, pageId) : nullptr;
    if (!page)
        return Body().U32(kFail);
        // Only the top-level document's functions are called; WebKit keeps this call for
        // that use, though it marks it as one to move away from.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    JSCContext* context = webkit_frame_get_js_context(webkit_web_page_get_main_frame(page));
#pragma GCC diagnostic pop
    JSCValue* fn = jsc_context_get_value(context, name.c_str());
    Body reply;
    if (!jsc_value_is_function(fn)) {
        reply.U32(kUnknownName);
    } else if (op == Op::HasFunction) {
        reply.U32(kOk);
    } else {
        std::string arg = request.ReadStr();
        JSCValue* r = jsc_value_function_call(fn, G_TYPE_STRING, arg.c_str(), G_TYPE_NONE);
        bool threw = jsc_context_get_exception(context) != nullptr;
        jsc_context_clear_exception(context);
        g_object_unref(r);
        reply.U32(threw ? kException : kOk);
    }
    g_object_unref(fn);
    g_object_unref(context);
    return reply;
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
    if (g_channel)
        g_channel->Notify(
            Body().U8(static_cast<std::uint8_t>(Op::PageCreated)).U64(webkit_web_page_get_id(page)));
}

gboolean OnIncoming(gint, GIOCondition, gpointer) {
    g_channel->ServeIncoming();
    return G_SOURCE_CONTINUE; // a channel that closed has removed this watch itself
}

} // namespace

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(WebKitWebExtension* extension,
                                                                               GVariant* data) {
    g_extension = extension;
    const gchar* path = g_variant_get_string(data, nullptr);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        g_channel = std::make_unique<Channel>(fd, Serve, nullptr);
        // The host waits while the page serves its call: ahead of the web process's own work.
        guint watch = g_unix_fd_add_full(G_PRIORITY_HIGH, fd, G_IO_IN, OnIncoming, nullptr, nullptr);
        g_channel->SetCloseHandler([watch] { g_source_remove(watch); });
    } else if (fd >= 0) {
        close(fd);
    }
    g_signal_connect(webkit_script_world_get_default(), "window-object-cleared",
                     G_CALLBACK(OnWindowObjectCleared), nullptr);
    g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
