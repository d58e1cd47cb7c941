// The real program in a real X server: started on two files, it must draw the comparison where
// the rows belong in both panes; under a window manager its frame and title bar must be on the
// screen; and closed as the user closes it (the window manager's close request), it must end and
// store the outer rectangle it had.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/RegistryKey.h"
#include "framework/registry/Registry.h"
#include "framework/registry/RegistryStore.h"
#include "tests/common/ScratchDir.h"
// Last: the X headers define macros (None, Bool, Status) that clash with the headers above.
#include "tests/common/XWindows.h"

namespace {

using namespace xwindows;
constexpr const char* kWindowKey = "software\\Corvessa\\Tessiver\\Window";

// One X server, optionally a window manager on it, and the program, for one test.
class Session {
public:
    // The server, then the window manager, announced on the root window once it runs.
    bool Start(bool bWindowManager) {
        if (!m_server.Start()) {
            return false;
        }
        m_env = {"DISPLAY=" + m_server.Name()};
        m_display.reset(XOpenDisplay(m_server.Name().c_str()));
        if (!m_display || !bWindowManager) {
            return m_display != nullptr;
        }
        m_manager.Start({"openbox", "--sm-disable"}, m_env);
        const Atom check = XInternAtom(Dpy(), "_NET_SUPPORTING_WM_CHECK", False);
        return WaitFor(
            [&] { return Property(Dpy(), DefaultRootWindow(Dpy()), check, 1).size() == 1; },
            &m_manager);
    }
    bool Run(const std::string& config, const std::vector<std::string>& args) {
        std::vector<std::string> argv = {TESSIVER_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> env = m_env;
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.push_back("XDG_CONFIG_HOME=" + config);
        return m_program.Start(argv, env);
    }
    // Polls until done() holds, while the process (the program unless said otherwise) runs;
    // false when it never did.
    bool WaitFor(const std::function<bool()>& done, CChild* process = nullptr) {
        process = process != nullptr ? process : &m_program;
        for (int attempt = 0; attempt < 300; ++attempt) {
            m_window = FindWindowNamed(Dpy(), DefaultRootWindow(Dpy()), "Tessiver 1.03");
            if (done()) {
                return true;
            }
            if (process->Wait(0.05)) {
                ADD_FAILURE() << "ended early";
                return false;
            }
        }
        return false;
    }
    // Asks the window to close, as the window manager's close button does; whether the program
    // then ended well.
    bool CloseLikeTheUser() {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = *m_window;
        event.xclient.message_type = XInternAtom(Dpy(), "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(Dpy(), "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(Dpy(), *m_window, False, NoEventMask, &event);
        XFlush(Dpy());
        return m_program.Wait(20) == 0;
    }

    Display* Dpy() const { return m_display.get(); }
    std::optional<Window> m_window;  // the program's, once it is there

private:
    // Declared in the order they start: they stop the other way round.
    CXServer m_server;
    DisplayPtr m_display{nullptr, &XCloseDisplay};
    CChild m_manager;
    CChild m_program;
    std::vector<std::string> m_env;
};

// The placement the program stored, as left, top, right, bottom, show state and flags.
std::vector<DWORD> StoredPlacement(const std::string& config) {
    SetRegistryStorePath(config + "/Corvessa/Tessiver.reg");
    std::vector<DWORD> values;
    {
        CRegistryKey key(kWindowKey, HKEY_CURRENT_USER);
        for (const char* name : {"left", "top", "right", "bottom", "show", "flags"}) {
            values.push_back(key.ReadInt(name, 0xDEADBEEF));
        }
    }
    SetRegistryStorePath({});
    return values;
}

bool Available(bool bWindowManager) {
    return std::system("command -v Xvfb >/dev/null") == 0 &&
           (!bWindowManager || std::system("command -v openbox >/dev/null") == 0);
}

TEST(XvfbTest, ProgramDrawsBothPanesAndEndsWhenClosed) {
    if (!Available(false)) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    CScratchDir dir;
    // Rows: 0 changed, 1 equal, 2 changed, 3 only in the target.
    const std::string source = dir.Write("source.txt", "first line\nsame\nthird line\n");
    const std::string target = dir.Write("target.txt", "FIRST LINE\nsame\nTHIRD LINE\nfourth\n");
    Session session;
    ASSERT_TRUE(session.Start(false));
    ASSERT_TRUE(session.Run(dir.Path("config"), {source, target}));

    // Wait until the window is there and both panes show the comparison.
    std::vector<std::pair<int, int>> left;
    std::vector<std::pair<int, int>> right;
    ASSERT_TRUE(session.WaitFor([&] {
        const ImagePtr image =
            session.m_window ? Capture(session.Dpy(), *session.m_window) : NoImage();
        if (!image) {
            return false;
        }
        // The texts start 40 pixels into each pane; look a little further in.
        const int half = image->width / 2;
        left = SilverBands(image.get(), 50, 130);
        right = SilverBands(image.get(), half + 60, half + 140);
        return left.size() >= 2 && right.size() >= 2;
    }));
    // The source pane: rows 0 and 2 highlighted, row 3 has no source text to highlight. A row is
    // 16 pixels; a text cell may reach a little into the row below where that draws nothing.
    ASSERT_EQ(left.size(), 2u) << testing::PrintToString(left);
    EXPECT_GE(left[0].second - left[0].first, 16);
    EXPECT_LT(left[0].second - left[0].first, 24);
    EXPECT_EQ(left[1].first - left[0].first, 32);
    // The target pane: rows 0, 2 and 3 (2 and 3 touch), level with the source pane's rows.
    ASSERT_EQ(right.size(), 2u) << testing::PrintToString(right);
    EXPECT_EQ(right[0].first, left[0].first);
    EXPECT_EQ(right[1].first, left[1].first);
    EXPECT_GE(right[1].second - right[1].first, 32);
    EXPECT_LT(right[1].second - right[1].first, 40);
    EXPECT_TRUE(session.CloseLikeTheUser());
}

// Under a window manager the window's frame and title bar are on the screen at the first run
// and after a stored placement that meets no screen is rescued, and the stored rectangle is the
// frame's: a placement saved and loaded again does not move or grow the window.
TEST(XvfbTest, TheFrameIsOnTheScreenAndAPlacementKeepsItsPlace) {
    if (!Available(true)) {
        GTEST_SKIP() << "Xvfb or openbox is not installed";
    }
    using Rect = std::vector<long>;  // left, top, right, bottom
    const struct {
        const char* name;
        std::optional<Rect> stored;
        Rect expected;  // the outer rectangle on the screen
    } cases[] = {
        // The system's place (the screen's top left, three quarters of it each way), one pixel
        // lower, wider and taller.
        {"FirstRun", std::nullopt, {0, 1, 1024 * 3 / 4 + 1, 768 * 3 / 4 + 2}},
        {"Rescued", Rect{3000, 2000, 3500, 2300}, {0, 0, 500, 300}},
        {"Stored", Rect{100, 120, 700, 520}, {100, 120, 700, 520}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CScratchDir dir;
        if (c.stored) {
            SetRegistryStorePath(dir.Path("config/Corvessa/Tessiver.reg"));
            CRegistryKey key(kWindowKey, HKEY_CURRENT_USER);
            const char* names[] = {"left", "top", "right", "bottom"};
            for (int i = 0; i < 4; ++i) {
                key.WriteInt(names[i], static_cast<DWORD>((*c.stored)[i]));
            }
            key.WriteInt("show", SW_SHOWNORMAL);
            key.WriteInt("flags", 0);
            SetRegistryStorePath({});
        }
        Session session;
        ASSERT_TRUE(session.Start(true));
        ASSERT_TRUE(session.Run(dir.Path("config"), {}));
        // The window's client area on the screen with the frame the window manager put around
        // it (_NET_FRAME_EXTENTS: left, right, top, bottom), once it is framed.
        const Atom extentsAtom = XInternAtom(session.Dpy(), "_NET_FRAME_EXTENTS", False);
        Rect outer;
        const bool placed = session.WaitFor([&] {
            const std::vector<long> extents =
                session.m_window ? Property(session.Dpy(), *session.m_window, extentsAtom, 4)
                                 : Rect{};
            XWindowAttributes attributes{};
            int x = 0;
            int y = 0;
            Window child = 0;
            if (extents.size() != 4 || extents[2] == 0 ||
                XGetWindowAttributes(session.Dpy(), *session.m_window, &attributes) == 0 ||
                !XTranslateCoordinates(session.Dpy(), *session.m_window,
                                       DefaultRootWindow(session.Dpy()), 0, 0, &x, &y, &child)) {
                return false;
            }
            outer = {x - extents[0], y - extents[2], x + attributes.width + extents[1],
                     y + attributes.height + extents[3]};
            return outer == c.expected;
        });
        EXPECT_TRUE(placed) << testing::PrintToString(outer);
        ASSERT_TRUE(session.CloseLikeTheUser());
        const std::vector<DWORD> stored = StoredPlacement(dir.Path("config"));
        EXPECT_EQ(Rect(stored.begin(), stored.begin() + 4), outer);
        EXPECT_EQ(stored[4], static_cast<DWORD>(SW_SHOWNORMAL));
    }
}

}  // namespace
