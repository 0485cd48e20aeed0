// Puts the program's resources in place before anything runs, as the loader maps a
// module's resources with the module.
#include "res/resources.h"

namespace {

struct Registration {
    Registration() {
        vireo::res::RegisterStrings();
        vireo::res::RegisterIcons();
        vireo::res::RegisterDialogs();
        vireo::res::ApplyManifest();
    }
} registration;

} // namespace
