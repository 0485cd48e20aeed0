#include "platform/win/prefix.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

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

std::string SettingsText(const PrefixSettings& s) {
    std::ostringstream out;
    out << "# Settings of this platform prefix. The ANSI code page: 949, 932 or 1252.\n"
        << "codepage=" << s.codePage << "\n"
        << "# Whether programs run with administrator rights: granted or denied.\n"
        << "elevation=" << (s.elevated ? "granted" : "denied") << "\n"
        << "# Drive letters and the host folders they stand for.\n";
    for (const DriveMapping& d : s.drives)
        out << "drive." << d.letter << "=" << d.hostRoot << "\n";
    return out.str();
}

// Removes what creators that were killed left beside the prefix: folders named
// "NAME.new-PID-XXXXXX" whose process is gone.
void RemoveAbandonedBuilds(const std::filesystem::path& dir) {
    std::error_code ec;
    std::string prefix = dir.filename().string() + ".new-";
    for (const auto& entry : std::filesystem::directory_iterator(dir.parent_path(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        pid_t pid = static_cast<pid_t>(std::strtol(name.c_str() + prefix.size(), nullptr, 10));
        if (pid > 0 && kill(pid, 0) != 0 && errno == ESRCH)
            std::filesystem::remove_all(entry.path(), ec);
    }
}

// A prefix is whole or absent: it is built in a folder of its own beside its place and
// renamed into place complete, so a creator killed at any moment leaves either nothing
// or a whole prefix. A folder that is already there (made by the user, or left by an
// older version without its settings) gets its settings written last.
void CreatePrefix(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir.parent_path(), ec);
    RemoveAbandonedBuilds(dir);
    PrefixSettings settings = Defaults(dir);
    if (std::filesystem::is_directory(dir, ec)) {
        detail::WriteFileAtomically(dir / "prefix.conf", SettingsText(settings));
        return;
    }
    std::string pattern = dir.string() + ".new-" + std::to_string(getpid()) + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        return; // nothing can be written there: the prefix stays absent
    std::filesystem::path build(buffer.data());
    bool whole = detail::WriteFileAtomically(build / "system.reg", detail::InitialHiveText(true)) == 0 &&
                 detail::WriteFileAtomically(build / "user.reg", detail::InitialHiveText(false)) == 0 &&
                 detail::WriteFileAtomically(build / "prefix.conf", SettingsText(settings)) == 0;
    // Another process may have put its prefix in place meanwhile; then that one stands.
    if (!whole || rename(build.c_str(), dir.c_str()) != 0)
        std::filesystem::remove_all(build, ec);
}

} // namespace

void WritePrefixSettings(const PrefixSettings& s) {
    detail::WriteFileAtomically(s.directory / "prefix.conf", SettingsText(s));
}

// A prefix that cannot be created or written still answers: its settings are the
// defaults, and its registry holds what a new one holds, with writes refused.
const PrefixSettings& CurrentPrefix() {
    auto& cached = Cached();
    if (cached)
        return *cached;
    std::filesystem::path dir = PrefixLocation();
    std::error_code ec;
    if (!std::filesystem::exists(dir / "prefix.conf", ec))
        CreatePrefix(dir);
    cached = ReadSettings(dir);
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
