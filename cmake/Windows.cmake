# The native Windows program: the same system sources over the platform's own headers
# and libraries (platform/windows forwards our layer's headers to them), our framework
# subset with its Windows backend, and the platform's WebBrowser control as the engine.

# Nothing but the platform's DLLs at run time: the C++ and GCC run-times go in statically.
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
if(VIREO_WERROR)
  add_compile_options(-Werror)
endif()
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX STRICT)
add_link_options(-static -static-libgcc -static-libstdc++)

# Boost.Filesystem, built for this target once from the source of the installed headers.
set(VIREO_BOOST_LIB ${VIREO_WINDOWS_DEPS}/${VIREO_WINDOWS_ARCH}/libboost_filesystem.a)
if(NOT EXISTS ${VIREO_BOOST_LIB})
  execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/windows-deps COMMAND_ERROR_IS_FATAL ANY)
endif()
add_library(Boost::filesystem STATIC IMPORTED)
set_target_properties(Boost::filesystem PROPERTIES IMPORTED_LOCATION ${VIREO_BOOST_LIB}
  INTERFACE_INCLUDE_DIRECTORIES ${VIREO_WINDOWS_DEPS}/include
  INTERFACE_COMPILE_DEFINITIONS "BOOST_FILESYSTEM_STATIC_LINK=1;BOOST_ALL_NO_LIB")
add_library(Boost::system INTERFACE IMPORTED)

add_subdirectory(platform)
add_subdirectory(engine)
add_subdirectory(app)
add_subdirectory(host)

# The program's resources and the framework's strings make one resource script, as the
# framework's own strings are compiled into every program that uses it.
configure_file(platform/afx/windows/program.rc.in ${CMAKE_BINARY_DIR}/VireoPlayer-all.rc @ONLY)
# windres looks for the files a script names (icon, manifest) in its include folders.
function(vireo_program_resources target)
  set(rc ${CMAKE_BINARY_DIR}/VireoPlayer-all.rc)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES
    COMPILE_OPTIONS "-I${PROJECT_SOURCE_DIR}/res"
    OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/res/VireoPlayer.rc;${PROJECT_SOURCE_DIR}/res/VireoPlayer.exe.manifest;${PROJECT_SOURCE_DIR}/res/icon/VireoPlayer.ico;${PROJECT_SOURCE_DIR}/platform/afx/windows/framework.rc")
endfunction()
add_executable(VireoPlayer WIN32 app/theApp.cpp)
vireo_program_resources(VireoPlayer)
target_link_libraries(VireoPlayer PRIVATE vireo_app vireo_windows_main)
set_target_properties(VireoPlayer PROPERTIES OUTPUT_NAME VireoPlayer)
vireo_system_code(VireoPlayer)
install(TARGETS VireoPlayer RUNTIME DESTINATION .)

if(VIREO_BUILD_TESTS)
  add_subdirectory(tests/windows)
endif()
