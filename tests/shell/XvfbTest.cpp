// The real program in a real X server: started on two files, it must draw the comparison where
// the rows belong in both panes, and store its placement when closed as the user would close it
// (the window manager's close request).
#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/RegistryKey.h"
#include "framework/registry/Registry.h"

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

// A window manager on the server, so that windows get frames and title bars.
class WindowManager {
public:
    bool Start(const std::string& display, Display* connection) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromStdString(display));
        m_process.setProcessEnvironment(env);
        m_process.start(QStandardPaths::findExecutable("openbox"), {"--sm-disable"});
        if (!m_process.waitForStarted(10000)) {
            return false;
        }
        // Running once it announces itself on the root window.
        const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
        for (int attempt = 0; attempt < 200; ++attempt) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0;
            unsigned long after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(connection, DefaultRootWindow(connection), check, 0, 1, False,
                                   AnyPropertyType, &type, &format, &items, &after,
                                   &data) == Success &&
                data != nullptr) {
                XFree(data);
                if (items == 1) {
                    return true;
                }
            }
            if (m_process.waitForFinished(50)) {
                return false;
            }
        }
        return false;
    }
    ~WindowManager() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};

using DisplayPtr = std::unique_ptr<Display, int (*)(Display*)>;

// The window of that name anywhere below parent: a window manager puts each top-level window
// into a frame of its own.
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
        if (!found) {
            found = FindWindowNamed(display, children[i], name);
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

// Asks the window to close, as the window manager's close button does.
void CloseLikeTheUser(Display* display, Window window) {
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// The window's outer rectangle: its client area on the screen with the frame the window manager
// put around it (_NET_FRAME_EXTENTS: left, right, top, bottom). Nothing until it is framed.
std::optional<RECT> OuterRect(Display* display, Window window) {
    const Atom extentsAtom = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, extentsAtom, 0, 4, False, AnyPropertyType, &type,
                           &format, &items, &after, &data) != Success ||
        data == nullptr) {
        return std::nullopt;
    }
    long extents[4] = {};
    if (items == 4 && format == 32) {
        std::copy_n(reinterpret_cast<const long*>(data), 4, extents);
    }
    XFree(data);
    XWindowAttributes attributes{};
    int x = 0;
    int y = 0;
    Window child = 0;
    if (items != 4 || extents[2] == 0 || XGetWindowAttributes(display, window, &attributes) == 0 ||
        !XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y,
                               &child)) {
        return std::nullopt;
    }
    return RECT{static_cast<LONG>(x - extents[0]), static_cast<LONG>(y - extents[2]),
                static_cast<LONG>(x + attributes.width + extents[1]),
                static_cast<LONG>(y + attributes.height + extents[3])};
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// The placement the program stored in the settings folder, when its show state is show.
std::optional<RECT> StoredPlacement(const QString& config, DWORD show) {
    SetRegistryStorePath((config + "/Corvessa/Tessiver.reg").toStdString());
    constexpr DWORD kAbsent = 0xDEADBEEF;
    std::optional<RECT> rect;
    {
        CRegistryKey key("software\\Corvessa\\Tessiver\\Window", HKEY_CURRENT_USER);
        const DWORD values[] = {key.ReadInt("left", kAbsent), key.ReadInt("top", kAbsent),
                                key.ReadInt("right", kAbsent), key.ReadInt("bottom", kAbsent)};
        EXPECT_EQ(key.ReadInt("show", kAbsent), show);
        EXPECT_EQ(key.ReadInt("flags", kAbsent), 0u);
        if (std::find(std::begin(values), std::end(values), kAbsent) == std::end(values)) {
            rect = RECT{static_cast<LONG>(values[0]), static_cast<LONG>(values[1]),
                        static_cast<LONG>(values[2]), static_cast<LONG>(values[3])};
        }
    }
    SetRegistryStorePath({});
    return rect;
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

    CloseLikeTheUser(display.get(), *window);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    const std::optional<RECT> stored = StoredPlacement(dir.path() + "/config", 1);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->right - stored->left, attributes.width);
    EXPECT_EQ(stored->bottom - stored->top, attributes.height);
}

// Under a window manager the window's frame and title bar are on the screen at the first run
// and after a stored placement that meets no screen is rescued, and the stored rectangle is the
// frame's: a placement saved and loaded again does not move or grow the window.
TEST(XvfbTest, TheFrameIsOnTheScreenAndAPlacementKeepsItsPlace) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("openbox").isEmpty()) {
        GTEST_SKIP() << "Xvfb or openbox is not installed";
    }
    constexpr LONG kScreenWidth = 1024;
    constexpr LONG kScreenHeight = 768;
    struct Case {
        const char* name;
        std::optional<RECT> stored;
        RECT expected;  // the outer rectangle on the screen
    };
    const Case cases[] = {
        // The system's place (the screen's top left, three quarters of it each way), one pixel
        // lower, wider and taller.
        {"FirstRun", std::nullopt, {0, 1, kScreenWidth * 3 / 4 + 1, kScreenHeight * 3 / 4 + 2}},
        {"Rescued", RECT{3000, 2000, 3500, 2300}, {0, 0, 500, 300}},
        {"Stored", RECT{100, 120, 700, 520}, {100, 120, 700, 520}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString config = dir.path() + "/config";
        if (c.stored) {
            SetRegistryStorePath((config + "/Corvessa/Tessiver.reg").toStdString());
            CRegistryKey key("software\\Corvessa\\Tessiver\\Window", HKEY_CURRENT_USER);
            key.WriteInt("top", static_cast<DWORD>(c.stored->top));
            key.WriteInt("right", static_cast<DWORD>(c.stored->right));
            key.WriteInt("left", static_cast<DWORD>(c.stored->left));
            key.WriteInt("bottom", static_cast<DWORD>(c.stored->bottom));
            key.WriteInt("show", SW_SHOWNORMAL);
            key.WriteInt("flags", 0);
            SetRegistryStorePath({});
        }
        XServer server;
        ASSERT_TRUE(server.Start());
        DisplayPtr display(XOpenDisplay(server.Name().c_str()), &XCloseDisplay);
        ASSERT_NE(display, nullptr);
        WindowManager manager;
        ASSERT_TRUE(manager.Start(server.Name(), display.get()));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromStdString(server.Name()));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(TESSIVER_BINARY, {});
        ASSERT_TRUE(program.waitForStarted(10000));

        // The frame reaches its place once the window manager has framed the window.
        std::optional<Window> window;
        std::optional<RECT> outer;
        for (int attempt = 0; attempt < 300; ++attempt) {
            window = FindWindowNamed(display.get(), DefaultRootWindow(display.get()),
                                     "Tessiver 1.03");
            outer = window ? OuterRect(display.get(), *window) : std::nullopt;
            if (outer && SameRect(*outer, c.expected)) {
                break;
            }
            ASSERT_FALSE(program.waitForFinished(50)) << program.readAllStandardError().toStdString();
        }
        ASSERT_TRUE(outer.has_value()) << "never framed";
        EXPECT_TRUE(SameRect(*outer, c.expected)) << Describe(*outer);

        CloseLikeTheUser(display.get(), *window);
        ASSERT_TRUE(program.waitForFinished(20000));
        const std::optional<RECT> stored = StoredPlacement(config, SW_SHOWNORMAL);
        ASSERT_TRUE(stored.has_value());
        EXPECT_TRUE(SameRect(*stored, *outer)) << Describe(*stored);
    }
}

}  // namespace
