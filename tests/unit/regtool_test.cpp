// vireo-reg: the platform registry tool's syntax, output and exit codes, on the same
// hives the programs use.
#include <gtest/gtest.h>

#include "tests/support/process.h"
#include "tests/support/test_support.h"

using vireo::test::Finished;
using vireo::test::RunProgram;
using vireo::test::TempPrefix;

namespace {

class RegTool : public ::testing::Test {
protected:
    Finished Reg(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), VIREO_REG);
        return RunProgram(args, {{"VIREO_PREFIX", prefix.path().string()}}, input);
    }
    TempPrefix prefix;
};

TEST_F(RegTool, QueriesAValueInThePlatformsFormat) {
    Finished f = Reg({"query", "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer", "/v", "svcVersion"});
    EXPECT_EQ(f.exitCode, 0) << f.err;
    EXPECT_EQ(f.out, "\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\n"
                     "    svcVersion    REG_SZ    11.0.250\n\n");
    f = Reg({"query", "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer", "/v", "missing"});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_EQ(f.err, "ERROR: The system was unable to find the specified registry key or value.\n");
    EXPECT_EQ(Reg({"query", "HKCU\\Software\\Missing"}).exitCode, 1);
}

TEST_F(RegTool, AddsQueriesAndDeletes) {
    struct Case {
        std::vector<std::string> add;
        std::string line;
    } cases[] = {
        {{"/v", "Count", "/t", "REG_DWORD", "/d", "11"}, "    Count    REG_DWORD    0xb"},
        {{"/v", "Hex", "/t", "REG_DWORD", "/d", "0x2af8"}, "    Hex    REG_DWORD    0x2af8"},
        {{"/v", "이름", "/d", "봄날의 숲"}, "    이름    REG_SZ    봄날의 숲"},
        {{"/ve", "/d", "default"}, "    (Default)    REG_SZ    default"},
        {{"/v", "Bytes", "/t", "REG_BINARY", "/d", "0a0B"}, "    Bytes    REG_BINARY    0A0B"},
        {{"/v", "List", "/t", "REG_MULTI_SZ", "/d", "a\\0b"}, "    List    REG_MULTI_SZ    a\\0b"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"add", "HKCU\\Software\\Vireo Test"};
        args.insert(args.end(), c.add.begin(), c.add.end());
        args.push_back("/f");
        Finished f = Reg(args);
        EXPECT_EQ(f.exitCode, 0) << f.err;
        EXPECT_EQ(f.out, "The operation completed successfully.\n");
    }
    Finished all = Reg({"query", "HKCU\\Software\\Vireo Test"});
    EXPECT_EQ(all.exitCode, 0);
    for (const Case& c : cases)
        EXPECT_NE(all.out.find(c.line + "\n"), std::string::npos) << c.line << "\n" << all.out;

    EXPECT_EQ(Reg({"add", "HKCU\\Software\\Vireo Test", "/v", "Count", "/t", "REG_DWORD", "/d", "x", "/f"})
                  .exitCode,
              1)
        << "data that is no number";
    Finished declined = Reg({"add", "HKCU\\Software\\Vireo Test", "/v", "Count", "/d", "1"}, "no\n");
    EXPECT_NE(declined.out.find("overwrite"), std::string::npos);
    EXPECT_NE(Reg({"query", "HKCU\\Software\\Vireo Test", "/v", "Count"}).out.find("0xb"), std::string::npos);

    EXPECT_EQ(Reg({"delete", "HKCU\\Software\\Vireo Test", "/v", "Count", "/f"}).exitCode, 0);
    EXPECT_EQ(Reg({"query", "HKCU\\Software\\Vireo Test", "/v", "Count"}).exitCode, 1);
    EXPECT_EQ(Reg({"delete", "HKCU\\Software\\Vireo Test", "/v", "Count", "/f"}).exitCode, 1);
    EXPECT_EQ(Reg({"add", "HKCU\\Software\\Vireo Test\\Sub\\Deeper", "/f"}).exitCode, 0);
    EXPECT_EQ(Reg({"delete", "HKCU\\Software\\Vireo Test", "/f"}).exitCode, 0);
    EXPECT_EQ(Reg({"query", "HKCU\\Software\\Vireo Test"}).exitCode, 1);
}

TEST_F(RegTool, ExportAndImportRoundTrip) {
    ASSERT_EQ(
        Reg({"add", "HKCU\\Software\\Book\\Sub", "/v", "n", "/t", "REG_DWORD", "/d", "7", "/f"}).exitCode, 0);
    ASSERT_EQ(Reg({"add", "HKCU\\Software\\Book", "/v", "title", "/d", "봄날", "/f"}).exitCode, 0);
    std::string file = (prefix.path() / "book.reg").string();
    ASSERT_EQ(Reg({"export", "HKCU\\Software\\Book", file, "/y"}).exitCode, 0);
    std::string text = vireo::test::ReadFile(file);
    EXPECT_EQ(text, "Windows Registry Editor Version 5.00\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Book]\n\"title\"=\"봄날\"\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Book\\Sub]\n\"n\"=dword:00000007\n");
    ASSERT_EQ(Reg({"delete", "HKCU\\Software\\Book", "/f"}).exitCode, 0);
    ASSERT_EQ(Reg({"import", file}).exitCode, 0);
    EXPECT_NE(Reg({"query", "HKCU\\Software\\Book\\Sub", "/v", "n"}).out.find("0x7"), std::string::npos);

    vireo::test::WriteFile(prefix.path() / "bad.reg", "not a registry file\n");
    EXPECT_EQ(Reg({"import", (prefix.path() / "bad.reg").string()}).exitCode, 1);
}

