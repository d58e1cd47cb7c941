// tessiver-table asked to stop: by SIGINT or SIGTERM while it reads a file or prints the table;
// and its progress line, shown only on a terminal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/common/ScratchDir.h"

namespace {

// The tool running with its standard output on a pipe whose read end is out.
struct CChild {
    pid_t pid = -1;
    int out = -1;
};

// errFd (optional) becomes its standard error.
CChild Start(std::vector<std::string> args, int errFd = -1) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::dup2(errFd >= 0 ? errFd : STDERR_FILENO, STDERR_FILENO);
        args.insert(args.begin(), TESSIVER_TABLE_PATH);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        ::execv(TESSIVER_TABLE_PATH, argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

// Reads at least one byte more from fd into text, or up to the end; false at the end.
bool ReadSome(int fd, std::string& text) {
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return got > 0;
}

// Reads the rest of the child's output, then waits for it to end; its exit status, or -1 when
// it did not exit of its own.
int Finish(const CChild& child, std::string& out) {
    while (ReadSome(child.out, out)) {
    }
    ::close(child.out);
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// SIGINT and SIGTERM, and the status each ends the tool with.
constexpr std::pair<int, int> kStops[] = {{SIGINT, 130}, {SIGTERM, 143}};

// The table is printed a buffer at a time and the pipe holds far less than it, so once the first
// bytes arrive the tool is printing with most of the table to go.
TEST(TessiverTable, StopsWhilePrintingOnAWholeRowWithoutTheLastLine) {
    const CScratchDir files;
    std::string source, target;
    constexpr int kLines = 400'000;
    for (int i = 0; i < kLines; ++i) {
        source += "line " + std::to_string(i) + "\n";
        target += (i % 3 == 0 ? "other " : "line ") + std::to_string(i) + "\n";
    }
    files.Write("source", source);
    files.Write("target", target);
    for (const auto& [signal, status] : kStops) {
        SCOPED_TRACE("signal " + std::to_string(signal));
        const CChild child = Start({files.Path("source"), files.Path("target")});
        std::string out;
        ASSERT_TRUE(ReadSome(child.out, out));
        ::kill(child.pid, signal);
        EXPECT_EQ(Finish(child, out), status);

        ASSERT_TRUE(out.ends_with('\n'));
        EXPECT_EQ(out.find("\n#"), std::string::npos);
        const auto rows = std::count(out.begin(), out.end(), '\n');
        EXPECT_LT(rows, kLines);
        // The rows printed are the table's first rows, whole.
        const std::string lastRow = out.substr(out.rfind('\n', out.size() - 2) + 1);
        const std::string number = std::to_string(rows);
        EXPECT_EQ(lastRow.substr(2, 2 * number.size() + 1), number + "\t" + number) << lastRow;
        EXPECT_EQ(std::count(lastRow.begin(), lastRow.end(), '\t'), 4) << lastRow;
    }
}

// A named pipe as the source that this test keeps open for writing: the tool reads what is
// written and waits for more, so it is certainly reading when the signal comes; the next line
// written wakes it.
TEST(TessiverTable, StopsWhileReadingPrintingNothing) {
    for (const auto& [signal, status] : kStops) {
        SCOPED_TRACE("signal " + std::to_string(signal));
        const CScratchDir files;
        const std::string pipePath = files.Path("pipe");
        ASSERT_EQ(::mkfifo(pipePath.c_str(), 0600), 0);
        const int writer = ::open(pipePath.c_str(), O_RDWR);
        ASSERT_GE(writer, 0);
        const CChild child = Start({pipePath, files.Write("target", "a\n")});
        ASSERT_EQ(::write(writer, "a\n", 2), 2);
        // Wait until the tool has taken the line out of the pipe.
        for (int waiting = 2; waiting != 0;) {
            ASSERT_EQ(::ioctl(writer, FIONREAD, &waiting), 0);
            if (waiting != 0) {
                pollfd none{-1, 0, 0};
                ::poll(&none, 1, 1);
            }
        }
        ::kill(child.pid, signal);
        ASSERT_EQ(::write(writer, "b\n", 2), 2);
        std::string out;
        EXPECT_EQ(Finish(child, out), status);
        ::close(writer);
        EXPECT_EQ(out, "");
    }
}

// --progress writes to standard error only when it is a terminal: a pseudo-terminal here, whose
// other end this test reads once the tool has ended (the little it writes fits the terminal's
// buffer). The table is the same either way.
TEST(TessiverTable, ProgressShowsOnATerminalOnlyAndIsErasedBeforeTheTable) {
    const CScratchDir files;
    const std::vector<std::string> args{"--progress", files.Write("source", "a\nb\n"),
                                        files.Write("target", "a\nc\n")};
    const std::string table = "1\t1\t1\ta\ta\n0\t2\t2\tb\tc\n# 2 rows, 1 differences\n";

    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    const int side = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY);
    ASSERT_GE(side, 0);
    termios mode{};
    ASSERT_EQ(::tcgetattr(side, &mode), 0);
    ::cfmakeraw(&mode);  // the bytes as written, no CR added
    ASSERT_EQ(::tcsetattr(side, TCSANOW, &mode), 0);
    const CChild onTerminal = Start(args, side);
    ::close(side);
    std::string out;
    EXPECT_EQ(Finish(onTerminal, out), 1);
    EXPECT_EQ(out, table);
    std::string err;
    ASSERT_TRUE(ReadSome(terminal, err));
    ::close(terminal);
    EXPECT_EQ(err.rfind("\rtessiver-table: reading", 0), 0u) << err;
    EXPECT_NE(err.find('%'), std::string::npos) << err;
    EXPECT_EQ(err.substr(err.size() - 4), "\r\x1b[K") << err;

    const std::string errPath = files.Write("stderr", "");
    const int errFile = ::open(errPath.c_str(), O_WRONLY);
    ASSERT_GE(errFile, 0);
    const CChild onFile = Start(args, errFile);
    ::close(errFile);
    out.clear();
    EXPECT_EQ(Finish(onFile, out), 1);
    EXPECT_EQ(out, table);
    EXPECT_EQ(CScratchDir::Read(errPath), "");
}

}  // namespace
