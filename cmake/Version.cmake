# The program's version and description live in res/version.h, which the resource
# script includes too, so the program, its version resource and its packages cannot
# disagree. Sets VIREO_VERSION and VIREO_FILE_DESCRIPTION.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../res/version.h VIREO_VERSION_LINES ENCODING UTF-8
  REGEX "define VIREO_(VERSION_TEXT|FILE_DESCRIPTION) ")
foreach(line IN LISTS VIREO_VERSION_LINES)
  if(line MATCHES "VIREO_VERSION_TEXT \"([0-9.]+)\"")
    set(VIREO_VERSION ${CMAKE_MATCH_1})
  elseif(line MATCHES "VIREO_FILE_DESCRIPTION \"(.*)\"")
    set(VIREO_FILE_DESCRIPTION "${CMAKE_MATCH_1}")
  endif()
endforeach()
# A new version in the header configures the build again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../res/version.h)
