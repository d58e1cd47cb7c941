#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/core/WinApp.h"
#include "shell/TessiverCommandLineInfo.h"

namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> params;
    const char* source;
    const char* target;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, FirstTwoParametersAreTheFilesAndNothingElseIsRecognised) {
    const CommandLineCase& c = GetParam();
    CWinApp app;
    std::vector<std::string> args{"tessiver"};
    args.insert(args.end(), c.params.begin(), c.params.end());
    app.SetCommandLine(args);
    CTessiverCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_sourceArg, c.source);
    EXPECT_EQ(info.m_targetArg, c.target);
    // The base part keeps the framework's defaults: nothing is handed to it.
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_EQ(info.m_strFileName, "");
}

const CommandLineCase kCases[] = {
    {"None", {}, "", ""},
    {"One", {"a.txt"}, "a.txt", ""},
    {"Two", {"a.txt", "b.txt"}, "a.txt", "b.txt"},
    {"ThreeIgnoresTheThird", {"a.txt", "b.txt", "c.txt"}, "a.txt", "b.txt"},
    {"LeadingDashIsStripped", {"-a.txt", "b.txt"}, "a.txt", "b.txt"},
    {"AbsolutePathsStayWhole", {"/home/u/a.txt", "/tmp/b.txt"}, "/home/u/a.txt", "/tmp/b.txt"},
    {"PrintFlagIsAFileName", {"-p", "/p"}, "p", "/p"},
    {"OnlyOneDashIsStripped", {"--x"}, "-x", ""},
};

INSTANTIATE_TEST_SUITE_P(Parameters, CommandLineTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The framework's own parser still recognises its options for programs that keep it.
TEST(FrameworkCommandLineTest, BaseParserTakesTheFirstFileAndThePrintFlag) {
    CCommandLineInfo info;
    info.ParseParam("p", true, false);
    info.ParseParam("a.txt", false, true);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(info.m_strFileName, "a.txt");
}

}  // namespace
