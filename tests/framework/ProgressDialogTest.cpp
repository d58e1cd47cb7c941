// The progress dialog on the platform's own dialog (Qt's, or the system's under Wine): work that
// ends soon never shows it, long work shows it until Cancel has stopped the work, and what the
// work throws reaches the caller either way.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "framework/core/Resources.h"
#include "framework/dialog/ProgressDialog.h"

namespace {

constexpr UINT kDialogId = 110;
constexpr UINT kTextId = 1100;
constexpr UINT kBarId = 1101;

constexpr DialogItemDef kItems[] = {
    {"STATIC", "", kTextId, 7, 7, 206, 8, WS_CHILD | WS_VISIBLE | SS_NOPREFIX},
    {"msctls_progress32", "", kBarId, 7, 19, 206, 10, WS_CHILD | WS_VISIBLE},
    {"BUTTON", "Cancel", IDCANCEL, 163, 36, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
};
constexpr DialogDef kDialogs[] = {{kDialogId, "Working", 220, 57, "MS Sans Serif", 8,
                                   DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kItems}};
const ResourceTables kTables{{}, {}, {}, {}, kDialogs, {}};

class ProgressDialogTest : public ::testing::Test {
protected:
    ProgressDialogTest() {
        AfxSetResourceTables(&kTables);
        m_previous = SetProgressDialogHook([this](CProgressDialog& dialog) {
            ++m_nShown;
            m_bDoneWhenShown = dialog.IsWorkDone();
            dialog.Cancel();
        });
    }
    ~ProgressDialogTest() override { SetProgressDialogHook(std::move(m_previous)); }

    int m_nShown = 0;
    bool m_bDoneWhenShown = true;
    ProgressDialogHook m_previous;
};

// Work that ends soon, or whose dialog has no resource, runs once unseen; what it throws
// reaches the caller.
TEST_F(ProgressDialogTest, WorkThatEndsSoonNeverShowsTheDialog) {
    for (const auto& [id, delay] : {std::pair{kDialogId, 10'000}, std::pair{kDialogId + 1, 0}}) {
        CProgressDialog dialog(id, kTextId, kBarId);
        std::atomic<int> nRuns{0};
        dialog.Run([&nRuns] { ++nRuns; }, delay);
        EXPECT_EQ(nRuns, 1);
        EXPECT_FALSE(dialog.WasShown());
        EXPECT_THROW(dialog.Run([] { throw std::runtime_error("failed"); }, delay),
                     std::runtime_error);
    }
    EXPECT_EQ(m_nShown, 0);
}

TEST_F(ProgressDialogTest, LongWorkShowsItsStatusUntilCancelHasStoppedIt) {
    CProgressDialog dialog(kDialogId, kTextId, kBarId);
    // Work that waits until it is cancelled: it can only end through the dialog.
    const auto waitForCancel = [&dialog] { dialog.GetCancelFlag().wait(false); };
    dialog.Run(waitForCancel, 0);
    EXPECT_EQ(m_nShown, 1);
    EXPECT_TRUE(dialog.WasShown());
    EXPECT_FALSE(m_bDoneWhenShown);
    EXPECT_TRUE(dialog.IsWorkDone());
    EXPECT_TRUE(dialog.GetCancelFlag());

    // A second run starts afresh, and what cancelled work throws reaches the caller.
    EXPECT_THROW(dialog.Run(
                     [&] {
                         waitForCancel();
                         throw std::range_error("stopped");
                     },
                     0),
                 std::range_error);
    EXPECT_EQ(m_nShown, 2);
}

}  // namespace