TEST_F(RegTool, ProtectedKeysNeedTheRightsThePrefixGrants) {
    vireo::test::WriteFile(prefix.path() / "prefix.conf", "codepage=949\nelevation=denied\ndrive.Z=/\n");
    Finished f = Reg({"add", "HKLM\\SOFTWARE\\Vireo", "/f"});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_EQ(f.err, "ERROR: Access is denied.\n");
    EXPECT_EQ(Reg({"query", "HKLM\\SOFTWARE\\Microsoft\\Internet Explorer"}).exitCode, 0);
}

// Names and data outside any code page are kept exactly: two values named by two emoji
// stay two values.
TEST_F(RegTool, KeepsEveryCharacter) {
    ASSERT_EQ(Reg({"add", "HKCU\\Software\\😀키", "/v", "😀", "/d", "😀 grinning", "/f"}).exitCode, 0);
    ASSERT_EQ(Reg({"add", "HKCU\\Software\\😀키", "/v", "😎", "/d", "😎 cool", "/f"}).exitCode, 0);
    Finished f = Reg({"query", "HKCU\\Software\\😀키"});
    EXPECT_EQ(f.out, "\nHKEY_CURRENT_USER\\Software\\😀키\n"
                     "    😀    REG_SZ    😀 grinning\n"
                     "    😎    REG_SZ    😎 cool\n\n")
        << f.err;
    std::string file = (prefix.path() / "emoji.reg").string();
    ASSERT_EQ(Reg({"export", "HKCU\\Software\\😀키", file, "/y"}).exitCode, 0);
    ASSERT_EQ(Reg({"delete", "HKCU\\Software\\😀키", "/f"}).exitCode, 0);
    ASSERT_EQ(Reg({"import", file}).exitCode, 0);
    EXPECT_EQ(Reg({"query", "HKCU\\Software\\😀키"}).out, f.out);
}

// Input that used never to end, and failures that used to be reported as success.
TEST_F(RegTool, EndsWithAClearErrorOnHostileInput) {
    Finished f =
        Reg({"add", "HKCU\\Software\\X", "/v", "m", "/t", "REG_MULTI_SZ", "/s", "", "/d", "abc", "/f"});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_NE(f.err.find("separator"), std::string::npos) << f.err;

    f = Reg({"import", "/dev/zero"});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_NE(f.err.find("larger than a registry file can be"), std::string::npos) << f.err;

    f = Reg({"export", "HKLM\\SOFTWARE", "/dev/full", "/y"});
    EXPECT_EQ(f.exitCode, 1) << "a full disk is no success";
    EXPECT_EQ(f.out, "");
    EXPECT_NE(f.err.find("No space left on device"), std::string::npos) << f.err;

    f = Reg({"add", "HKCU\\Software\\X", "/v", std::string(16384, 'v'), "/d", "1", "/f"});
    EXPECT_EQ(f.exitCode, 1);
    f = Reg({"add", "HKCU\\Software\\" + std::string(256, 'k'), "/f"});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_NE(f.err.find("Invalid key name"), std::string::npos) << f.err;
}

TEST_F(RegTool, AnImportIsAllOrNothing) {
    ASSERT_EQ(Reg({"add", "HKCU\\Software\\Kept", "/v", "n", "/d", "before", "/f"}).exitCode, 0);
    std::string before = vireo::test::ReadFile(prefix.path() / "user.reg");
    const std::string head = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Kept]\n\"n\"=\"after\"\n\n"
                             "[HKEY_CURRENT_USER\\Software\\New]\n\n";
    const std::string tails[] = {
        "[HKEY_NOWHERE\\Software]\n",                                     // an unknown root
        "[HKEY_CURRENT_USER\\Software\\" + std::string(256, 'k') + "]\n", // an over-long key name
        "[-HKEY_CURRENT_USER]\n",                                         // a root cannot be deleted
        "[HKEY_CURRENT_USER\\Software]\n\"v\"=dword:xyz\n",               // malformed data
    };
    for (const std::string& tail : tails) {
        vireo::test::WriteFile(prefix.path() / "part.reg", head + tail);
        Finished f = Reg({"import", (prefix.path() / "part.reg").string()});
        EXPECT_EQ(f.exitCode, 1) << tail;
        EXPECT_NE(f.err, "") << tail;
        EXPECT_EQ(vireo::test::ReadFile(prefix.path() / "user.reg"), before) << "nothing changed by " << tail;
    }
    EXPECT_NE(Reg({"query", "HKCU\\Software\\Kept", "/v", "n"}).out.find("before"), std::string::npos);
}

TEST_F(RegTool, AQuestionWithoutAnswerIsNo) {
    ASSERT_EQ(Reg({"add", "HKCU\\Software\\Asked", "/v", "n", "/d", "first", "/f"}).exitCode, 0);
    Finished f =
        Reg({"add", "HKCU\\Software\\Asked", "/v", "n", "/d", "second"}); // standard input at its end
    EXPECT_NE(f.out.find("standard input is closed"), std::string::npos) << f.out;
    EXPECT_NE(f.out.find("The operation was canceled."), std::string::npos) << f.out;
    EXPECT_NE(Reg({"query", "HKCU\\Software\\Asked", "/v", "n"}).out.find("first"), std::string::npos);
    f = Reg({"delete", "HKCU\\Software\\Asked"});
    EXPECT_NE(f.out.find("standard input is closed"), std::string::npos) << f.out;
    EXPECT_EQ(Reg({"query", "HKCU\\Software\\Asked"}).exitCode, 0) << "still there";
}

} // namespace
