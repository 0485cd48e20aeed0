// The registry under faults: a prefix that cannot be created or written, hives that
// cannot be read or are damaged, leftovers of killed writers. Every function answers
// with a status code; reading keeps working where only writing fails.
#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/win/prefix.h"
#include "platform/win/registry.h"
#include "tests/support/test_support.h"

using namespace vireo::test;
namespace fs = std::filesystem;

namespace {

const char kEngineKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

class RegistryFaults : public ::testing::Test {
protected:
    // Points the layer at `dir`, which may not exist yet.
    void UsePrefix(const fs::path& dir) {
        setenv("VIREO_PREFIX", dir.c_str(), 1);
        vireo::win::ResetProcessState();
    }
    void TearDown() override {
        vireo::win::ResetProcessState();
        unsetenv("VIREO_PREFIX");
    }
    // The engine's version as the start-up reads it, or the status that stopped it.
    std::string EngineVersion() {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEngineKey, 0, KEY_READ, &key);
        if (status != ERROR_SUCCESS)
            return "open " + std::to_string(status);
        char text[64] = {};
        DWORD size = sizeof text - 1;
        status = RegQueryValueExA(key, "svcVersion", nullptr, nullptr, reinterpret_cast<LPBYTE>(text), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::string(text) : "query " + std::to_string(status);
    }
    LONG CreateKey(HKEY root, const char* path) {
        HKEY key = nullptr;
        LONG status = RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (key)
            RegCloseKey(key);
        return status;
    }
    LONG SetDword(HKEY root, const char* path, const char* name, DWORD value) {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key);
        if (status != ERROR_SUCCESS)
            return status;
        status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        RegCloseKey(key);
        return status;
    }
    TempDir scratch;
};

TEST_F(RegistryFaults, APrefixThatCannotBeCreatedReadsAsNewAndRefusesWrites) {
    WriteFile(scratch / "file");
    for (const fs::path& prefix : {scratch / "file" / "prefix", scratch / "file"}) { // below a file; a file
        UsePrefix(prefix);
        EXPECT_EQ(EngineVersion(), "11.0.250") << prefix;
        EXPECT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE"), ERROR_SUCCESS)
            << "an existing key needs no write";
        EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\New"), ERROR_CANTWRITE) << prefix;
        EXPECT_EQ(SetDword(HKEY_LOCAL_MACHINE, kEngineKey, "x", 1), ERROR_CANTWRITE) << prefix;
    }
    EXPECT_TRUE(fs::is_regular_file(scratch / "file")) << "the file is left as it was";
    for (const auto& e : fs::directory_iterator(scratch.path()))
        EXPECT_EQ(e.path().filename().string().find(".new-"), std::string::npos) << e.path();
}

TEST_F(RegistryFaults, AHiveThatCannotBeLockedKeepsReading) {
    UsePrefix(scratch / "p");
    ASSERT_EQ(SetDword(HKEY_CURRENT_USER, "Software", "kept", 7), ERROR_SUCCESS);
    vireo::win::ResetProcessState();
    fs::remove(scratch / "p" / "user.reg.lock");
    fs::create_directory(scratch / "p" / "user.reg.lock"); // no lock can be opened there
    EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "Software", "kept", 8), ERROR_CANTWRITE);
    EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 0, size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "kept", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 7u);
    RegCloseKey(key);
}

TEST_F(RegistryFaults, AHiveThatCannotBeReadIsAnErrorNotDamage) {
    UsePrefix(scratch / "p");
    EXPECT_EQ(EngineVersion(), "11.0.250");
    vireo::win::ResetProcessState();
    fs::remove(scratch / "p" / "system.reg");
    fs::create_directory(scratch / "p" / "system.reg"); // opens, but reads fail
    EXPECT_EQ(EngineVersion(), "open " + std::to_string(ERROR_CANTREAD));
    EXPECT_EQ(SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE", "x", 1), ERROR_CANTREAD);
    EXPECT_TRUE(fs::is_directory(scratch / "p" / "system.reg")) << "left where it is, not set aside";
}

// A hive that does not parse is set aside; the one started in its place holds what a
// new prefix holds, so the engine is still found.
TEST_F(RegistryFaults, ADamagedMachineHiveIsReplacedByANewOnesContents) {
    UsePrefix(scratch / "p");
    ASSERT_EQ(EngineVersion(), "11.0.250");
    vireo::win::ResetProcessState();
    WriteFile(scratch / "p" / "system.reg", std::string("\x89garbage\0\xff", 10));
    testing::internal::CaptureStderr();
    EXPECT_EQ(EngineVersion(), "11.0.250");
    EXPECT_EQ(SetDword(HKEY_LOCAL_MACHINE, kEngineKey, "x", 1), ERROR_SUCCESS);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("is damaged"), std::string::npos) << said;
    vireo::win::ResetProcessState();
    EXPECT_EQ(EngineVersion(), "11.0.250") << "and it was written so";
}

// Keys nested beyond the registry's depth in a hand-made hive: the hive is refused as
// damaged instead of being built (or torn down) recursively.
TEST_F(RegistryFaults, AHiveNestedBeyondTheLimitIsDamage) {
    UsePrefix(scratch / "p");
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Kept"), ERROR_SUCCESS);
    vireo::win::ResetProcessState();
    std::string path = "HKEY_CURRENT_USER";
    std::string text = "Windows Registry Editor Version 5.00\n\n[";
    text.reserve(2100000);
    text += path;
    for (int i = 0; i < 1000000; ++i)
        text += "\\d";
    text += "]\n";
    WriteFile(scratch / "p" / "user.reg", text);
    testing::internal::CaptureStderr();
    EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\After"), ERROR_SUCCESS);
    testing::internal::GetCapturedStderr();
}

TEST_F(RegistryFaults, ANewPrefixIsWholeAndLeftoversOfKilledWritersGo) {
    fs::path dir = scratch / "p";
    // What a creator and a writer killed earlier left behind.
    fs::create_directories(scratch / "p.new-999999-abcdef");
    UsePrefix(dir);
    EXPECT_EQ(EngineVersion(), "11.0.250");
    EXPECT_TRUE(fs::exists(dir / "prefix.conf"));
    EXPECT_NE(ReadFile(dir / "system.reg").find("\"svcVersion\"=\"11.0.250\""), std::string::npos);
    EXPECT_NE(ReadFile(dir / "user.reg").find("[HKEY_CURRENT_USER\\Software]"), std::string::npos);
    EXPECT_FALSE(fs::exists(scratch / "p.new-999999-abcdef")) << "its creator is gone";

    WriteFile(dir / "user.reg.new-123", "half");
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Written"), ERROR_SUCCESS);
    EXPECT_FALSE(fs::exists(dir / "user.reg.new-123"));
    for (const auto& e : fs::directory_iterator(scratch.path()))
        EXPECT_EQ(e.path().filename().string().find(".new-"), std::string::npos) << e.path();
}

} // namespace
