# The 32-bit Windows program.
set(VIREO_WINDOWS_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
