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

// The string rules of the ANSI value functions, as the platform's conformance tables
// pin them with sentinels.
TEST_F(Registry, QuerySizeAndTerminatorRules) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vireo");
    const char text[] = "abcd"; // what follows the data is what the writes differ in
    auto set = [&](const char* name, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size),
                  ERROR_SUCCESS);
    };
    set("whole", 5);    // "abcd" with its terminator
    set("offByOne", 4); // the terminator follows, uncounted: it is stored all the same
    set("offByTwo", 3); // "abc" followed by "d": stored as it is, without a terminator
    SetBytes(key, "dword", REG_DWORD, std::string("\x0b\0\0\0", 4));

    struct Case {
        const char* name;
        DWORD bufferSize;
        LONG status;
        DWORD sizeOut;
        std::string bufferOut; // the whole buffer afterwards; 0xbd is the untouched sentinel
    } cases[] = {
        {"whole", 8, ERROR_SUCCESS, 5, std::string("abcd\0\xbd\xbd\xbd", 8)},
        {"whole", 4, ERROR_MORE_DATA, 5, "\xbd\xbd\xbd\xbd"},
        {"offByOne", 5, ERROR_SUCCESS, 5, std::string("abcd\0", 5)},
        {"offByOne", 4, ERROR_MORE_DATA, 5, "\xbd\xbd\xbd\xbd"},
        {"offByTwo", 3, ERROR_SUCCESS, 3, "abc"},                                   // exactly its size
        {"offByTwo", 4, ERROR_SUCCESS, 3, std::string("abc\0", 4)},                 // a terminator with room
        {"offByTwo", 8, ERROR_SUCCESS, 3, std::string("abc\0\xbd\xbd\xbd\xbd", 8)}, // one, not counted
        {"offByTwo", 2, ERROR_MORE_DATA, 3, "\xbd\xbd"},
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
    struct SizeQuery {
        const char* name;
        LONG status;
        DWORD size;
    } queries[] = {{"whole", ERROR_SUCCESS, 5},
                   {"offByOne", ERROR_SUCCESS, 5},
                   {"offByTwo", ERROR_SUCCESS, 3},
                   {"missing", ERROR_FILE_NOT_FOUND, 0}};
    for (const SizeQuery& q : queries) {
        DWORD size = 0xdeadbeef;
        EXPECT_EQ(RegQueryValueExA(key, q.name, nullptr, nullptr, nullptr, &size), q.status) << q.name;
        EXPECT_EQ(size, q.size) << "a size query without a buffer: " << q.name;
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "dword", nullptr, nullptr, reinterpret_cast<LPBYTE>(&size), nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

// Names and depths the platform refuses, with its codes; a name counts characters, not
// bytes.
TEST_F(Registry, NameAndDepthLimits) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vireo");
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExA(key, std::string(255, 'k').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &sub, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(sub);
    EXPECT_EQ(RegCreateKeyExA(key, std::string(256, 'k').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &sub, nullptr),
              ERROR_BAD_PATHNAME);
    std::string korean;
    for (int i = 0; i < 255; ++i)
        korean += Ansi("가");
    EXPECT_EQ(RegCreateKeyExA(key, korean.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS)
        << "255 Korean characters are 510 bytes and still a valid name";
    RegCloseKey(sub);

    const BYTE one[] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueExA(key, std::string(16383, 'v').c_str(), 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, std::string(16384, 'v').c_str(), 0, REG_DWORD, one, 4),
              ERROR_FILENAME_EXCED_RANGE);

    // 511 levels below Software: 512 deep in all.
    std::string path = "Software";
    for (int i = 0; i < 511; ++i)
        path += "\\d";
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(sub);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (path + "\\d").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &sub, nullptr),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (path + "\\d").c_str(), 0, KEY_READ, &sub),
              ERROR_FILE_NOT_FOUND);
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
