#pragma once

namespace vireo::res {

void RegisterStrings();
void RegisterIcons();
void RegisterDialogs();

} // namespace vireo::res
