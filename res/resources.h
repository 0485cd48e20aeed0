#pragma once

namespace vireo::res {

void RegisterStrings();
void RegisterIcons();
void RegisterDialogs();
void ApplyManifest();

} // namespace vireo::res
