// The Windows program's window and dialogs as the system shows them: every toolbar button in the
// state of its command, the window following the system to a screen of another dpi, every
// dialog centred over the main window, the program's own dialogs with a fixed frame, and a file
// dialog that leaves the current folder alone, exports written where the save dialog says; files
// dropped from the shell on each pane and bar.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "framework/window/FileDialog.h"
#include "framework/window/MessageBox.h"
#include "platform/File.h"
#include "resources/Resource.h"
#include "tests/common/CommandState.h"
#include "tests/shell/AppFixture.h"

namespace {

// Hands the first dialog that the thread activates to a callback once the dialog has shown and
// its loop waits for the user; the callback may read it and end it by posting to it.
class CDialogWatch {
public:
    explicit CDialogWatch(std::function<void(HWND)> onDialog) : m_onDialog(std::move(onDialog)) {
        s_pWatch = this;
        m_hook = SetWindowsHookExW(WH_CBT, &OnCbt, nullptr, GetCurrentThreadId());
    }
    ~CDialogWatch() {
        UnhookWindowsHookEx(m_hook);
        s_pWatch = nullptr;
    }
    bool Seen() const { return m_bSeen; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        auto hWnd = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        if (code != HCBT_ACTIVATE || s_pWatch == nullptr || GetClassNameW(hWnd, name, 16) == 0 ||
            std::wstring(name) != L"#32770" || hWnd == s_pWatch->m_hDialog) {
            return CallNextHookEx(nullptr, code, wParam, lParam);
        }
        if (s_pWatch->m_hDialog == nullptr) {
            // Activation may come while the dialog still lays itself out: the callback waits
            // for the first turn of its loop.
            s_pWatch->m_hDialog = hWnd;
            SetTimer(nullptr, 0, 0, &OnLoop);
        } else {
            // Another one (a complaint about what the callback did): both go, and the test
            // sees the first one cancelled.
            PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(s_pWatch->m_hDialog, WM_COMMAND, IDCANCEL, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK OnLoop(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (s_pWatch != nullptr && !s_pWatch->m_bSeen) {
            s_pWatch->m_bSeen = true;
            s_pWatch->m_onDialog(s_pWatch->m_hDialog);
        }
    }

    static inline CDialogWatch* s_pWatch = nullptr;
    std::function<void(HWND)> m_onDialog;
    HHOOK m_hook = nullptr;
    HWND m_hDialog = nullptr;
    bool m_bSeen = false;
};

class WindowsShellTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        // Well inside the screen, so that a centred dialog needs no pulling back onto it.
        SetWindowPos(Frame()->GetSafeHwnd(), nullptr, 150, 100, 700, 520, SWP_NOZORDER);
    }
};

TEST_F(WindowsShellTest, EveryToolBarButtonShowsTheStateOfItsCommand) {
    m_app->OnIdle(0);
    HWND bar = Frame()->m_wndToolBar.GetSafeHwnd();
    int nLastCommand = 0;
    for (int i = 0; i < Frame()->m_wndToolBar.GetCount(); ++i) {
        const UINT id = Frame()->m_wndToolBar.GetItemID(i);
        TBBUTTON button{};
        ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
        ASSERT_EQ(static_cast<UINT>(button.idCommand), id);
        if (id == 0) {
            continue;
        }
        SCOPED_TRACE(testing::Message() << "button " << i << ", command " << id);
        EXPECT_EQ((button.fsState & TBSTATE_ENABLED) != 0, CommandState(*Frame(), id).m_bEnabled);
        nLastCommand += id == ID_CONTEXT_HELP ? 1 : 0;
    }
    EXPECT_EQ(nLastCommand, 2) << "the last two buttons carry the same command";
    EXPECT_FALSE(CommandState(*Frame(), ID_CONTEXT_HELP).m_bEnabled);
}

// The View menu as the system shows it: "Realign Long Blocks", a separator and the comparison
// options, another and "Changes Within Lines", "Location Map" and "Watch Files", each checked once
// chosen, and never both white-space items at once.
TEST_F(WindowsShellTest, ViewMenuChecksTheOptionsChosen) {
    HWND frame = Frame()->GetSafeHwnd();
    HMENU view = GetSubMenu(GetMenu(frame), 2);
    ASSERT_NE(view, nullptr);
    const UINT items[] = {ID_REALIGN_LONG_BLOCKS,
                          0,
                          ID_IGNORE_WHITESPACE_CHANGES,
                          ID_IGNORE_ALL_WHITESPACE,
                          ID_IGNORE_CASE,
                          ID_IGNORE_BLANK_LINES,
                          ID_DECODE_UNICODE,
                          0,
                          ID_INLINE_CHANGES,
                          ID_VIEW_LOCATION_MAP,
                          ID_WATCH_FILES};
    const int first = GetMenuItemCount(view) - static_cast<int>(std::size(items));
    for (std::size_t k = 0; k < std::size(items); ++k) {
        EXPECT_EQ(GetMenuItemID(view, first + static_cast<int>(k)), items[k]) << k;
    }
    wchar_t text[64] = {};
    GetMenuStringW(view, first + 3, text, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"Ignore &All White Space");
    GetMenuStringW(view, first + 9, text, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"&Location Map");
    // What the menu shows of the five options and of the last item, as it shows them when it
    // opens.
    const auto checks = [&] {
        SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
        std::string marks;
        for (int k = 2; k < static_cast<int>(std::size(items)); ++k) {
            if (items[k] != 0) {
                marks +=
                    (GetMenuState(view, first + k, MF_BYPOSITION) & MF_CHECKED) != 0 ? 'x' : '-';
            }
        }
        return marks;
    };
    EXPECT_EQ(checks(), "--------");
    const struct {
        UINT id;
        const char* marks;
    } steps[] = {
        {ID_IGNORE_WHITESPACE_CHANGES, "x-------"},
        {ID_IGNORE_ALL_WHITESPACE, "-x------"},
        {ID_IGNORE_CASE, "-xx-----"},
        {ID_IGNORE_BLANK_LINES, "-xxx----"},
        {ID_DECODE_UNICODE, "-xxxx---"},
        {ID_INLINE_CHANGES, "-xxxxx--"},
        {ID_VIEW_LOCATION_MAP, "-xxxxxx-"},
        {ID_WATCH_FILES, "-xxxxxxx"},
        {ID_IGNORE_ALL_WHITESPACE, "--xxxxxx"},
        {ID_IGNORE_CASE, "---xxxxx"},
        {ID_IGNORE_BLANK_LINES, "----xxxx"},
        {ID_DECODE_UNICODE, "-----xxx"},
        {ID_INLINE_CHANGES, "------xx"},
        {ID_VIEW_LOCATION_MAP, "-------x"},
        {ID_WATCH_FILES, "--------"},
    };
    for (const auto& step : steps) {
        SendMessageW(frame, WM_COMMAND, step.id, 0);
        EXPECT_EQ(checks(), step.marks) << step.id;
    }
}

// Sets the modifier keys as the loop will see them when it takes the next key.
void HoldKeys(bool bShift, bool bControl) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = bShift ? 0x80 : 0;
    keys[VK_CONTROL] = bControl ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Each moving key reaches its command through the loop and leaves the panes where the command
// does, from rows and shifts where every one of them moves something; but while the splitter's
// bar moves by the keyboard, Right moves the bar instead.
TEST_F(WindowsShellTest, MovingKeysCarryOutTheirCommandsUnlessTheBarMoves) {
    std::string text;
    for (int i = 1; i <= 100; ++i) {
        text += std::to_string(i) + std::string(120, 'x') + "\n";
    }
    Doc()->SetPaths(m_dir.Write("a.txt", text), m_dir.Write("b.txt", text));
    Doc()->OnCompare();
    ASSERT_NE(Doc()->m_pResult, nullptr);
    HWND frame = Frame()->GetSafeHwnd();
    HWND pane = Frame()->m_wndSplitter.GetPane(0, 1)->GetSafeHwnd();
    HWND splitter = Frame()->m_wndSplitter.GetSafeHwnd();
    using Where = std::pair<std::int32_t, std::int32_t>;
    const auto where = [this] {
        return Where{Doc()->m_scroll.GetTopRow(), Doc()->m_scroll.GetLeftOffset()};
    };
    const auto start = [this] {
        for (const CommandId id : {ID_FIRST_ROW, ID_LEFT_EDGE, ID_ROW_DOWN, ID_ROW_DOWN,
                                   ID_ROW_DOWN, ID_STEP_RIGHT, ID_STEP_RIGHT}) {
            Frame()->OnCommand(id);
        }
    };
    const struct {
        WORD key;
        bool bControl;
        CommandId id;
    } keys[] = {
        {VK_UP, false, ID_ROW_UP},      {VK_DOWN, false, ID_ROW_DOWN},
        {VK_PRIOR, false, ID_PAGE_UP},  {VK_NEXT, false, ID_PAGE_DOWN},
        {VK_HOME, true, ID_FIRST_ROW},  {VK_END, true, ID_LAST_ROW},
        {VK_LEFT, false, ID_STEP_LEFT}, {VK_RIGHT, false, ID_STEP_RIGHT},
        {VK_HOME, false, ID_LEFT_EDGE}, {VK_END, false, ID_LINE_END},
    };
    // Each step runs in the loop, in the order posted: where the command leaves the panes, then
    // where the key does.
    std::vector<Where> commanded;
    std::vector<Where> keyed;
    for (const auto& k : keys) {
        Frame()->PostCall(Frame(), [&, k] {
            start();
            Frame()->OnCommand(k.id);
            commanded.push_back(where());
            start();
            HoldKeys(false, k.bControl);
        });
        PostMessageW(pane, WM_KEYDOWN, k.key, 1);
        Frame()->PostCall(Frame(), [&] {
            keyed.push_back(where());
            HoldKeys(false, k.bControl);
        });
    }
    const auto width = [this] {
        int cx = 0;
        int least = 0;
        Frame()->m_wndSplitter.GetColumnInfo(0, cx, least);
        return cx;
    };
    int before = 0;
    Where panes;
    Frame()->PostCall(Frame(), [&] {
        before = width();
        panes = where();
    });
    PostMessageW(frame, WM_COMMAND, ID_WINDOW_SPLIT, 0);
    PostMessageW(splitter, WM_KEYDOWN, VK_RIGHT, 1);
    PostMessageW(splitter, WM_KEYDOWN, VK_RETURN, 1);
    RunUntilExit();
    ASSERT_EQ(commanded.size(), std::size(keys));
    for (std::size_t i = 0; i < commanded.size(); ++i) {
        EXPECT_NE(commanded[i], (Where{3, -2 * CScrollState::kShiftLine})) << i;
    }
    EXPECT_EQ(keyed, commanded);
    EXPECT_GT(before, 0);
    EXPECT_GT(width(), before);
    EXPECT_EQ(where(), panes);
    EXPECT_FALSE(Frame()->m_wndSplitter.IsTracking());
}

// Moved to a screen of another dpi, the window takes the place the system gives it there and
// lays out its bars and panes over it.
TEST_F(WindowsShellTest, TakesThePlaceTheSystemGivesItOnAScreenOfAnotherDpi) {
    HWND frame = Frame()->GetSafeHwnd();
    HDC screen = GetDC(frame);
    const auto dpi = static_cast<WORD>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(frame, screen);
    HWND bar = Frame()->m_wndToolBar.GetSafeHwnd();
    const LRESULT buttonSize = SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0);
    RECT suggested{200, 150, 960, 690};
    SendMessageW(frame, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(frame, &now);
    EXPECT_EQ(std::tuple(now.left, now.top, now.right, now.bottom),
              std::tuple(suggested.left, suggested.top, suggested.right, suggested.bottom));
    RECT client;
    GetClientRect(frame, &client);
    CRect splitter;
    Frame()->m_wndSplitter.GetClientRect(&splitter);
    EXPECT_EQ(splitter.Width(), client.right);
    int parts[2] = {};
    SendMessageW(Frame()->m_wndStatusBar.GetSafeHwnd(), SB_GETPARTS, 2,
                 reinterpret_cast<LPARAM>(parts));
    EXPECT_EQ(parts[1], client.right / 2 * 2);
    // At the same dpi, the same buttons.
    EXPECT_NE(SendMessageW(bar, TB_GETIMAGELIST, 0, 0), 0);
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0), buttonSize);
}

