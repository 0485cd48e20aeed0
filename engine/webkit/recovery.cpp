#include "engine/webkit/recovery.h"

namespace vireo::engine::webkit {
namespace {

constexpr gint64 kRepeatWindow = 10 * G_USEC_PER_SEC;

std::string Escaped(const std::string& text) {
    gchar* escaped = g_markup_escape_text(text.c_str(), -1);
    std::string result = escaped;
    g_free(escaped);
    return result;
}

// The page as a reader would name it: its file path for a local page, else its address.
std::string PageName(const std::string& uri) {
    gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    if (!path)
        return uri;
    gchar* shown = g_filename_display_name(path);
    std::string name = shown;
    g_free(shown);
    g_free(path);
    return name;
}

} // namespace

Recovery::Recovery(WebKitWebView* view) : m_view(view) {
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(OnTerminated), this);
    g_signal_connect(view, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
}

Recovery::~Recovery() {
    g_signal_handlers_disconnect_by_data(m_view, this);
}

void Recovery::OnTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer self) {
    // An end the program asked for is no failure.
    if (reason != WEBKIT_WEB_PROCESS_TERMINATED_BY_API)
        static_cast<Recovery*>(self)->Recover();
}

void Recovery::Recover() {
    const gchar* current = webkit_web_view_get_uri(m_view);
    std::string uri = current ? current : "";
    gint64 now = g_get_monotonic_time();
    bool again = m_lastEnd != 0 && now - m_lastEnd < kRepeatWindow;
    m_lastEnd = now;
    if (uri.empty() || uri == "about:blank")
        return;
    if (!again)
        webkit_web_view_reload(m_view);
    else
        ShowErrorPage(uri);
}

void Recovery::ShowErrorPage(const std::string& uri) {
    m_errorFor = uri;
    webkit_web_view_load_alternate_html(m_view, ErrorPage(uri).c_str(), uri.c_str(), nullptr);
}

// The error page only stands in for the page: its own reload (the "try again" button)
// would load the stand-in's empty document, so the view reloads the page itself instead.
gboolean Recovery::OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                  WebKitPolicyDecisionType type, gpointer self) {
    auto* recovery = static_cast<Recovery*>(self);
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION || recovery->m_errorFor.empty())
        return FALSE;
    recovery->m_errorFor.clear();
    webkit_policy_decision_ignore(decision);
    webkit_web_view_reload(view);
    return TRUE;
}

std::string Recovery::ErrorPage(const std::string& uri) {
    std::string name = Escaped(PageName(uri));
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>페이지를 표시할 수 없습니다</title>"
           "<style>body{font-family:sans-serif;margin:15% 10%;color:#333}"
           "h1{font-size:1.4em}p{word-break:break-all}"
           "button{margin-top:1em;padding:.5em 1.5em;font-size:1em}</style></head><body>"
           "<h1>페이지를 표시할 수 없습니다</h1>"
           "<p>이 페이지를 표시하던 중 문제가 생겨 페이지가 닫혔습니다.</p><p>" +
           name + "</p><button id=\"retry\" onclick=\"location.reload()\">다시 시도</button></body></html>";
}

} // namespace vireo::engine::webkit
