#include "tests/support/test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/win/codepage.h"
#include "platform/win/prefix.h"

namespace vireo::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vireo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Restore rights a test took away, so everything can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_path, std::filesystem::directory_options::skip_permission_denied, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

TempPrefix::TempPrefix(unsigned codePage) {
    setenv("VIREO_PREFIX", m_dir.path().c_str(), 1);
    win::ResetProcessState();
    if (codePage != 949) {
        win::PrefixSettings s = win::CurrentPrefix();
        s.codePage = codePage;
        win::WritePrefixSettings(s);
        win::ResetProcessState();
    }
}

TempPrefix::~TempPrefix() {
    win::ResetProcessState();
    unsetenv("VIREO_PREFIX");
}

std::string Ansi(const std::string& utf8) {
    return win::Utf8ToAnsi(utf8);
}
std::string Utf8(const std::string& ansi) {
    return win::AnsiToUtf8(ansi);
}

void WriteFile(const std::filesystem::path& file, const std::string& contents) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace vireo::test
