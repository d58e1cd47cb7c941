// A stored placement is brought onto the screen at start-up: a window must never open with its
// title bar out of reach or larger than the screen, and one that fits opens where it was.
#include <gtest/gtest.h>

#include <array>

#include "document/RegistryKey.h"
#include "framework/window/WindowPlacement.h"
#include "tests/shell/AppFixture.h"

namespace {

std::array<LONG, 4> Edges(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TEST_F(AppTest, StoredPlacementIsBroughtOntoTheScreen) {
    // The work area of the screen the tests run on; every case is placed relative to it and
    // smaller than the smallest screen they run on (800 by 600) unless it is to shrink.
    const RECT w = AfxGetWorkArea(RECT{0, 0, 100, 100});
    const struct {
        const char* name;
        RECT stored;
        RECT expected;
    } cases[] = {
        {"Inside",
         {w.left + 50, w.top + 60, w.left + 450, w.top + 360},
         {w.left + 50, w.top + 60, w.left + 450, w.top + 360}},
        {"TitleBarAbove",
         {w.left + 100, w.top - 300, w.left + 500, w.top + 100},
         {w.left + 100, w.top, w.left + 500, w.top + 400}},
        {"PastTheRight",
         {w.right - 100, w.top + 50, w.right + 300, w.top + 350},
         {w.right - 400, w.top + 50, w.right, w.top + 350}},
        {"LargerThanTheScreen", {w.left - 10, w.top - 20, w.right + 500, w.bottom + 400}, w},
        {"OnAScreenGone",
         {w.right + 3000, w.bottom + 2000, w.right + 3300, w.bottom + 2200},
         {w.left, w.top, w.left + 300, w.top + 200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            CRegistryKey key("software\\Corvessa\\Tessiver\\Window", HKEY_CURRENT_USER);
            key.WriteInt("left", static_cast<DWORD>(c.stored.left));
            key.WriteInt("top", static_cast<DWORD>(c.stored.top));
            key.WriteInt("right", static_cast<DWORD>(c.stored.right));
            key.WriteInt("bottom", static_cast<DWORD>(c.stored.bottom));
            key.WriteInt("show", SW_SHOWNORMAL);
            key.WriteInt("flags", 0);
        }
        Start();
        WINDOWPLACEMENT placement;
        ASSERT_TRUE(Frame()->GetWindowPlacement(&placement));
        EXPECT_EQ(Edges(placement.rcNormalPosition), Edges(c.expected));
        Stop();
    }
}

}  // namespace
