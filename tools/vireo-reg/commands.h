// The registry tool's commands. Arguments, files and output are UTF-8, and so are the
// hives: the tool works on their trees directly, so no character is lost to a code page.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vireo::regtool {

struct Options {
    std::string key;                  // as given, e.g. HKLM\SOFTWARE\Vireo
    std::optional<std::string> value; // /v NAME, or "" for /ve
    bool allValues = false;           // /va
    bool recursive = false;           // /s (query)
    bool force = false;               // /f, /y
    std::string type = "REG_SZ";      // /t
    std::optional<std::string> data;  // /d
    std::string separator = "\\0";    // /s (add, REG_MULTI_SZ)
    std::string file;                 // export, import
};

int Query(const Options& o);
int Add(const Options& o);
int Delete(const Options& o);
int Export(const Options& o);
int Import(const Options& o);

} // namespace vireo::regtool
