// The registry's status codes, size and terminator rules, handles, protection and
// persistence.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/prefix.h"
#include "platform/win/windows.h"
#include "tests/support/test_support.h"

using vireo::test::Ansi;
using vireo::test::ReadFile;
using vireo::test::TempPrefix;
using vireo::test::WriteFile;

namespace {

class Registry : public ::testing::Test {
protected:
    HKEY Create(HKEY root, const char* path, REGSAM sam = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(
            RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, sam, nullptr, &key, disposition),
            ERROR_SUCCESS)
            << path;
        return key;
    }
    void SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    TempPrefix prefix;
};

TEST_F(Registry, CreateOpenAndDispositions) {
    DWORD disposition = 0;
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vireo\\Test", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    key = Create(HKEY_CURRENT_USER, "software\\VIREO\\test\\", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY) << "names match without regard to case";
    RegCloseKey(key);

    HKEY missing = reinterpret_cast<HKEY>(0xdeadbeef);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Missing", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, "\\Software", 0, nullptr, 0, KEY_READ, nullptr, &missing, nullptr),
        ERROR_BAD_PATHNAME);
    EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u);
}

TEST_F(Registry, InvalidAndClosedHandles) {
    HKEY bogus = reinterpret_cast<HKEY>(0xdeadbeef);
    DWORD size = 4;
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExA(bogus, "x", nullptr, nullptr, data, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExA(nullptr, "x", 0, REG_DWORD, data, 4), ERROR_INVALID_HANDLE);
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vireo");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(key, "x", nullptr, nullptr, data, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS) << "predefined keys close as a no-op";
}

TEST_F(Registry, QuerySizeAndTerminatorRules) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vireo");
    SetBytes(key, "terminated", REG_SZ, std::string("abc", 4));
    SetBytes(key, "bare", REG_SZ, "abc");
    SetBytes(key, "dword", REG_DWORD, std::string("\x0b\0\0\0", 4));

    struct Case {
        const char* name;
        DWORD bufferSize;
        LONG status;
        DWORD sizeOut;
        std::string bufferOut; // the whole buffer afterwards; 0xbd is the untouched sentinel
    } cases[] = {
        {"terminated", 8, ERROR_SUCCESS, 4, std::string("abc\0\xbd\xbd\xbd\xbd", 8)},
        {"terminated", 3, ERROR_MORE_DATA, 4, "\xbd\xbd\xbd"},
        {"bare", 8, ERROR_SUCCESS, 3, std::string("abc\0\xbd\xbd\xbd\xbd", 8)},
        {"bare", 3, ERROR_SUCCESS, 3, "abc"},
        {"dword", 4, ERROR_SUCCESS, 4, std::string("\x0b\0\0\0", 4)},
        {"dword", 2, ERROR_MORE_DATA, 4, "\xbd\xbd"},
        {"missing", 8, ERROR_FILE_NOT_FOUND, 8, std::string(8, '\xbd')},
    };
    for (const Case& c : cases) {
        std::string buffer(c.bufferSize, '\xbd');
        DWORD size = c.bufferSize, type = 0xdeadbeef;
        EXPECT_EQ(
            RegQueryValueExA(key, c.name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size),
            c.status)
            << c.name << " into " << c.bufferSize;
        EXPECT_EQ(size, c.sizeOut) << c.name << " into " << c.bufferSize;
        EXPECT_EQ(buffer, c.bufferOut) << c.name << " into " << c.bufferSize;
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "terminated", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u) << "a size query without a buffer";
    EXPECT_EQ(RegQueryValueExA(key, "dword", nullptr, nullptr, reinterpret_cast<LPBYTE>(&size), nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(Registry, StringsConvertAtTheBoundaryAndPersist) {
    HKEY key = Create(HKEY_CURRENT_USER, Ansi("Software\\로컬").c_str());
    std::string text = Ansi("이북") + std::string(1, '\0');
    SetBytes(key, Ansi("이름").c_str(), REG_SZ, text);
    RegCloseKey(key);
    EXPECT_NE(
        ReadFile(prefix.path() / "user.reg").find("[HKEY_CURRENT_USER\\Software\\로컬]\n\"이름\"=\"이북\""),
        std::string::npos)
        << ReadFile(prefix.path() / "user.reg");

    vireo::win::ResetProcessState(); // forget everything held in memory
    setenv("VIREO_PREFIX", prefix.path().c_str(), 1);
    HKEY again = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Ansi("Software\\로컬").c_str(), 0, KEY_READ, &again),
              ERROR_SUCCESS);
    char buffer[16];
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(again, Ansi("이름").c_str(), nullptr, nullptr,
                               reinterpret_cast<LPBYTE>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer, size), text);
    RegCloseKey(again);
}

