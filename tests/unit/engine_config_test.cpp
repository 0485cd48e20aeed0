// The registry holder, the engine's version probe and the engine's feature controls.
#include <gtest/gtest.h>

#include "app/FeatureControl.h"
#include "app/Registry.h"
#include "platform/win/prefix.h"
#include "platform/win/windows.h"
#include "tests/support/test_support.h"

using vireo::test::TempPrefix;

namespace {

const char kIE[] = "SOFTWARE\\Microsoft\\Internet Explorer";
const char kFeatures[] = "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\";

void SetValue(const char* path, const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void DeleteValue(const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

std::string Sz(const std::string& text) {
    return text + std::string(1, '\0');
}

bool QueryDword(const std::string& path, const char* name, DWORD& value, DWORD& type) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof value;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && size == 4;
}

TEST(RegistryHolder, States) {
    TempPrefix prefix;
    {
        Orto::Common::Registry reg;
        EXPECT_EQ(reg.m_hKey, nullptr);
        EXPECT_EQ(reg.m_hRootKey, nullptr);
        EXPECT_TRUE(reg.m_strPath.IsEmpty());
        reg.Close(); // nothing to close
        EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u);

        ASSERT_EQ(reg.Create("SOFTWARE\\A"), ERROR_SUCCESS);
        HKEY first = reg.m_hKey;
        EXPECT_EQ(reg.m_hRootKey, HKEY_LOCAL_MACHINE);
        EXPECT_EQ(reg.Create("SOFTWARE\\B"), ERROR_ACCESS_DENIED);
        EXPECT_EQ(reg.m_hKey, first);
        EXPECT_STREQ(reg.m_strPath, "SOFTWARE\\A");

        reg.Close();
        EXPECT_EQ(reg.m_hKey, nullptr);
        EXPECT_STREQ(reg.m_strPath, "SOFTWARE\\A");
        ASSERT_EQ(reg.Create("SOFTWARE\\B"), ERROR_SUCCESS);
        EXPECT_STREQ(reg.m_strPath, "SOFTWARE\\B");
        EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 1u);
    }
    EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u) << "the destructor closes the key";

    vireo::win::SetProcessElevated(false);
    Orto::Common::Registry denied;
    EXPECT_EQ(denied.Create("SOFTWARE\\C"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(denied.m_hKey, nullptr);
    EXPECT_EQ(denied.m_hRootKey, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(denied.m_strPath, "SOFTWARE\\C");
}

struct ProbeCase {
    const char* name;
    std::optional<std::pair<DWORD, std::string>> svcVersion;
    std::optional<std::pair<DWORD, std::string>> version;
    DWORD expected;
};

class VersionProbe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(VersionProbe, ReadsTheMajorVersion) {
    TempPrefix prefix;
    DeleteValue(kIE, "svcVersion");
    DeleteValue(kIE, "Version");
    const ProbeCase& c = GetParam();
    if (c.svcVersion)
        SetValue(kIE, "svcVersion", c.svcVersion->first, c.svcVersion->second);
    if (c.version)
        SetValue(kIE, "Version", c.version->first, c.version->second);
    EXPECT_EQ(GetBrowserMajorVersion(), c.expected);
    EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u);
}

std::pair<DWORD, std::string> Text(const std::string& t) {
    return {REG_SZ, Sz(t)};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionProbe,
    ::testing::Values(
        ProbeCase{"svcVersion", Text("11.0.1"), Text("9.0.1"), 11},
        ProbeCase{"svcVersionFirst", Text("10.0.1"), Text("9.10.1"), 10},
        ProbeCase{"onlyVersion", std::nullopt, Text("9.0.1"), 9},
        ProbeCase{"noDot", Text("11"), Text("9.0.1"), 0},
        ProbeCase{"leadingDot", Text(".5"), std::nullopt, 0},
        ProbeCase{"leadingBlank", Text(" 10.0"), std::nullopt, 10},
        ProbeCase{"overLong", Text(std::string(250, '1') + ".0"), Text("9.11.0"), 9},
        ProbeCase{"nonText", std::pair<DWORD, std::string>{REG_DWORD, std::string("\x0b\0\0\0", 4)},
                  Text("11.0"), 0},
        ProbeCase{"noTerminator", std::pair<DWORD, std::string>{REG_SZ, "10.5"}, std::nullopt, 10},
        ProbeCase{"binaryWithoutZero", std::pair<DWORD, std::string>{REG_BINARY, "8.1"}, Text("11.0"), 8},
        ProbeCase{"neither", std::nullopt, std::nullopt, 0},
        ProbeCase{"huge", Text("99999999999.0"), std::nullopt, 2147483647u},
        ProbeCase{"hugeNegative", Text("-99999999999.0"), std::nullopt, 0x80000000u},
        ProbeCase{"negative", Text("-1.0"), std::nullopt, 0xFFFFFFFFu}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VersionProbeKey, MissingKeyIsCreatedAndUnwritableKeyReadsAsZero) {
    TempPrefix prefix;
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft", 0, KEY_ALL_ACCESS, &key);
    RegDeleteKeyA(key, "Internet Explorer");
    RegCloseKey(key);
    EXPECT_EQ(GetBrowserMajorVersion(), 0u);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIE, 0, KEY_READ, &key), ERROR_SUCCESS)
        << "the key stays behind";
    RegCloseKey(key);

    SetValue(kIE, "svcVersion", REG_SZ, Sz("11.0.1"));
    vireo::win::SetProcessElevated(false);
    EXPECT_EQ(GetBrowserMajorVersion(), 0u) << "the probe asks for full access, not for reading";
}

