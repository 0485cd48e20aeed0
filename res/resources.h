#pragma once

namespace vireo::res {

void RegisterStrings();
void RegisterIcons();

} // namespace vireo::res
