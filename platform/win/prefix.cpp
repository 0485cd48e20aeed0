#include "platform/win/prefix.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "platform/win/internal.h"

namespace vireo::win {
namespace {

std::optional<PrefixSettings>& Cached() {
    static std::optional<PrefixSettings> settings;
    return settings;
}

std::optional<bool>& ElevationOverride() {
    static std::optional<bool> value;
    return value;
}

std::filesystem::path PrefixLocation() {
    if (const char* p = std::getenv("VIREO_PREFIX"); p && *p)
        return std::filesystem::absolute(p);
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        return std::filesystem::path(x) / "vireo";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "share" / "vireo";
}

PrefixSettings Defaults(const std::filesystem::path& dir) {
    PrefixSettings s;
    s.directory = dir;
    s.drives.push_back({'Z', "/"});
    return s;
}

PrefixSettings ReadSettings(const std::filesystem::path& dir) {
    PrefixSettings s = Defaults(dir);
    std::ifstream in(dir / "prefix.conf");
    std::string line;
    bool drivesSeen = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "codepage") {
            s.codePage = static_cast<UINT>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (key == "elevation") {
            s.elevated = value != "denied";
        } else if (key.size() == 7 && key.rfind("drive.", 0) == 0) {
            if (!drivesSeen) {
                s.drives.clear();
                drivesSeen = true;
            }
            char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(key[6])));
            if (letter >= 'A' && letter <= 'Z' && !value.empty() && value[0] == '/')
                s.drives.push_back({letter, value});
        }
    }
    if (s.codePage != 949 && s.codePage != 932 && s.codePage != 1252 && s.codePage != 65001)
        s.codePage = 949;
    return s;
}

} // namespace

void WritePrefixSettings(const PrefixSettings& s) {
    std::ostringstream out;
    out << "# Settings of this platform prefix. The ANSI code page: 949, 932 or 1252.\n"
        << "codepage=" << s.codePage << "\n"
        << "# Whether programs run with administrator rights: granted or denied.\n"
        << "elevation=" << (s.elevated ? "granted" : "denied") << "\n"
        << "# Drive letters and the host folders they stand for.\n";
    for (const DriveMapping& d : s.drives)
        out << "drive." << d.letter << "=" << d.hostRoot << "\n";
    detail::WriteFileAtomically(s.directory / "prefix.conf", out.str());
}

const PrefixSettings& CurrentPrefix() {
    auto& cached = Cached();
    if (cached)
        return *cached;
    std::filesystem::path dir = PrefixLocation();
    std::error_code ec;
    bool fresh = !std::filesystem::exists(dir / "prefix.conf", ec);
    if (fresh) {
        std::filesystem::create_directories(dir, ec);
        if (ec)
            throw std::runtime_error("cannot create the prefix " + dir.string() + ": " + ec.message());
        WritePrefixSettings(Defaults(dir));
    }
    cached = ReadSettings(dir);
    if (fresh)
        detail::RegisterInstalledEngine();
    return *cached;
}

bool IsProcessElevated() {
    if (ElevationOverride())
        return *ElevationOverride();
    return CurrentPrefix().elevated;
}

void SetProcessElevated(bool elevated) {
    ElevationOverride() = elevated;
}

void ResetProcessState() {
    detail::ResetRegistry();
    detail::ResetPaths();
    Cached().reset();
    ElevationOverride().reset();
}

} // namespace vireo::win
