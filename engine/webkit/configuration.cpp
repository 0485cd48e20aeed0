#include "engine/webkit/configuration.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/win/codepage.h"
#include "platform/win/paths.h"
#include "platform/win/registry.h"

namespace vireo::engine::webkit {
namespace {

int ReadFeature(const char* feature, const std::string& valueName) {
    std::string path =
        std::string("SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\") + feature;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, type = 0, size = sizeof value;
    LONG r =
        RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD ? static_cast<int>(value) : -1;
}

// The web's name for the encoding of an ANSI code page.
const char* DefaultCharset(UINT codePage) {
    switch (codePage) {
    case 949:
        return "EUC-KR";
    case 932:
        return "Shift_JIS";
    case 65001:
        return "UTF-8";
    default:
        return "windows-1252";
    }
}

} // namespace

FeatureControls ReadFeatureControls() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path);
    name = name.substr(win::FindLastSingleByte(name, '\\') + 1);
    return FeatureControls{ReadFeature("FEATURE_GPU_RENDERING", name),
                           ReadFeature("FEATURE_BROWSER_EMULATION", name),
                           ReadFeature("FEATURE_XMLHTTP", name)};
}

// A DRM render node that opens is a GPU to draw with.
bool HasGpu() {
    static const bool gpu = [] {
        if (std::getenv("LIBGL_ALWAYS_SOFTWARE"))
            return false;
        for (int minor = 128; minor < 192; ++minor) {
            int fd = open(("/dev/dri/renderD" + std::to_string(minor)).c_str(), O_RDWR | O_CLOEXEC);
            if (fd >= 0) {
                close(fd);
                return true;
            }
        }
        return false;
    }();
    return gpu;
}

void ApplyFeatureSettings(WebKitSettings* settings, const FeatureControls& features) {
    // A page that does not name its encoding is read in the system's code page, as the
    // platform's engine reads it: a Korean book without a charset is in code page 949.
    webkit_settings_set_default_charset(settings, DefaultCharset(GetACP()));
    // GPU rendering needs a GPU: without one, GL would be emulated on the processor,
    // slower and far heavier than drawing in software, which is what the platform's
    // engine falls back to.
    if (features.gpuRendering == 1 && HasGpu())
        webkit_settings_set_hardware_acceleration_policy(settings,
                                                         WEBKIT_HARDWARE_ACCELERATION_POLICY_ALWAYS);
    else if (features.gpuRendering == 0 || features.gpuRendering == 1)
        webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
}

void AddFeatureScripts(WebKitUserContentManager* content, const FeatureControls& f) {
    std::string script;
    if (f.emulation >= 1000)
        script +=
            "Object.defineProperty(document, 'documentMode', {value: " + std::to_string(f.emulation / 1000) +
            ", configurable: false});";
    if (f.xmlHttp == 0)
        script += "delete window.XMLHttpRequest;";
    if (script.empty())
        return;
    WebKitUserScript* s =
        webkit_user_script_new(script.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, s);
    webkit_user_script_unref(s);
}

} // namespace vireo::engine::webkit
