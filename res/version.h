// The program's version, shared by the resource script, the program and the build
// (which reads the package version from here).
#pragma once

#define VIREO_VERSION_MAJOR 1
#define VIREO_VERSION_MINOR 8
#define VIREO_VERSION_PATCH 8
#define VIREO_VERSION_BUILD 0
#define VIREO_VERSION_COMMAS 1, 8, 8, 0
#define VIREO_VERSION_TEXT "1.8.8.0"
#define VIREO_FILE_NAME "VireoPlayer.exe"
#define VIREO_FILE_DESCRIPTION "설치된 전자책을 보여 주는 뷰어"
