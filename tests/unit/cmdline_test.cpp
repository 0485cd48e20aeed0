// The framework's command-line grammar.
#include <gtest/gtest.h>

#include "platform/afx/winapp.h"
#include "tests/support/test_support.h"

namespace {

struct CommandLineCase {
    std::vector<std::string> args;
    int command;
    const char* fileName;
    BOOL embedded;
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, ParsesTheFrameworkGrammar) {
    vireo::test::TempPrefix prefix;
    CWinApp app("Test");
    std::vector<std::string> args{"VireoPlayer"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    app.SetCommandLineArguments(args);
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, GetParam().command);
    EXPECT_STREQ(info.m_strFileName, GetParam().fileName);
    EXPECT_EQ(info.m_bRunEmbedded, GetParam().embedded);
}

using C = CCommandLineInfo;
INSTANTIATE_TEST_SUITE_P(
    Forms, CommandLine,
    ::testing::Values(CommandLineCase{{}, C::FileNew, "", FALSE},
                      CommandLineCase{{"D:\\book.txt"}, C::FileOpen, "D:\\book.txt", FALSE},
                      CommandLineCase{{"/p", "a.txt"}, C::FilePrint, "a.txt", FALSE},
                      CommandLineCase{{"-pt", "a.txt", "printer"}, C::FilePrintTo, "a.txt", FALSE},
                      CommandLineCase{{"/P", "a.txt"}, C::FileOpen, "a.txt", FALSE},
                      CommandLineCase{{"/Register"}, C::AppRegister, "", FALSE},
                      CommandLineCase{{"/regserver"}, C::AppRegister, "", FALSE},
                      CommandLineCase{{"-RegisterPerUser"}, C::AppRegister, "", FALSE},
                      CommandLineCase{{"/RegserverPerUser"}, C::AppRegister, "", FALSE},
                      CommandLineCase{{"/Unregister"}, C::AppUnregister, "", FALSE},
                      CommandLineCase{{"/UNREGSERVER"}, C::AppUnregister, "", FALSE},
                      CommandLineCase{{"/UnregisterPerUser"}, C::AppUnregister, "", FALSE},
                      CommandLineCase{{"/UnregserverPerUser"}, C::AppUnregister, "", FALSE},
                      CommandLineCase{{"/Embedding"}, C::FileNew, "", TRUE},
                      CommandLineCase{{"/Automation"}, C::FileNew, "", FALSE},
                      CommandLineCase{{"/RestartByRestartManager:42"}, C::RestartByRestartManager, "", FALSE},
                      CommandLineCase{
                          {"/RestartByRestartManager", "42"}, C::RestartByRestartManager, "", FALSE},
                      CommandLineCase{{"/dde"}, C::FileDDE, "", FALSE},
                      CommandLineCase{{"/ddenoshow"}, C::FileDDENoShow, "", FALSE},
                      CommandLineCase{{"/unknown", "x.txt"}, C::FileOpen, "x.txt", FALSE}));

} // namespace
