#include "engine/contract.h"

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
} // namespace vireo::engine
