// Start-up benchmark: the time from launching `tessiver SOURCE TARGET` until both panes show the
// comparison of a large pair, against `tessiver-table --brief SOURCE TARGET` (the comparison
// alone) on the same pair in the same run. The program runs in its own Xvfb server; "shown" means the first row, a
// difference, is highlighted in both panes on the screen.
//
// Usage: tessiver-startup-bench [--lines N] [--rounds R]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Last: the X headers define macros that clash with the headers above.
#include "tests/common/XWindows.h"

namespace {

// Writes a pair of `lines` lines each; every 50th line differs, the first one included.
bool WritePair(const QString& source, const QString& target, long lines) {
    QFile a(source);
    QFile b(target);
    if (!a.open(QIODevice::WriteOnly) || !b.open(QIODevice::WriteOnly)) {
        return false;
    }
    std::string bufA;
    std::string bufB;
    char line[128];
    for (long i = 0; i < lines; ++i) {
        const int n =
            std::snprintf(line, sizeof line,
                          "%07ld\tthe quick brown fox jumps over the lazy dog, line %ld\n", i, i);
        bufA.append(line, static_cast<std::size_t>(n));
        if (i % 50 == 0) {
            line[8] = 'T';
            line[9] = 'H';
            line[10] = 'E';
        }
        bufB.append(line, static_cast<std::size_t>(n));
        if (bufA.size() > (1 << 20)) {
            a.write(bufA.data(), static_cast<qint64>(bufA.size()));
            b.write(bufB.data(), static_cast<qint64>(bufB.size()));
            bufA.clear();
            bufB.clear();
        }
    }
    a.write(bufA.data(), static_cast<qint64>(bufA.size()));
    b.write(bufB.data(), static_cast<qint64>(bufB.size()));
    return true;
}

// Whether some 16 consecutive rows of the strip [x0, x1) are mostly highlighted.
bool HasHighlightedRow(XImage* image, int x0, int x1, int height) {
    int run = 0;
    for (int y = 0; y < height; ++y) {
        int count = 0;
        for (int x = x0; x < x1; ++x) {
            count += (XGetPixel(image, x, y) & 0xFFFFFF) == xwindows::kSilver ? 1 : 0;
        }
        run = count >= (x1 - x0) / 8 ? run + 1 : 0;
        if (run >= 16) {
            return true;
        }
    }
    return false;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    long lines = 1000000;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--lines") == 0) {
            lines = std::atol(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::atoi(argv[i + 1]);
        }
    }
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) {
        std::fprintf(stderr, "Xvfb is not installed\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString source = dir.path() + "/source.txt";
    const QString target = dir.path() + "/target.txt";
    if (!dir.isValid() || !WritePair(source, target, lines)) {
        std::fprintf(stderr, "cannot write the pair\n");
        return 2;
    }

    QProcess server;
    server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QByteArray number;
    while (!number.contains('\n') && server.waitForReadyRead(10000)) {
        number += server.readAllStandardOutput();
    }
    const std::string displayName = ":" + number.trimmed().toStdString();
    std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(displayName.c_str()),
                                                        &XCloseDisplay);
    if (number.trimmed().isEmpty() || !display) {
        std::fprintf(stderr, "cannot start Xvfb\n");
        return 2;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(displayName));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");

    std::vector<double> tableTimes;
    std::vector<double> windowTimes;
    for (int round = 0; round < rounds; ++round) {
        {
            QProcess table;
            table.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer timer;
            timer.start();
            table.start(TESSIVER_TABLE_BINARY, {"--brief", source, target});
            table.waitForFinished(-1);
            tableTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        }
        {
            QProcess program;
            program.setProcessEnvironment(env);
            QElapsedTimer timer;
            timer.start();
            program.start(TESSIVER_BINARY, {source, target});
            std::optional<Window> window;
            bool bShown = false;
            while (!bShown && !program.waitForFinished(5)) {
                XWindowAttributes attributes{};
                if (!window) {
                    window = xwindows::FindWindowNamed(display.get(), DefaultRootWindow(display.get()),
                                             "Tessiver 1.03");
                }
                if (!window || XGetWindowAttributes(display.get(), *window, &attributes) == 0 ||
                    attributes.map_state != IsViewable) {
                    continue;
                }
                // The panes' first rows lie in the upper part of the window.
                const int height = std::min(attributes.height, 160);
                XImage* image =
                    XGetImage(display.get(), *window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
                if (image == nullptr) {
                    continue;
                }
                const int half = attributes.width / 2;
                bShown = HasHighlightedRow(image, 50, 130, height) &&
                         HasHighlightedRow(image, half + 60, half + 140, height);
                XDestroyImage(image);
            }
            windowTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
            if (!bShown) {
                std::fprintf(stderr, "the window never showed the comparison\n");
                return 1;
            }
            if (window) {
                const Atom protocols = XInternAtom(display.get(), "WM_PROTOCOLS", False);
                const Atom deleteWindow = XInternAtom(display.get(), "WM_DELETE_WINDOW", False);
                XEvent event{};
                event.xclient.type = ClientMessage;
                event.xclient.window = *window;
                event.xclient.message_type = protocols;
                event.xclient.format = 32;
                event.xclient.data.l[0] = static_cast<long>(deleteWindow);
                XSendEvent(display.get(), *window, False, NoEventMask, &event);
                XFlush(display.get());
            }
            program.waitForFinished(30000);
        }
        std::printf("round %d: tessiver-table --brief %.3f s, tessiver window %.3f s\n", round + 1,
                    tableTimes.back(), windowTimes.back());
    }
    const double table = Median(tableTimes);
    const double window = Median(windowTimes);
    std::printf(
        "%ld lines per side, median of %d rounds: tessiver-table --brief %.3f s, "
        "tessiver until both panes show the comparison %.3f s, ratio %.2f\n",
        lines, rounds, table, window, window / table);
    display.reset();  // before the server goes: Xlib ends the process on a lost connection
    server.terminate();
    server.waitForFinished(5000);
    return 0;
}
