// The framework's core services that need no window: resource strings and the command line.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/CommandLineInfo.h"
#include "framework/core/Resources.h"

namespace {

TEST(Resources, SubStringsOfATemplateString) {
    const std::string text = "Tessiver 1.03\n\nTessiv\n\n\nTessiver.Document\nTessiv Document";
    const struct {
        int n;
        const char* want;
    } cases[] = {{0, "Tessiver 1.03"},   {1, ""}, {2, "Tessiv"}, {5, "Tessiver.Document"},
                 {6, "Tessiv Document"}, {7, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(AfxExtractSubString(text, c.n), c.want);
    }
}

// The base class takes the first file and the print flag; the program's own parser replaces it.
TEST(CommandLine, BaseParserTakesTheFirstFileAndThePrintFlag) {
    CCommandLineInfo info;
    info.ParseParam("p", true, false);
    info.ParseParam("a.txt", false, false);
    info.ParseParam("b.txt", false, true);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(info.m_strFileName, "a.txt");
}

}  // namespace
