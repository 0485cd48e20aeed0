// Brings the book back when the web process that showed it ends abnormally (a crash, a
// page that exhausted memory): the page is loaded again, once; if the new process ends
// abnormally within ten seconds too, the engine shows an error page of its own that
// names the page and offers to try again, so the window never stays blank.
#pragma once

#include <webkit2/webkit2.h>

#include <string>

namespace vireo::engine::webkit {

class Recovery {
public:
    explicit Recovery(WebKitWebView* view);
    ~Recovery();
    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

    // The engine's error page for a page whose web process kept ending (UTF-8 HTML).
    static std::string ErrorPage(const std::string& uri);

private:
    static void OnTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason, gpointer self);
    static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    void Recover();
    void ShowErrorPage(const std::string& uri);

    WebKitWebView* m_view;
    gint64 m_lastEnd = 0;   // monotonic microseconds of the last abnormal end, 0 for none
    std::string m_errorFor; // the page the error page stands in for, while it does
};

} // namespace vireo::engine::webkit
