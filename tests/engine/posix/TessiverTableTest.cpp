#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/common/ScratchDir.h"

namespace {

struct CRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the built tessiver-table with the arguments (single-quoted for the shell), in the test's
// folder.
CRun RunTable(const CScratchDir& files, const std::vector<std::string>& args) {
    std::string command = "cd '" + files.Path("") + "' && '" TESSIVER_TABLE_PATH "'";
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    const std::string out = files.Path("stdout");
    const std::string err = files.Path("stderr");
    command += " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status)) << command;
    return {WEXITSTATUS(status), CScratchDir::Read(out), CScratchDir::Read(err)};
}

TEST(TessiverTable, PrintsEveryRowAndTheSummary) {
    const CScratchDir files;
    const CRun run = RunTable(files, {files.Write("s", "a\n\tb\r\nc\rx\n\nd\n"),
                                      files.Write("t", "a\nB\nc\rx\n\n\ne\n")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "1\t1\t1\ta\ta\n"
              "0\t2\t2\t    b\tB\n"
              "1\t3\t3\tc\rx\tc\rx\n"
              "0\t4\t4\t\t\n"
              "0\t5\t5\td\t\n"
              "3\t0\t6\t\te\n"
              "# 6 rows, 3 differences\n");
    EXPECT_EQ(run.err, "");
}

TEST(TessiverTable, AFileThatCannotBeOpenedIsAnError) {
    const CScratchDir files;
    const std::string text = files.Write("t", "a\n");
    const std::string missing = files.Path("missing");
    const std::string folder = files.Path("");
    const std::string noFile = std::strerror(ENOENT);
    const std::string isFolder = std::strerror(EISDIR);
    struct Case {
        const char* name;
        std::string source, target, message;
    };
    for (const Case& c : {Case{"MissingSource", missing, text, missing + ": " + noFile},
                          Case{"MissingTarget", text, missing, missing + ": " + noFile},
                          Case{"FolderAsTarget", text, folder, folder + ": " + isFolder}}) {
        SCOPED_TRACE(c.name);
        const CRun run = RunTable(files, {c.source, c.target});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "tessiver-table: " + c.message + "\n");
    }
    // Files that open but hold no line are no error.
    const std::string empty = files.Write("empty", "");
    const CRun run = RunTable(files, {empty, empty});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "# no result\n");
    EXPECT_EQ(RunTable(files, {"-q", empty, empty}).out, "# no result\n");
}

// A named pipe with no writer reads as an empty file instead of waiting for one; a pipe that
// has a writer is read to its end.
TEST(TessiverTable, PipesNeverWaitForAWriter) {
    const CScratchDir files;
    const std::string fifo = files.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const CRun alone = RunTable(files, {files.Write("s", "a\n"), fifo});
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(alone.out, "2\t1\t0\ta\t\n# 1 rows, 1 differences\n");

    const std::string out = files.Path("stdout");
    const std::string command = "printf 'a\\nb\\n' | '" TESSIVER_TABLE_PATH "' --brief '" +
                                files.Path("s") + "' /dev/stdin >'" + out + "'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(CScratchDir::Read(out), "# 2 rows, 1 differences\n");
}

// A block longer than the look-ahead windows: --realign keeps the rows after it in step, alone
// or with --brief, in any order.
TEST(TessiverTable, RealignStepsOverALongBlock) {
    const CScratchDir files;
    std::string block;
    for (int i = 0; i < 25; ++i) {
        block += "new " + std::to_string(i) + "\n";
    }
    const std::string s = files.Write("s", "a\nb\n");
    const std::string t = files.Write("t", "a\n" + block + "b\n");
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    for (const Case& c : {Case{{"--realign", s, t}, "1\t2\t27\tb\tb\n# 27 rows, 25 differences\n"},
                          Case{{s, "--realign", t, "--brief"}, "# 27 rows, 25 differences\n"},
                          Case{{"-q", s, t}, "# 27 rows, 26 differences\n"}}) {
        const CRun run = RunTable(files, c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.ends_with(c.out)) << run.out;
    }
}