// Each dialog opens centred over the main window; the program's own have a caption, a system
// menu and a modal frame, and no sizing border or minimise and maximise buttons.
TEST_F(WindowsShellTest, DialogsOpenCentredOverTheMainWindow) {
    const struct {
        const char* name;
        std::function<void()> open;
        bool bOwnDialog;
    } cases[] = {
        {"about box", [this] { m_app->OnAppAbout(); }, true},
        {"options", [this] { Doc()->OnOptions(); }, true},
        {"find", [this] { Doc()->OnFind(); }, true},
        {"go to line", [this] { Doc()->OnGoToLine(); }, true},
        {"open source", [this] { Doc()->OnOpenSource(); }, false},
        {"framework's open", [this] { m_app->OnFileOpen(); }, false},
        {"message box", [] { AfxShowMessageBox("Tessiver", MB_OK); }, false},
    };
    RECT frame;
    GetWindowRect(Frame()->GetSafeHwnd(), &frame);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RECT dialog{};
        LONG style = 0;
        LONG exStyle = 0;
        CDialogWatch watch([&](HWND hDialog) {
            GetWindowRect(hDialog, &dialog);
            style = GetWindowLongW(hDialog, GWL_STYLE);
            exStyle = GetWindowLongW(hDialog, GWL_EXSTYLE);
            PostMessageW(hDialog, WM_COMMAND, IDCANCEL, 0);
        });
        c.open();
        ASSERT_TRUE(watch.Seen());
        EXPECT_NEAR(dialog.left + dialog.right, frame.left + frame.right, 2);
        EXPECT_NEAR(dialog.top + dialog.bottom, frame.top + frame.bottom, 2);
        if (c.bOwnDialog) {
            EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
            EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0);
            EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
        }
    }
}

