#include "engine/contract.h"

#include <vector>

#include "platform/win/codepage.h"

namespace vireo::engine {
namespace {
Engine* g_engine = nullptr;
}
void InstallEngine(Engine* engine) {
    g_engine = engine;
}
Engine* CurrentEngine() {
    return g_engine;
}

std::string AnsiOf(const OLECHAR* text) {
    if (!text)
        return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::vector<char> ansi(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), n, nullptr, nullptr);
    return std::string(ansi.data());
}
} // namespace vireo::engine
