// What windres compiled into the program (named by VIREO_PROGRAM) besides the About box:
// its manifest, its version resource and its string table, read back with the
// platform's own functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        program = std::getenv("VIREO_PROGRAM");
        ASSERT_NE(program, nullptr) << "VIREO_PROGRAM names the program whose resources are read";
        module = ::LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << program;
    }
    void TearDown() override {
        if (module)
            ::FreeLibrary(module);
    }
    const char* program = nullptr;
    HMODULE module = nullptr;
};

TEST_F(ProgramResources, TheManifestAsksForAdministratorsAndDeviceDpi) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)); // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    std::string manifest(data, ::SizeofResource(module, found));
    EXPECT_NE(manifest.find(R"(level="requireAdministrator")"), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware>true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
              std::string::npos);
    // One manifest serves the 32-bit and the 64-bit program: an architecture named in it
    // would keep the other one from starting.
    EXPECT_EQ(manifest.find(R"(processorArchitecture="x86")"), std::string::npos);
    EXPECT_EQ(manifest.find(R"(processorArchitecture="amd64")"), std::string::npos);
}

TEST_F(ProgramResources, TheVersionResourceNamesTheFileVersion) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(program, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(program, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 8u);
    EXPECT_EQ(fixed->dwFileVersionLS, (8u << 16) | 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    char* text = nullptr;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\041203b5\\FileVersion",
                                 reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "1.8.8.0");
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\041203b5\\ProductName",
                                 reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "VireoWebBrowser");
}

TEST_F(ProgramResources, TheStringTableInTheAnsiCodePage) {
    char text[256] = {};
    ASSERT_GT(::LoadStringA(module, 57344, text, sizeof text), 0); // the application's name
    EXPECT_STREQ(text, "VireoWebBrowser");
    ASSERT_GT(::LoadStringA(module, 100, text, sizeof text), 0); // OLE could not start
    EXPECT_EQ(std::string(text).rfind("OLE를 초기화할 수 없습니다.", 0), 0u) << text;
}

} // namespace
