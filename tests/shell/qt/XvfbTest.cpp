// The real program in a real X server: under a window manager its frame and title bar must be on
// the screen; and closed as the user closes it (the window manager's close request), it must end
// and store the outer rectangle it had. What the panes draw is checked at pixels offscreen
// (PaneWidgetTest.cpp).
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
    // Asks the window (the program's unless said otherwise) to close, as the window manager's
    // close button does; whether the program then ended well (when it is to end).
    bool CloseLikeTheUser(std::optional<Window> window = std::nullopt, bool bEnds = true) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window ? *window : *m_window;
        event.xclient.message_type = XInternAtom(Dpy(), "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(Dpy(), "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(Dpy(), event.xclient.window, False, NoEventMask, &event);
        XFlush(Dpy());
        return bEnds ? m_program.Wait(20) == 0 : m_program.IsRunning();
    }

    // The window's client area on the screen with the frame the window manager put around it
    // (_NET_FRAME_EXTENTS: left, right, top, bottom) as left, top, right, bottom; nothing until
    // it is framed.
    std::optional<std::vector<long>> Outer() {
        const Atom extentsAtom = XInternAtom(Dpy(), "_NET_FRAME_EXTENTS", False);
        const std::vector<long> extents =
            m_window ? Property(Dpy(), *m_window, extentsAtom, 4) : std::vector<long>{};
        XWindowAttributes attributes{};
        int x = 0;
        int y = 0;
        Window child = 0;
        if (extents.size() != 4 || extents[2] == 0 ||
            XGetWindowAttributes(Dpy(), *m_window, &attributes) == 0 ||
            !XTranslateCoordinates(Dpy(), *m_window, DefaultRootWindow(Dpy()), 0, 0, &x, &y,
                                   &child)) {
            return std::nullopt;
        }
        return std::vector<long>{x - extents[0], y - extents[2], x + attributes.width + extents[1],
                                 y + attributes.height + extents[3]};
    }
    bool IsMaximised() {
        const Atom state = XInternAtom(Dpy(), "_NET_WM_STATE", False);
        const std::vector<long> atoms =
            m_window ? Property(Dpy(), *m_window, state, 16) : std::vector<long>{};
        return std::count(atoms.begin(), atoms.end(),
                          static_cast<long>(
                              XInternAtom(Dpy(), "_NET_WM_STATE_MAXIMIZED_VERT", False))) == 1;
    }
    // Asks the window manager to maximise or restore the window, as its title bar's button does.
    void SetMaximised(bool bMaximised) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = *m_window;
        event.xclient.message_type = XInternAtom(Dpy(), "_NET_WM_STATE", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = bMaximised ? 1 : 0;  // add or remove
        event.xclient.data.l[1] =
            static_cast<long>(XInternAtom(Dpy(), "_NET_WM_STATE_MAXIMIZED_VERT", False));
        event.xclient.data.l[2] =
            static_cast<long>(XInternAtom(Dpy(), "_NET_WM_STATE_MAXIMIZED_HORZ", False));
        event.xclient.data.l[3] = 1;  // a normal application
        XSendEvent(Dpy(), DefaultRootWindow(Dpy()), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(Dpy());
    }

    // Types keys as the user would, into the window that has the focus.
    void Type(const std::vector<std::string>& keys) {
        std::vector<std::string> argv = {"xdotool", "key", "--delay", "100"};
        argv.insert(argv.end(), keys.begin(), keys.end());
        CChild xdotool;
        xdotool.Start(argv, m_env);
        xdotool.Wait(10);
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

using Rect = std::vector<long>;  // left, top, right, bottom
const char* const kPlacementNames[] = {"left", "top", "right", "bottom", "show", "flags"};

// The placement the program stored, as left, top, right, bottom, show state and flags; with a
// rectangle, stores it first as a normal window's.
std::vector<long> StoredPlacement(const std::string& config, const Rect& rect = {}) {
    SetRegistryStorePath(config + "/Corvessa/Tessiver.reg");
    std::vector<long> values;
    {
        CRegistryKey key(kWindowKey, HKEY_CURRENT_USER);
        for (std::size_t i = 0; i < rect.size(); ++i) {
            key.WriteInt(kPlacementNames[i], static_cast<DWORD>(rect[i]));
        }
        for (const char* name : kPlacementNames) {
            values.push_back(static_cast<LONG>(key.ReadInt(name, 0xDEADBEEF)));
        }
    }
    SetRegistryStorePath({});
    return values;
}

void StorePlacement(const std::string& config, const Rect& rect) {
    StoredPlacement(config, {rect[0], rect[1], rect[2], rect[3], SW_SHOWNORMAL, 0});
}

bool Available(bool bWindowManager) {
    return std::system("command -v Xvfb >/dev/null") == 0 &&
           (!bWindowManager || std::system("command -v openbox >/dev/null") == 0);
}

// Without a display the program says what to set and ends with status 1, whatever it was asked.
TEST(XvfbTest, WithoutADisplayTheProgramSaysWhatToSet) {
    const struct {
        const char* name;
        const char* settings;  // for env(1), after every display variable is unset
        const char* message;
    } cases[] = {
        {"nothing set", "", "tessiver: cannot open the display: set DISPLAY"},
        {"no server there", "DISPLAY=:64999",
         "tessiver: cannot open the display \":64999\" named by DISPLAY"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CScratchDir dir;
        const std::string output = dir.Path("output");
        const std::string command = std::string("exec env -u DISPLAY -u WAYLAND_DISPLAY ") +
                                    "-u QT_QPA_PLATFORM " + c.settings + " \"$0\" --help >" +
                                    output + " 2>&1";
        CChild program;
        ASSERT_TRUE(program.Start({"sh", "-c", command, TESSIVER_BINARY}, {}));
        EXPECT_EQ(program.Wait(60), 1);
        const std::string text = CScratchDir::Read(output);
        EXPECT_TRUE(text.starts_with(c.message)) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
}

// Under a window manager the window's frame and title bar are on the screen at the first run,
// after a stored placement that meets no screen is rescued, and after one that reaches off the
// screen or is larger than it is brought onto it; and the stored rectangle is the frame's: a
// placement saved and loaded again does not move or grow the window.
TEST(XvfbTest, TheFrameIsOnTheScreenAndAPlacementKeepsItsPlace) {
    if (!Available(true)) {
        GTEST_SKIP() << "Xvfb or openbox is not installed";
    }
    const struct {
        const char* name;
        std::optional<Rect> stored;
        Rect expected;  // the outer rectangle on the screen
    } cases[] = {
        // The system's place (the screen's top left, three quarters of it each way), one pixel
        // lower, wider and taller.
        {"FirstRun", std::nullopt, {0, 1, 1024 * 3 / 4 + 1, 768 * 3 / 4 + 2}},
        {"Rescued", Rect{3000, 2000, 3500, 2300}, {0, 0, 500, 300}},
        {"LargerThanTheScreen", Rect{2, 25, 5000, 4000}, {0, 0, 1024, 768}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CScratchDir dir;
        if (c.stored) {
            StorePlacement(dir.Path("config"), *c.stored);
        }
        Session session;
        ASSERT_TRUE(session.Start(true));
        ASSERT_TRUE(session.Run(dir.Path("config"), {}));
        Rect outer;
        const bool placed = session.WaitFor([&] {
            outer = session.Outer().value_or(Rect{});
            return outer == c.expected;
        });
        EXPECT_TRUE(placed) << testing::PrintToString(outer);
        ASSERT_TRUE(session.CloseLikeTheUser());
        const std::vector<long> stored = StoredPlacement(dir.Path("config"));
        EXPECT_EQ(Rect(stored.begin(), stored.begin() + 4), outer);
        EXPECT_EQ(stored[4], SW_SHOWNORMAL);
    }
}

// The about box has a dialog's frame: a fixed size, no maximise, and though the window manager
// may offer to minimise it, it does not go out of sight while its window stays.
TEST(XvfbTest, TheAboutBoxIsAFixedDialogThatStaysInSight) {
    if (!Available(true)) {
        GTEST_SKIP() << "Xvfb or openbox is not installed";
    }
    CScratchDir dir;
    Session session;
    ASSERT_TRUE(session.Start(true));
    ASSERT_TRUE(session.Run(dir.Path("config"), {}));
    ASSERT_TRUE(session.WaitFor([&] { return session.Outer().has_value(); }));
    session.Type({"alt+h", "a"});
    Display* dpy = session.Dpy();
    std::optional<Window> about;
    ASSERT_TRUE(session.WaitFor([&] {
        about = FindWindowNamed(dpy, DefaultRootWindow(dpy), "About Tessiver");
        return about.has_value();
    }));
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(dpy, *about, &hints, &supplied), 0);
    EXPECT_TRUE((hints.flags & PMinSize) != 0 && (hints.flags & PMaxSize) != 0 &&
                hints.min_width == hints.max_width && hints.min_height == hints.max_height);
    const Atom allowedAtom = XInternAtom(dpy, "_NET_WM_ALLOWED_ACTIONS", False);
    std::vector<long> allowed;
    ASSERT_TRUE(session.WaitFor([&] {
        allowed = Property(dpy, *about, allowedAtom, 32);
        return !allowed.empty();
    }));
    for (const char* action : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                               "_NET_WM_ACTION_RESIZE"}) {
        EXPECT_EQ(std::count(allowed.begin(), allowed.end(),
                             static_cast<long>(XInternAtom(dpy, action, False))),
                  0)
            << action;
    }
    // Minimised by the window manager, it is back in sight once the window manager has said so.
    const Atom stateAtom = XInternAtom(dpy, "WM_STATE", False);
    XSelectInput(dpy, *about, PropertyChangeMask);
    XIconifyWindow(dpy, *about, DefaultScreen(dpy));
    XFlush(dpy);
    bool bChanged = false;
    EXPECT_TRUE(session.WaitFor([&] {
        while (XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            bChanged =
                bChanged || (event.type == PropertyNotify && event.xproperty.atom == stateAtom);
        }
        const std::vector<long> state = Property(dpy, *about, stateAtom, 1);
        return bChanged && state.size() == 1 && state[0] == NormalState;
    }));
    ASSERT_TRUE(session.CloseLikeTheUser(*about, false));
    EXPECT_TRUE(session.CloseLikeTheUser());
}

// Closed while maximised, the window opens maximised, and restored it takes its normal place
// again, round after round: the stored normal rectangle never changes.
TEST(XvfbTest, ClosingMaximisedKeepsTheNormalPlacement) {
    if (!Available(true)) {
        GTEST_SKIP() << "Xvfb or openbox is not installed";
    }
    CScratchDir dir;
    const Rect normal{100, 120, 700, 520};
    StorePlacement(dir.Path("config"), normal);
    Session session;
    ASSERT_TRUE(session.Start(true));
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(session.Run(dir.Path("config"), {}));
        if (round > 0) {
            ASSERT_TRUE(session.WaitFor([&] { return session.IsMaximised(); }));
            session.SetMaximised(false);
        }
        Rect outer;
        EXPECT_TRUE(session.WaitFor([&] {
            outer = session.Outer().value_or(Rect{});
            return !session.IsMaximised() && outer == normal;
        })) << testing::PrintToString(outer);
        session.SetMaximised(true);
        ASSERT_TRUE(session.WaitFor(
            [&] { return session.IsMaximised() && session.Outer().value_or(normal) != normal; }));
        ASSERT_TRUE(session.CloseLikeTheUser());
        const std::vector<long> stored = StoredPlacement(dir.Path("config"));
        EXPECT_EQ(Rect(stored.begin(), stored.begin() + 4), normal);
        EXPECT_EQ(stored[4], SW_SHOWMAXIMIZED);
    }
}

}  // namespace