// The options, in short and long form, combine with each other, --realign and --brief: rows
// equal only under them are equal rows with both texts as read.
TEST(TessiverTable, OptionsCombineWithEachOtherRealignAndBrief) {
    const CScratchDir files;
    const std::string s = files.Write("s", "Int  x;\n\nreturn x;\n");
    std::string utf16 = "\xFF\xFE";  // UTF-16LE, ASCII only
    for (const char c : std::string("int x;\nreturn\tx;")) {
        utf16 += {c, '\0'};
    }
    const std::string t = files.Write("t", utf16);
    const std::string rows =
        "1\t1\t1\tInt  x;\tint x;\n"
        "2\t2\t0\t\t\n"
        "1\t3\t2\treturn x;\treturn    x;\n"
        "# 3 rows, 0 differences\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    for (const Case& c : {Case{{"-b", "-i", "-B", "--decode", s, t}, 0, rows},
                          Case{{"--realign", "--ignore-all-space", s, "--ignore-blank-lines",
                                "--ignore-case", t, "--decode"},
                               0,
                               rows},
                          Case{{"-q", "-b", "--decode", s, t}, 1, "# 3 rows, 1 differences\n"},
                          Case{{"-q", "-b", "-i", s, t}, 1, "# 3 rows, 3 differences\n"}}) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CRun run = RunTable(files, c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }
}

// --inline adds each row's changed spans, in bytes of the texts as printed (a tab against four
// spaces is four bytes), alone or with --realign; with --brief it has nothing to add.
TEST(TessiverTable, InlineAddsTheChangedSpans) {
    const CScratchDir files;
    const std::string s =
        files.Write("s", "same\n\tcat = 1;\nna\xC3\xAFve\n\tx\ty\tz\n\nonly here\n");
    const std::string t = files.Write("t", "same\n\tcot = 12;\nnaive\n    x\ty\tZ\nnow\n");
    const std::string rows =
        "1\t1\t1\tsame\tsame\t\t\n"
        "0\t2\t2\t    cat = 1;\t    cot = 12;\t5-6\t5-6,11-12\n"
        "0\t3\t3\tna\xC3\xAFve\tnaive\t2-4\t2-3\n"
        "0\t4\t4\t    x    y    z\t    x    y    Z\t0-4,14-15\t0-4,14-15\n"
        "0\t5\t5\t\tnow\t\t\n"
        "2\t6\t0\tonly here\t\t\t\n"
        "# 6 rows, 5 differences\n";
    EXPECT_EQ(RunTable(files, {"--inline", s, t}).out, rows);
    EXPECT_EQ(RunTable(files, {s, t, "--realign", "--inline"}).out, rows);
    EXPECT_EQ(RunTable(files, {"--inline", "-q", s, t}).out, "# 6 rows, 5 differences\n");
}

TEST(TessiverTable, ReadErrorNamesTheFileAndReason) {
    const CScratchDir files;
    const CRun run = RunTable(files, {files.Write("s", "a\n"), "/proc/self/mem"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("tessiver-table: /proc/self/mem: ") + std::strerror(EIO) + "\n");
}

TEST(TessiverTable, Usage) {
    const CScratchDir files;
    const std::string a = files.Write("a", "a\n");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        bool usageOnStdout;
    };
    for (const Case& c :
         {Case{"NoArguments", {}, 2, false}, Case{"OneArgument", {a}, 2, false},
          Case{"ThreeArguments", {a, a, a}, 2, false},
          Case{"UnknownOption", {"-x", a, a}, 2, false}, Case{"ShortHelp", {"-h"}, 0, true},
          Case{"LongHelp", {a, "--help"}, 0, true}}) {
        SCOPED_TRACE(c.name);
        const CRun run = RunTable(files, c.args);
        EXPECT_EQ(run.status, c.status);
        if (c.usageOnStdout) {
            EXPECT_EQ(run.out.rfind("Usage: tessiver-table [--brief] [--realign] [-b|-w] [-i] [-B] "
                                    "[--decode] [--inline]\n       [--progress] SOURCE TARGET\n",
                                    0),
                      0u)
                << run.out;
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_EQ(run.out, "");
            // One line naming the tool.
            EXPECT_EQ(run.err.rfind("tessiver-table: ", 0), 0u) << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
        }
    }
}

TEST(TessiverTable, DoubleDashEndsOptions) {
    const CScratchDir files;
    files.Write("-h", "a\n");
    const CRun run = RunTable(files, {"--", "-h", "-h"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "1\t1\t1\ta\ta\n# 1 rows, 0 differences\n");
}

}  // namespace