// Find and Go To Line take what was typed and chosen in their dialogs; F3 and Shift+F3 reach their
// commands through the loop.
TEST_F(WindowsShellTest, FindAndGoToLineTakeWhatTheirDialogsAreGiven) {
    Doc()->SetPaths(m_dir.Write("a.txt", "one\ntwo\nsix\nfour\nfive\n"),
                    m_dir.Write("b.txt", "one\nTWO\nsix\nFOUR\nFIVE O\n"));
    Doc()->OnCompare();
    ASSERT_NE(Doc()->m_pResult, nullptr);
    HWND frame = Frame()->GetSafeHwnd();
    const auto answer = [frame](UINT id, UINT edit, const wchar_t* text, std::vector<int> buttons) {
        CDialogWatch watch([&](HWND hDialog) {
            SetDlgItemTextW(hDialog, static_cast<int>(edit), text);
            for (const int button : buttons) {
                SendDlgItemMessageW(hDialog, button, BM_CLICK, 0, 0);
            }
            PostMessageW(hDialog, WM_COMMAND, IDOK, 0);
        });
        SendMessageW(frame, WM_COMMAND, id, 0);
        EXPECT_TRUE(watch.Seen());
    };
    // "O" with its case, in the target: rows 1, 3 and 4.
    answer(ID_EDIT_FIND, IDC_FIND_TEXT, L"O", {IDC_FIND_MATCH_CASE, IDC_FIND_TARGET});
    EXPECT_EQ(Doc()->m_scroll.GetTopRow(), 1);
    SendMessageW(frame, WM_COMMAND, ID_EDIT_FIND_PREV, 0);
    EXPECT_EQ(Doc()->m_scroll.GetTopRow(), 4);
    answer(ID_EDIT_GOTO_LINE, IDC_GOTO_LINE_NUMBER, L"3", {IDC_GOTO_TARGET});
    EXPECT_EQ(Doc()->m_scroll.GetTopRow(), 2);
    // F3 goes on to row 3; Shift+F3, with Shift down when the loop takes the key, back to row 1
    // (F3 would go on to row 4).
    HWND pane = Frame()->m_wndSplitter.GetPane(0, 1)->GetSafeHwnd();
    std::vector<std::int32_t> tops;
    const auto pressShift = [&tops, this](bool bDown) {
        tops.push_back(Doc()->m_scroll.GetTopRow());
        HoldKeys(bDown, false);
    };
    PostMessageW(pane, WM_KEYDOWN, VK_F3, 1);
    Frame()->PostCall(Frame(), [&] { pressShift(true); });
    PostMessageW(pane, WM_KEYDOWN, VK_F3, 1);
    Frame()->PostCall(Frame(), [&] { pressShift(false); });
    RunUntilExit();
    EXPECT_EQ(tops, (std::vector<std::int32_t>{3, 1}));
}