TEST_F(Registry, ProtectedKeysRefuseWritesWithoutElevation) {
    vireo::win::SetProcessElevated(false);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
        ERROR_ACCESS_DENIED)
        << "creating a key below a protected one is a write";
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char version[32];
    DWORD size = sizeof version;
    EXPECT_EQ(RegQueryValueExA(key, "svcVersion", nullptr, nullptr, reinterpret_cast<LPBYTE>(version), &size),
              ERROR_SUCCESS)
        << "reading needs no elevation";
    DWORD one = 1;
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_ACCESS_DENIED)
        << "a read-only handle cannot write";
    RegCloseKey(key);
    HKEY user = Create(HKEY_CURRENT_USER, "Software\\Vireo");
    RegCloseKey(user);

    vireo::win::SetProcessElevated(true);
    key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\New");
    RegCloseKey(key);
}

TEST_F(Registry, EnumerationAndDeletion) {
    HKEY parent = Create(HKEY_CURRENT_USER, "Software\\Enum");
    for (const char* name : {"b", "C", "a"})
        RegCloseKey(Create(parent, name));
    RegCloseKey(Create(parent, "b\\child"));
    SetBytes(parent, "second", REG_DWORD, std::string(4, '\0'));
    SetBytes(parent, "first", REG_DWORD, std::string(4, '\0'));

    std::vector<std::string> keys;
    char name[8];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        LONG r = RegEnumKeyExA(parent, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(size, std::strlen(name));
        keys.push_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "b", "C"})) << "keys come sorted, values in their order";
    DWORD tiny = 1;
    EXPECT_EQ(RegEnumKeyExA(parent, 0, name, &tiny, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumValueA(parent, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "second");

    EXPECT_EQ(RegDeleteKeyA(parent, "b"), ERROR_ACCESS_DENIED) << "a key with sub-keys stays";
    HKEY child = Create(parent, "b\\child");
    EXPECT_EQ(RegDeleteKeyA(parent, "b\\child"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(child, "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>("\0\0\0\0"), 4),
              ERROR_KEY_DELETED);
    RegCloseKey(child);
    EXPECT_EQ(RegDeleteKeyA(parent, "b"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(parent, "b"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(parent, "first"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(parent, "first"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(parent);
    EXPECT_EQ(vireo::win::OpenRegistryKeyCount(), 0u);
}

TEST_F(Registry, DamagedHiveIsSetAsideNotEmptied) {
    std::string garbage =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\"x\"=dword:zz\n";
    WriteFile(prefix.path() / "user.reg", garbage);
    vireo::win::ResetProcessState();
    setenv("VIREO_PREFIX", prefix.path().c_str(), 1);
    testing::internal::CaptureStderr();
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Fresh");
    std::string report = testing::internal::GetCapturedStderr();
    RegCloseKey(key);
    EXPECT_NE(report.find("is damaged"), std::string::npos) << report;
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(prefix.path()))
        if (entry.path().filename().string().rfind("user.reg.damaged-", 0) == 0) {
            ++aside;
            EXPECT_EQ(ReadFile(entry.path()), garbage);
        }
    EXPECT_EQ(aside, 1);
}

} // namespace
