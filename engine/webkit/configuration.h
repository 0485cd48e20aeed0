// How the WebKit engine is configured for the running program: the per-program feature
// controls the start-up wrote, and the choices the machine decides (GPU, encoding).
#pragma once

#include <webkit2/webkit2.h>

namespace vireo::engine::webkit {

// The per-program feature controls, read from the machine hive under the executable's name.
struct FeatureControls {
    int gpuRendering = -1; // -1: not set
    int emulation = -1;
    int xmlHttp = -1;
};

FeatureControls ReadFeatureControls();

// Whether the machine has a GPU the engine can draw with. Asked once; the answer holds
// for the process's life.
bool HasGpu();

// A view's settings from the feature controls: the rendering policy, and the encoding of
// pages that name none.
void ApplyFeatureSettings(WebKitSettings* settings, const FeatureControls& features);
// The scripts that give every frame the document mode and the XMLHttpRequest the feature
// controls ask for, at document start.
void AddFeatureScripts(WebKitUserContentManager* content, const FeatureControls& features);

} // namespace vireo::engine::webkit
