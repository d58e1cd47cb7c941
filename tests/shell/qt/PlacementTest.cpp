// The main window's placement, stored at every close and restored at the next start. Where the
// first run puts the window, and the rescue of a placement that meets no screen, need a window
// manager's frame: XvfbTest.cpp checks them.
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QToolBar>
#include <QWindow>
#include <functional>
#include <string>
#include <utility>

#include "document/RegistryKey.h"
#include "resources/Resource.h"
#include "tests/shell/qt/QtAppFixture.h"

namespace {

constexpr const char* kWindowKey = "software\\Corvessa\\Tessiver\\Window";

struct Stored {
    LONG top, right, left, bottom;
    DWORD show, flags;
};

Stored ReadStored() {
    CRegistryKey key(kWindowKey, HKEY_CURRENT_USER);
    return {static_cast<LONG>(key.ReadInt("top", 0)),
            static_cast<LONG>(key.ReadInt("right", 0)),
            static_cast<LONG>(key.ReadInt("left", 0)),
            static_cast<LONG>(key.ReadInt("bottom", 0)),
            key.ReadInt("show", 0xFFFF),
            key.ReadInt("flags", 0xFFFF)};
}

// A placement record holds the window's outer rectangle, its frame included; the tests set and
// check client rectangles and add the frame's thickness as the window system reports it.
class PlacementTest : public QtAppTest {
protected:
    QMargins FrameMargins() {
        const QRect frame = Window()->frameGeometry();
        const QRect client = Window()->geometry();
        return {client.left() - frame.left(), client.top() - frame.top(),
                frame.right() - client.right(), frame.bottom() - client.bottom()};
    }
    static QRect StoredRect(const Stored& s) {
        return QRect(QPoint(s.left, s.top), QPoint(s.right - 1, s.bottom - 1));
    }

    // Closes the window as the user would, then starts the program again.
    void CloseAndRestart() {
        Frame()->OnClose();
        EXPECT_FALSE(Frame()->IsWindowVisible());
        Stop();
        Start();
        ProcessEvents();
    }
};

TEST_F(PlacementTest, StatesRoundTripThroughTheRegistry) {
    const QRect normal(40, 50, 500, 300);
    const struct {
        const char* name;
        Qt::WindowState state;
        DWORD show;
    } cases[] = {
        {"normal", Qt::WindowNoState, SW_SHOWNORMAL},
        {"maximised", Qt::WindowMaximized, SW_SHOWMAXIMIZED},
        {"minimised", Qt::WindowMinimized, SW_SHOWMINIMIZED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        ProcessEvents();
        Window()->setWindowState(Qt::WindowNoState);
        Window()->setGeometry(normal);
        Window()->setWindowState(c.state);
        ProcessEvents();
        const QMargins margins = FrameMargins();
        CloseAndRestart();
        const Stored stored = ReadStored();
        EXPECT_EQ(StoredRect(stored), normal.marginsAdded(margins));
        EXPECT_EQ(stored.show, c.show);
        EXPECT_EQ(stored.flags, 0u);
        EXPECT_EQ(Window()->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized),
                  Qt::WindowStates(c.state));
        // Restored, it takes the normal rectangle.
        Window()->setWindowState(Qt::WindowNoState);
        ProcessEvents();
        EXPECT_EQ(Window()->geometry(), normal);
        Stop();
    }
}

// How many times the settings file in folder is replaced while action runs: each save renames a
// new file of its own name over it.
int SavesDuring(const std::string& folder, const std::function<void()>& action) {
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0 || inotify_add_watch(fd, folder.c_str(), IN_MOVED_FROM) < 0) {
        ADD_FAILURE() << "cannot watch " << folder;
        return -1;
    }
    action();
    int saves = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n = 0; (n = read(fd, buffer, sizeof buffer)) > 0;) {
        for (const char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            saves +=
                event->len > 0 && std::string(event->name).starts_with("Tessiver.reg.") ? 1 : 0;
            p += sizeof(inotify_event) + event->len;
        }
    }
    close(fd);
    return saves;
}

// What the window stores as it closes (its placement, the bars' state) goes to the settings file
// in one save, however it is closed; the next start never reads the bars' state back.
TEST_F(PlacementTest, ClosingStoresThePlacementAndTheBarsInOneSave) {
    const std::pair<const char*, std::function<void()>> closes[] = {
        {"File > Exit", [this] { Frame()->OnCommand(ID_APP_EXIT); }},
        {"close button",
         [this] {
             // As the window system delivers the close button's request.
             QCloseEvent event;
             QCoreApplication::sendEvent(Window()->windowHandle(), &event);
         }},
    };
    const std::string profile = "Software\\Corvessa\\Tessiver";
    int round = 0;
    for (const auto& [name, close] : closes) {
        SCOPED_TRACE(name);
        Start();
        ProcessEvents();
        const QRect client(20 + 10 * round++, 30, 600, 400);
        Window()->setGeometry(client);
        const QMargins margins = FrameMargins();
        Frame()->OnCommand(ID_VIEW_TOOLBAR);
        EXPECT_EQ(SavesDuring(m_dir.Path(), close), 1);
        EXPECT_FALSE(Frame()->IsWindowVisible());
        EXPECT_EQ(StoredRect(ReadStored()), client.marginsAdded(margins));
        EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Summary", "Bars", 0), 2);
        EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Bar0", "BarID", 0),
                  static_cast<int>(AFX_IDW_TOOLBAR));
        EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Bar0", "Visible", -1), 0);
        EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Bar1", "BarID", 0),
                  static_cast<int>(AFX_IDW_STATUS_BAR));
        Stop();
    }
    Start();
    ProcessEvents();
    QToolBar* bar = Window()->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(Window()->toolBarArea(bar), Qt::TopToolBarArea);
}

}  // namespace
