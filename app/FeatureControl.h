// The engine's per-program feature controls for this executable.
#pragma once

void ApplyBrowserFeatureControls();
