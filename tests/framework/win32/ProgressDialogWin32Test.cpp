// The progress dialog as the system runs it: the common controls' progress bar, the status it
// shows, and Esc pressed in it, which cancels the work and closes it once the work has ended.
#include <gtest/gtest.h>
#include <windows.h>

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
constexpr DialogDef kDialogs[] = {{kDialogId, "Working on it", 220, 57, "MS Sans Serif", 8,
                                   DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kItems}};
const ResourceTables kTables{{}, {}, {}, {}, kDialogs, {}};

TEST(ProgressDialogWin32, EscCancelsAndTheDialogShowsTheStatus) {
    AfxSetResourceTables(&kTables);
    std::wstring seen;  // the bar's class, the status text, the bar's range and position
    CProgressDialog dialog(kDialogId, kTextId, kBarId);
    const ProgressDialogHook previous = SetProgressDialogHook([&seen](CProgressDialog& d) {
        HWND hDlg = FindWindowW(nullptr, L"Working on it");
        if (hDlg == nullptr) {
            d.Cancel();
            return;
        }
        // Until the poll has shown the work's status.
        MSG msg;
        while (GetWindowTextLengthW(GetDlgItem(hDlg, static_cast<int>(kTextId))) == 0 &&
               GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(hDlg, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        wchar_t text[64] = {};
        wchar_t barClass[64] = {};
        GetDlgItemTextW(hDlg, static_cast<int>(kTextId), text, 64);
        HWND bar = GetDlgItem(hDlg, static_cast<int>(kBarId));
        GetClassNameW(bar, barClass, 64);
        seen = std::wstring(barClass) + L"|" + text + L"|" +
               std::to_wstring(SendMessageW(bar, PBM_GETRANGE, FALSE, 0)) + L"|" +
               std::to_wstring(SendMessageW(bar, PBM_GETPOS, 0, 0));
        // Esc, as a person would press it: the dialog's loop makes it Cancel.
        PostMessageW(GetDlgItem(hDlg, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    // The status is set before the work waits for Cancel.
    dialog.Run(
        [&dialog] {
            dialog.SetStatus("Reading a file", 3, 4);
            dialog.GetCancelFlag().wait(false);
        },
        50);
    SetProgressDialogHook(previous);
    EXPECT_TRUE(dialog.GetCancelFlag());
    EXPECT_EQ(seen, L"msctls_progress32|Reading a file|1000|750");
}

}  // namespace