class FeatureControls : public ::testing::Test {
protected:
    void SetUp() override { vireo::win::SetModuleWindowsPathForTesting("C:\\Books\\VireoPlayer.exe"); }
    DWORD Value(const char* feature, const char* name = "VireoPlayer.exe") {
        DWORD value = 0xdeadbeef, type = 0;
        EXPECT_TRUE(QueryDword(std::string(kFeatures) + feature, name, value, type)) << feature;
        EXPECT_EQ(type, REG_DWORD);
        return value;
    }
    TempPrefix prefix;
};

TEST_F(FeatureControls, EmulationFollowsTheEngineAndTheOthersAreOn) {
    for (auto [version, emulation] : {std::pair{"11.0.1", 11000u}, {"10.0.1", 10000u}, {"9.0.1", 9000u}}) {
        SetValue(kIE, "svcVersion", REG_SZ, Sz(version));
        ApplyBrowserFeatureControls();
        EXPECT_EQ(Value("FEATURE_BROWSER_EMULATION"), emulation);
        EXPECT_EQ(Value("FEATURE_GPU_RENDERING"), 1u);
        EXPECT_EQ(Value("FEATURE_AJAX_CONNECTIONEVENTS"), 1u);
        EXPECT_EQ(Value("FEATURE_XMLHTTP"), 1u);
        EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u);
    }
}

TEST_F(FeatureControls, OverwritesItsOwnValueAndKeepsOthers) {
    std::string key = std::string(kFeatures) + "FEATURE_GPU_RENDERING";
    SetValue(key.c_str(), "VireoPlayer.exe", REG_DWORD, std::string("\x07\0\0\0", 4));
    SetValue(key.c_str(), "other.exe", REG_DWORD, std::string("\x07\0\0\0", 4));
    ApplyBrowserFeatureControls();
    EXPECT_EQ(Value("FEATURE_GPU_RENDERING"), 1u);
    EXPECT_EQ(Value("FEATURE_GPU_RENDERING", "other.exe"), 7u);

    vireo::win::SetModuleWindowsPathForTesting("C:\\Books\\Renamed.exe");
    ApplyBrowserFeatureControls();
    EXPECT_EQ(Value("FEATURE_XMLHTTP", "Renamed.exe"), 1u);
    EXPECT_EQ(Value("FEATURE_XMLHTTP", "VireoPlayer.exe"), 1u) << "values under the old name stay";
}

TEST_F(FeatureControls, AKeyThatCannotBeOpenedDoesNotStopTheOthers) {
    // Only the emulation key is protected, and the process lacks the rights to write it.
    std::string emulation = std::string(kFeatures) + "FEATURE_BROWSER_EMULATION";
    SetValue(emulation.c_str(), "seed", REG_DWORD, std::string(4, '\0'));
    std::string hive = vireo::test::ReadFile(prefix.path() / "system.reg");
    hive.replace(hive.find(";protected\n"), 11, "");
    std::string header = "[HKEY_LOCAL_MACHINE\\" + emulation + "]\n";
    hive.insert(hive.find(header) + header.size(), ";protected\n");
    vireo::test::WriteFile(prefix.path() / "system.reg", hive);
    vireo::win::ResetProcessState();
    setenv("VIREO_PREFIX", prefix.path().c_str(), 1);
    vireo::win::SetModuleWindowsPathForTesting("C:\\Books\\VireoPlayer.exe");
    vireo::win::SetProcessElevated(false);

    ApplyBrowserFeatureControls();
    EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u);
    DWORD value = 0, type = 0;
    EXPECT_FALSE(QueryDword(emulation, "VireoPlayer.exe", value, type));
    EXPECT_EQ(Value("FEATURE_GPU_RENDERING"), 1u);
    EXPECT_EQ(Value("FEATURE_AJAX_CONNECTIONEVENTS"), 1u);
    EXPECT_EQ(Value("FEATURE_XMLHTTP"), 1u);
}

} // namespace
