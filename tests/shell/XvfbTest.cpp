// The real program in a real X server: started on two files, it must draw the comparison where
// the rows belong in both panes, and store its placement when closed as the user would close it
// (the window manager's close request).
#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/RegistryKey.h"
#include "framework/Registry.h"

// Last: the X headers define macros (None, Bool, Status) that clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr unsigned long kSilver = 0xC0C0C0;

// The X server for one test, on the first free display number.
class XServer {
public:
    bool Start() {
        m_process.setProgram(QStandardPaths::findExecutable("Xvfb"));
        m_process.setArguments(
            {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        m_process.start();
        if (!m_process.waitForStarted(10000)) {
            return false;
        }
        QByteArray number;
        while (!number.contains('\n') && m_process.waitForReadyRead(10000)) {
            number += m_process.readAllStandardOutput();
        }
        m_display = ":" + number.trimmed().toStdString();
        return !number.trimmed().isEmpty();
    }
    ~XServer() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    const std::string& Name() const { return m_display; }

private:
    QProcess m_process;
    std::string m_display;
};

using DisplayPtr = std::unique_ptr<Display, int (*)(Display*)>;

std::optional<Window> FindWindowNamed(Display* display, Window parent, const char* name) {
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0) {
        return std::nullopt;
    }
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* windowName = nullptr;
        if (XFetchName(display, children[i], &windowName) != 0 && windowName != nullptr) {
            if (std::string(windowName) == name) {
                found = children[i];
            }
            XFree(windowName);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

// Where the first run of at least kRun silver pixels starts on row y within [x0, x1), or -1.
// Line numbers are drawn in silver too, and icons hold silver: only a highlighted text cell
// background gives a run that long.
constexpr int kRun = 24;

int SilverRunStart(XImage* image, int x0, int x1, int y) {
    int run = 0;
    for (int x = x0; x < x1; ++x) {
        run = (XGetPixel(image, x, y) & 0xFFFFFF) == kSilver ? run + 1 : 0;
        if (run == kRun) {
            return x - kRun + 1;
        }
    }
    return -1;
}

// The y ranges [begin, end) of the rows whose stretch [x0, x1) shows a good share of silver: a
// highlighted text background, glyphs and all. Only bands a full row (16 pixels) high count,
// which leaves out the icons and the line numbers.
std::vector<std::pair<int, int>> SilverBands(XImage* image, int x0, int x1, int height) {
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < height; ++y) {
        int count = 0;
        for (int x = x0; x < x1; ++x) {
            count += (XGetPixel(image, x, y) & 0xFFFFFF) == kSilver ? 1 : 0;
        }
        if (count >= (x1 - x0) / 8) {
            if (!bands.empty() && bands.back().second == y) {
                bands.back().second = y + 1;
            } else {
                bands.emplace_back(y, y + 1);
            }
        }
    }
    std::erase_if(bands, [](const auto& band) { return band.second - band.first < 16; });
    return bands;
}

TEST(XvfbTest, ProgramDrawsBothPanesAndStoresItsPlacementWhenClosed) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Rows: 0 changed, 1 equal, 2 changed, 3 only in the target.
    const auto write = [&](const char* name, const char* text) {
        QFile file(dir.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    const QString source = write("source.txt", "first line\nsame\nthird line\n");
    const QString target = write("target.txt", "FIRST LINE\nsame\nTHIRD LINE\nfourth\n");

    XServer server;
    ASSERT_TRUE(server.Start());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(server.Name()));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(TESSIVER_BINARY, {source, target});
    ASSERT_TRUE(program.waitForStarted(10000));

    DisplayPtr display(XOpenDisplay(server.Name().c_str()), &XCloseDisplay);
    ASSERT_NE(display, nullptr);
    const Window root = DefaultRootWindow(display.get());

    // Wait until the window is there and both panes show the comparison.
    std::optional<Window> window;
    std::vector<std::pair<int, int>> left;
    std::vector<std::pair<int, int>> right;
    XWindowAttributes attributes{};
    const auto destroyImage = [](XImage* p) { XDestroyImage(p); };
    std::unique_ptr<XImage, decltype(destroyImage)> image(nullptr, destroyImage);
    for (int attempt = 0; attempt < 300; ++attempt) {
        window = FindWindowNamed(display.get(), root, "Tessiver 1.03");
        if (window && XGetWindowAttributes(display.get(), *window, &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            image.reset(XGetImage(display.get(), *window, 0, 0,
                                  static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap));
            if (image) {
                const int half = attributes.width / 2;
                // The texts start 40 pixels into each pane; look a little further in.
                left = SilverBands(image.get(), 50, 130, attributes.height);
                right = SilverBands(image.get(), half + 60, half + 140, attributes.height);
                if (left.size() >= 2 && right.size() >= 2) {
                    break;
                }
            }
        }
        ASSERT_FALSE(program.waitForFinished(100))
            << "the program ended early, exit status " << program.exitCode() << ":\n"
            << program.readAllStandardError().toStdString();
    }
    ASSERT_TRUE(window.has_value());
    ASSERT_TRUE(image);

    // The source pane: rows 0 and 2 highlighted, row 3 has no source text to highlight.
    const auto describe = [](const std::vector<std::pair<int, int>>& bands) {
        std::string text;
        for (const auto& [begin, end] : bands) {
            text += " [" + std::to_string(begin) + "," + std::to_string(end) + ")";
        }
        return text;
    };
    ASSERT_EQ(left.size(), 2u) << describe(left);
    // A row is 16 pixels; a text cell may reach a little into the row below where that row
    // draws nothing over it.
    EXPECT_GE(left[0].second - left[0].first, 16);
    EXPECT_LT(left[0].second - left[0].first, 24);
    EXPECT_EQ(left[1].first - left[0].first, 32);
    // The target pane: rows 0, 2 and 3 (2 and 3 touch), level with the source pane's rows.
    ASSERT_EQ(right.size(), 2u) << describe(right);
    EXPECT_EQ(right[0].first, left[0].first);
    EXPECT_EQ(right[1].first, left[1].first);
    EXPECT_GE(right[1].second - right[1].first, 32);
    EXPECT_LT(right[1].second - right[1].first, 40);
    // Texts start 40 pixels into each pane: the source pane at the window's left edge, the
    // target pane about the middle.
    const int y = left[0].first;
    const int sourceText = SilverRunStart(image.get(), 0, attributes.width / 2, y);
    const int targetText = SilverRunStart(image.get(), attributes.width / 2, attributes.width, y);
    EXPECT_GE(sourceText, 40);
    EXPECT_LE(sourceText, 48);
    EXPECT_NEAR(targetText - 40, attributes.width / 2, 16);

    // Close it as the window manager's close button would.
    const Atom protocols = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display.get(), "WM_DELETE_WINDOW", False);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = *window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display.get(), *window, False, NoEventMask, &event);
    XFlush(display.get());
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    SetRegistryStorePath((dir.path() + "/config/Corvessa/Tessiver.reg").toStdString());
    {
        CRegistryKey key("software\\Corvessa\\Tessiver\\Window", HKEY_CURRENT_USER);
        constexpr DWORD kAbsent = 0xDEADBEEF;
        const DWORD top = key.ReadInt("top", kAbsent);
        const DWORD right = key.ReadInt("right", kAbsent);
        const DWORD leftEdge = key.ReadInt("left", kAbsent);
        const DWORD bottom = key.ReadInt("bottom", kAbsent);
        EXPECT_EQ(key.ReadInt("show", kAbsent), 1u);
        EXPECT_EQ(key.ReadInt("flags", kAbsent), 0u);
        ASSERT_NE(top, kAbsent);
        ASSERT_NE(leftEdge, kAbsent);
        EXPECT_EQ(static_cast<int>(right - leftEdge), attributes.width);
        EXPECT_EQ(static_cast<int>(bottom - top), attributes.height);
    }
    SetRegistryStorePath({});
}

}  // namespace
