# Cross-compiling the Windows program with mingw-w64 for VIREO_WINDOWS_ARCH (set by the
# toolchain file that includes this one), in its POSIX thread model: the C++ library's
# threads and mutexes need it, and it is linked in statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VIREO_WINDOWS_ARCH})
set(CMAKE_C_COMPILER ${VIREO_WINDOWS_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${VIREO_WINDOWS_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${VIREO_WINDOWS_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VIREO_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Where scripts/windows-deps leaves Boost.Filesystem for this target.
set(VIREO_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../../build/windows-deps)