// Going to another folder and choosing a file there leaves the program's current folder where
// it was.
TEST_F(WindowsShellTest, FileDialogLeavesTheCurrentFolder) {
    const std::filesystem::path chosen =
        std::filesystem::path(m_dir.Write("elsewhere/chosen.txt", "x\n")).make_preferred();
    const std::filesystem::path before = std::filesystem::current_path();
    CFileDialog dialog(true);
    CDialogWatch watch([&](HWND hDialog) {
        // Typed into the file name box (a combo box in the explorer-style dialog, an edit box
        // otherwise) as the user would: the folder, then the file.
        const auto type = [hDialog](const std::wstring& text) {
            for (const int id : {0x47c, 0x480}) {
                SetDlgItemTextW(hDialog, id, text.c_str());
            }
        };
        type(chosen.parent_path().wstring());
        SendMessageW(hDialog, WM_COMMAND, IDOK, 0);
        type(chosen.filename().wstring());
        PostMessageW(hDialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(std::filesystem::equivalent(dialog.GetPathName(), chosen));
    EXPECT_EQ(std::filesystem::current_path(), before);
}

// Each export's save dialog, answered with a new file's name, has the export written there.
TEST_F(WindowsShellTest, ExportsAreWrittenWhereTheSaveDialogSays) {
    Doc()->SetPaths(m_dir.Write("s.txt", "a\r\n\tb <i>\r\nc\n"),
                    m_dir.Write("t.txt", "a\r\n\tB <i>\nc\n"));
    ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
    for (const auto& [id, name, shown] :
         {std::tuple{ID_EXPORT_UNIFIED, "x.diff", "\n-\tb <i>\r\n+\tB <i>\n"},
          std::tuple{ID_EXPORT_HTML, "x.html", "&lt;i&gt;"}}) {
        const std::wstring path =
            std::filesystem::path(m_dir.Path(name)).make_preferred().wstring();
        CDialogWatch watch([&path](HWND hDialog) {
            for (const int box : {0x47c, 0x480}) {
                SetDlgItemTextW(hDialog, box, path.c_str());
            }
            PostMessageW(hDialog, WM_COMMAND, IDOK, 0);
        });
        ASSERT_TRUE(Frame()->OnCommand(id));
        EXPECT_TRUE(watch.Seen());
        EXPECT_NE(CScratchDir::Read(m_dir.Path(name)).find(shown), std::string::npos) << name;
    }
}

// Files dropped from the shell: the frame alone takes them (its panes and bars pass them up, as
// the shell sends a drop to the nearest window that accepts files), and WM_DROPFILES over each
// pane gives that pane's side; anywhere else is the window as a whole.
TEST_F(WindowsShellTest, FilesDroppedFromTheShellTakeTheSideOfThePaneUnderThem) {
    HWND frame = Frame()->GetSafeHwnd();
    EXPECT_NE(GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    HWND left = Frame()->m_wndSplitter.GetPane(0, 0)->GetSafeHwnd();
    HWND right = Frame()->m_wndSplitter.GetPane(0, 1)->GetSafeHwnd();
    HWND toolBar = Frame()->m_wndToolBar.GetSafeHwnd();
    HWND statusBar = Frame()->m_wndStatusBar.GetSafeHwnd();
    for (HWND child : {left, right, toolBar, statusBar}) {
        EXPECT_EQ(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    }
    std::vector<std::string> boxes;
    MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    const std::string a = m_dir.Write("a.txt", "one\ntwo\n");
    const std::string b = m_dir.Write("b.txt", "one\nTWO\n");
    const std::string c = m_dir.Write("c.txt", "one\n");
    // What the shell sends once files are dropped over the middle of a window: the files' paths,
    // and the point in the frame's client area.
    const auto drop = [&](const std::vector<std::string>& paths, HWND over) {
        RECT rect;
        GetClientRect(over, &rect);
        POINT pt{rect.right / 2, rect.bottom / 2};
        MapWindowPoints(over, frame, &pt, 1);
        std::wstring list;
        for (const std::string& path : paths) {
            list += PathFromUtf8(path).wstring() + L'\0';
        }
        list += L'\0';
        HGLOBAL hDrop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
        auto* files = static_cast<DROPFILES*>(GlobalLock(hDrop));
        files->pFiles = sizeof(DROPFILES);
        files->pt = pt;
        files->fNC = FALSE;
        files->fWide = TRUE;
        std::memcpy(files + 1, list.data(), list.size() * sizeof(wchar_t));
        GlobalUnlock(hDrop);
        SendMessageW(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
    };
    drop({b, a}, toolBar);
    EXPECT_EQ(Doc()->m_sourcePath, b);
    EXPECT_EQ(Doc()->m_targetPath, a);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 1);
    drop({c}, left);
    EXPECT_EQ(Doc()->m_sourcePath, c);
    EXPECT_EQ(Doc()->m_targetPath, a);
    drop({b}, right);
    EXPECT_EQ(Doc()->m_sourcePath, c);
    EXPECT_EQ(Doc()->m_targetPath, b);
    EXPECT_TRUE(boxes.empty());
    SetMessageBoxHook(std::move(previous));
    EXPECT_EQ(CScratchDir::Read(a), "one\ntwo\n");
}

}  // namespace
