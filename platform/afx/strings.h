// The framework's own texts and start-up details.
#pragma once

class CWinApp;

namespace vireo::afx {

// Adds the framework's own string resources where the program defines none of its own.
void RegisterFrameworkStrings();

} // namespace vireo::afx
