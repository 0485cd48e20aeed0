// Helpers shared by the test suites: a fresh prefix per test, temporary folders, and
// conversions for comparing texts in the ANSI code page.
#pragma once

#include <filesystem>
#include <string>

namespace vireo::test {

// A temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Points the layer at a new, empty prefix for the life of the object.
class TempPrefix {
public:
    explicit TempPrefix(unsigned codePage = 949);
    ~TempPrefix();
    const std::filesystem::path& path() const { return m_dir.path(); }

private:
    TempDir m_dir;
};

// UTF-8 text in the ANSI code page, and back.
std::string Ansi(const std::string& utf8);
std::string Utf8(const std::string& ansi);

void WriteFile(const std::filesystem::path& file, const std::string& contents = "");
std::string ReadFile(const std::filesystem::path& file);

} // namespace vireo::test
