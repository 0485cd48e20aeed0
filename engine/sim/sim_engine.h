// A scripted engine for tests: a test describes its pages (title, frames, whether the
// document offers a window) and decides when loads complete.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/contract.h"
#include "engine/shortcuts.h"

namespace vireo::engine::sim {

struct Page {
    std::string title;        // ANSI, as the engine hands it over
    int frames = 0;           // each frame completes before the page itself
    bool offersWindow = true; // whether the document answers for IOleWindow
    // Global script functions, by name; each gets its one string argument (ANSI).
    std::map<std::string, std::function<void(const std::string&)>> functions;
    // Keys (virtual-key codes) the page's script takes for itself.
    std::vector<WPARAM> keysTaken;
};

class SimEngine final : public Engine {
public:
    SimEngine(); // installs itself as the current engine
    ~SimEngine() override;

    // Pages by the URL the view navigates to (the Windows path, ANSI); others load blank.
    std::map<std::string, Page> pages;
    // Every Navigate2, in order, and the silent flag at that moment.
    std::vector<std::string> navigations;
    bool silentWhenNavigating = false;
    int browsersCreated = 0;

    // Completes the loads asked for so far, raising the events in the engine's order:
    // navigate complete, title, then document complete for each frame and the page.
    void CompleteLoads();

    HRESULT CreateBrowser(HWND parent, BrowserSite* site, IWebBrowser2** ppBrowser) override;
    // The engine's own shortcuts, for keys the page does not take: each one applied is
    // kept, with the zoom it left.
    HRESULT TranslateAccelerator(IWebBrowser2* browser, MSG* pMsg) override;
    std::vector<Shortcut> shortcutsApplied;
    // Every key message offered to the engine, in order.
    std::vector<std::pair<UINT, WPARAM>> keysOffered;
    int zoomPercent = 100;

    struct Browser;
    std::vector<Browser*> browsers;
};

} // namespace vireo::engine::sim
