#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>
#include <QWindow>

#include "AppFixture.h"
#include "document/RegistryKey.h"
#include "framework/window/WindowPlacement.h"
#include "resources/Resource.h"
#include "shell/SavedPlacement.h"

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

void WriteStored(const Stored& s) {
    CRegistryKey key(kWindowKey, HKEY_CURRENT_USER);
    key.WriteInt("top", static_cast<DWORD>(s.top));
    key.WriteInt("right", static_cast<DWORD>(s.right));
    key.WriteInt("left", static_cast<DWORD>(s.left));
    key.WriteInt("bottom", static_cast<DWORD>(s.bottom));
    key.WriteInt("show", s.show);
    key.WriteInt("flags", s.flags);
}

// A placement record holds the window's outer rectangle, its frame included; the tests set and
// check client rectangles and add the frame's thickness as the window system reports it.
class PlacementTest : public AppTest {
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
        CMainFrame::s_bFirstShow = 1;
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
        EXPECT_EQ(Window()->normalGeometry(), normal);
        Stop();
        CMainFrame::s_bFirstShow = 1;
    }
}

TEST_F(PlacementTest, FirstRunNudgesTheSystemsPlacementAndCreatesTheKey) {
    Start();
    ProcessEvents();
    // The key exists, empty, from the first show on.
    {
        QFile store(QString::fromStdString(StorePath()));
        ASSERT_TRUE(store.open(QIODevice::ReadOnly));
        EXPECT_TRUE(store.readAll().toLower().contains("\\software\\corvessa\\tessiver\\window]"));
    }
    EXPECT_EQ(ReadStored().bottom, 0);
    // The nudge itself, against a window whose placement is known.
    Window()->setGeometry(QRect(30, 40, 400, 300));
    LoadWindowPlacement(Frame(), "software\\Corvessa\\Tessiver\\Empty");
    EXPECT_EQ(Window()->normalGeometry(), QRect(30, 41, 401, 301));
    EXPECT_FALSE(Window()->isMaximized());
    EXPECT_FALSE(Window()->isMinimized());
}

TEST_F(PlacementTest, APlacementOffEveryScreenComesBackOnThePrimaryScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const LONG left = screen.right() + 2000;
    const LONG top = screen.bottom() + 1000;
    WriteStored({top, left + 300, left, top + 200, SW_SHOWMAXIMIZED, 0});
    Start();
    ProcessEvents();
    EXPECT_EQ(Window()->normalGeometry().marginsAdded(FrameMargins()),
              QRect(screen.topLeft(), QSize(300, 200)));
    EXPECT_TRUE(Window()->isMaximized());

    RECT inside{screen.left() + 10, screen.top() + 10, screen.left() + 110, screen.top() + 60};
    EXPECT_TRUE(AfxRectMeetsAnyScreen(inside));
    RECT outside{left, top, left + 300, top + 200};
    EXPECT_FALSE(AfxRectMeetsAnyScreen(outside));
}

TEST_F(PlacementTest, ExitStoresThePlacementAndTheToolbarState) {
    Start();
    ProcessEvents();
    const QRect client(20, 30, 600, 400);
    Window()->setGeometry(client);
    const QMargins margins = FrameMargins();
    ASSERT_TRUE(Frame()->OnCommand(ID_APP_EXIT));
    EXPECT_FALSE(Frame()->IsWindowVisible());
    EXPECT_EQ(StoredRect(ReadStored()), client.marginsAdded(margins));
    const std::string profile = "Software\\Corvessa\\Tessiver";
    EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Summary", "Bars", 0), 2);
    EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Bar0", "BarID", 0),
              static_cast<int>(AFX_IDW_TOOLBAR));
    EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Bar1", "BarID", 0),
              static_cast<int>(AFX_IDW_STATUS_BAR));
}

TEST_F(PlacementTest, ToolbarStateIsNeverReadBack) {
    Start();
    ProcessEvents();
    Frame()->OnCommand(ID_VIEW_TOOLBAR);
    CloseAndRestart();
    EXPECT_EQ(
        RegGetProfileInt("Software\\Corvessa\\Tessiver", "Window\\Toolbar-Bar0", "Visible", -1), 0);
    QToolBar* bar = Window()->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(Window()->toolBarArea(bar), Qt::TopToolBarArea);
}

}  // namespace
