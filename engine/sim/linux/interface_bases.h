// The browser and document interfaces as our layer declares them: only the members the
// browser view calls, which the scripted engine implements itself.
#pragma once

#include "platform/com/browser.h"

namespace vireo::engine::sim {

using WebBrowserBase = IWebBrowser2;
using DocumentBase = IHTMLDocument2;

} // namespace vireo::engine::sim
