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
            if (m_onShown) {
                m_onShown(dialog);
            }
        });
    }
    ~ProgressDialogTest() override { SetProgressDialogHook(std::move(m_previous)); }

    int m_nShown = 0;
    std::function<void(CProgressDialog&)> m_onShown;
    ProgressDialogHook m_previous;
};

// Work that waits until it is cancelled: it can only end through the dialog.
void WaitForCancel(CProgressDialog& dialog) {
    dialog.SetStatus("Waiting", 3, 4);
    dialog.GetCancelFlag().wait(false);
}

TEST_F(ProgressDialogTest, WorkThatEndsSoonNeverShowsTheDialog) {
    CProgressDialog dialog(kDialogId, kTextId, kBarId);
    int nRuns = 0;
    dialog.Run([&nRuns] { ++nRuns; }, 10'000);
    EXPECT_EQ(nRuns, 1);
    EXPECT_EQ(m_nShown, 0);
    EXPECT_FALSE(dialog.WasShown());
    EXPECT_THROW(dialog.Run([] { throw std::runtime_error("failed"); }, 10'000),
                 std::runtime_error);
    EXPECT_EQ(m_nShown, 0);
}

TEST_F(ProgressDialogTest, LongWorkShowsItsStatusUntilCancelHasStoppedIt) {
    CProgressDialog dialog(kDialogId, kTextId, kBarId);
    bool bDoneWhenShown = true;
    m_onShown = [&](CProgressDialog& d) {
        bDoneWhenShown = d.IsWorkDone();
        d.Cancel();
    };
    dialog.Run([&dialog] { WaitForCancel(dialog); }, 0);
    EXPECT_EQ(m_nShown, 1);
    EXPECT_TRUE(dialog.WasShown());
    EXPECT_FALSE(bDoneWhenShown);
    EXPECT_TRUE(dialog.IsWorkDone());
    EXPECT_TRUE(dialog.GetCancelFlag());

    // A second run starts afresh, and what cancelled work throws reaches the caller.
    m_onShown = [](CProgressDialog& d) { d.Cancel(); };
    EXPECT_THROW(dialog.Run(
                     [&dialog] {
                         WaitForCancel(dialog);
                         throw std::range_error("stopped");
                     },
                     0),
                 std::range_error);
    EXPECT_EQ(m_nShown, 2);
}

TEST_F(ProgressDialogTest, WithoutItsDialogResourceTheWorkRunsUnseen) {
    CProgressDialog dialog(kDialogId + 1, kTextId, kBarId);
    std::atomic<bool> ran{false};
    dialog.Run([&ran] { ran = true; }, 0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(m_nShown, 0);
}

}  // namespace
