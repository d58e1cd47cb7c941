// The program's resources: strings, menu, accelerators, toolbar, dialog layouts and images.
#include "resources/Resource.h"

#include "resources/Images.h"

namespace {

constexpr StringDef kStrings[] = {
    {IDR_MAINFRAME, "Tessiver 1.03\n\nTessiv\n\n\nTessiver.Document\nTessiv Document"},
    {IDS_OPEN_SOURCE_TITLE, "Open source file"},
    {IDS_OPEN_TARGET_TITLE, "Open target file"},
    {IDS_CANNOT_OPEN, "%s \xE2\x80\x94 cannot open: %s"},
    {IDS_EXPORT_UNIFIED_TITLE, "Export unified diff"},
    {IDS_EXPORT_HTML_TITLE, "Export HTML report"},
    {IDS_EXPORT_UNIFIED_FILTER,
     "Unified diffs (*.diff;*.patch)|*.diff;*.patch|All files (*.*)|*.*|"},
    {IDS_EXPORT_HTML_FILTER, "HTML pages (*.html;*.htm)|*.html;*.htm|All files (*.*)|*.*|"},
    {IDS_CANNOT_WRITE,
     "Cannot write %s.\n\nThe folder may not exist or may not be writable, or the "
     "disk may be full. Nothing was written."},
    {IDS_CANNOT_EXPORT, "Cannot export a unified diff: %s."},
    {IDS_PROGRESS_READING, "Reading %s"},
    {IDS_PROGRESS_ALIGNING, "Aligning"},
    {IDS_PROGRESS_BUILDING, "Building the table"},
    {IDS_DROP_NOT_A_FILE,
     "%s is not a file on this computer. Drop one or two files to compare them; nothing was "
     "changed."},
    {IDS_DROP_FOLDER,
     "%s is a folder. Tessiver compares files: drop one or two files; nothing was changed."},
    {IDS_DROP_MISSING, "%s cannot be found. Nothing was changed."},
    {IDS_DROP_TOO_MANY,
     "%s things were dropped. Drop two files to compare them, or one file on a pane to take it "
     "for that side; nothing was changed."},
    {IDS_DROP_UNNAMED, "What was dropped"},
    {IDS_CHANGED_ON_DISK, " (changed on disk: F5)"},
    {IDS_DELETED_ON_DISK, " (deleted on disk)"},
    {IDS_TEXT_NOT_FOUND, "Cannot find \"%s\"."},
    {ID_INDICATOR_SOURCE, " "},
    {ID_INDICATOR_TARGET, " "},
    {AFX_IDS_APP_TITLE, "Tessiver"},
    {ID_NEXT_DIFFERENCE, "Find next difference\nNext difference"},
    {ID_PREVIOUS_DIFFERENCE, "Find previous difference\nPrevious difference"},
    {ID_EDIT_FIND, "Find text in the lines of either file\nFind"},
    {ID_EDIT_FIND_NEXT, "Find the text again, further down\nFind next"},
    {ID_EDIT_FIND_PREV, "Find the text again, further up\nFind previous"},
    {ID_EDIT_GOTO_LINE, "Show a line of the source or the target at the top\nGo to line"},
    {ID_OPEN_SOURCE, "Open source file\nOpen source"},
    {ID_OPEN_TARGET, "Open target file\nOpen target"},
    {ID_EXPORT_UNIFIED,
     "Write the comparison as a unified diff that patch and git apply use\nExport unified diff"},
    {ID_EXPORT_HTML, "Write the comparison as a page for a web browser\nExport HTML report"},
    {ID_TOOLS_OPTIONS, "Tools, options\nOptions"},
    {ID_REALIGN_LONG_BLOCKS,
     "Find where the files meet again after a block longer than the look-ahead\nRealign long "
     "blocks"},
    {ID_IGNORE_WHITESPACE_CHANGES,
     "Compare runs of spaces and tabs as one space and ignore them at line ends\nIgnore white "
     "space changes"},
    {ID_IGNORE_ALL_WHITESPACE,
     "Compare lines without their spaces and tabs\nIgnore all white space"},
    {ID_IGNORE_CASE, "Compare ASCII letters without case\nIgnore case"},
    {ID_IGNORE_BLANK_LINES,
     "Leave blank lines out of the pairing and out of the differences\nIgnore blank lines"},
    {ID_DECODE_UNICODE,
     "Read a file that starts with a byte-order mark as the UTF-8 or UTF-16 text it holds\nDecode "
     "Unicode files"},
    {ID_INLINE_CHANGES,
     "Mark the characters that differ within each changed line\nChanges within lines"},
    {ID_VIEW_LOCATION_MAP,
     "Show where the differences lie in the whole comparison beside the target pane; click it to "
     "go there\nLocation map"},
    {ID_WATCH_FILES,
     "Mark a file's status pane when the file changes on disk after the comparison\nWatch files"},
    {ID_FILE_PRINT, "Print the active document\nPrint"},
    {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_CONTEXT_HELP, "Display help for clicked on buttons, menus and windows\nHelp"},
};

constexpr MenuItemDef kFileMenu[] = {
    {"Open &Source\tCtrl+O", ID_OPEN_SOURCE},
    {"Open &Target\tCtrl+T", ID_OPEN_TARGET},
    {nullptr, 0},
    {"Export &Unified Diff...", ID_EXPORT_UNIFIED},
    {"Export &HTML Report...", ID_EXPORT_HTML},
    {nullptr, 0},
    {"&Print...\tCtrl+P", ID_FILE_PRINT},
    {"Print Pre&view", ID_FILE_PRINT_PREVIEW},
    {"P&rint Setup...", ID_FILE_PRINT_SETUP},
    {nullptr, 0},
    {"E&xit", ID_APP_EXIT},
};
constexpr MenuItemDef kEditMenu[] = {
    {"Next difference\tF7", ID_NEXT_DIFFERENCE},
    {"Previous difference\tShift + F7", ID_PREVIOUS_DIFFERENCE},
    {nullptr, 0},
    {"&Find...\tCtrl+F", ID_EDIT_FIND},
    {"Find &Next\tF3", ID_EDIT_FIND_NEXT},
    {"Find &Previous\tShift+F3", ID_EDIT_FIND_PREV},
    {"&Go To Line...\tCtrl+G", ID_EDIT_GOTO_LINE},
};
constexpr MenuItemDef kViewMenu[] = {
    {"&Toolbar", ID_VIEW_TOOLBAR},
    {"&Status Bar", ID_VIEW_STATUS_BAR},
    {"S&plit", ID_WINDOW_SPLIT},
    {"&Realign Long Blocks", ID_REALIGN_LONG_BLOCKS},
    {nullptr, 0},
    {"Ignore White Space &Changes", ID_IGNORE_WHITESPACE_CHANGES},
    {"Ignore &All White Space", ID_IGNORE_ALL_WHITESPACE},
    {"Ignore C&ase", ID_IGNORE_CASE},
    {"Ignore &Blank Lines", ID_IGNORE_BLANK_LINES},
    {"Decode &Unicode Files", ID_DECODE_UNICODE},
    {nullptr, 0},
    {"Changes &Within Lines", ID_INLINE_CHANGES},
    {"&Location Map", ID_VIEW_LOCATION_MAP},
    {"&Watch Files", ID_WATCH_FILES},
};
constexpr MenuItemDef kToolsMenu[] = {
    {"Options", ID_TOOLS_OPTIONS},
};
constexpr MenuItemDef kHelpMenu[] = {
    {"&About Tessiver...", ID_APP_ABOUT},
};
constexpr MenuPopupDef kMainMenu[] = {
    {"&File", kFileMenu},  {"&Edit", kEditMenu},       {"&View", kViewMenu},
    {"Tools", kToolsMenu}, {"&Help", kHelpMenu, true},
};
constexpr MenuDef kMenus[] = {{IDR_MAINFRAME, kMainMenu}};

constexpr AccelDef kMainAccelerators[] = {
    {FVIRTKEY, VK_F5, ID_COMPARE},
    {FVIRTKEY, VK_F7, ID_NEXT_DIFFERENCE},
    {FVIRTKEY | FSHIFT, VK_F7, ID_PREVIOUS_DIFFERENCE},
    {FVIRTKEY, VK_F6, ID_NEXT_PANE},
    {FVIRTKEY | FSHIFT, VK_F6, ID_PREV_PANE},
    {FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW},
    {FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN},
    {FVIRTKEY | FCONTROL, 'S', ID_FILE_SAVE},
    {FVIRTKEY | FCONTROL, 'P', ID_FILE_PRINT},
    {FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY},
    {FVIRTKEY | FCONTROL, VK_INSERT, ID_EDIT_COPY},
    {FVIRTKEY | FCONTROL, 'V', ID_EDIT_PASTE},
    {FVIRTKEY | FSHIFT, VK_INSERT, ID_EDIT_PASTE},
    {FVIRTKEY | FCONTROL, 'X', ID_EDIT_CUT},
    {FVIRTKEY | FSHIFT, VK_DELETE, ID_EDIT_CUT},
    {FVIRTKEY | FCONTROL, 'Z', ID_EDIT_UNDO},
    {FVIRTKEY | FALT, VK_BACK, ID_EDIT_UNDO},
    {FVIRTKEY, VK_UP, ID_ROW_UP},
    {FVIRTKEY, VK_DOWN, ID_ROW_DOWN},
    {FVIRTKEY, VK_PRIOR, ID_PAGE_UP},
    {FVIRTKEY, VK_NEXT, ID_PAGE_DOWN},
    {FVIRTKEY | FCONTROL, VK_HOME, ID_FIRST_ROW},
    {FVIRTKEY | FCONTROL, VK_END, ID_LAST_ROW},
    {FVIRTKEY, VK_LEFT, ID_STEP_LEFT},
    {FVIRTKEY, VK_RIGHT, ID_STEP_RIGHT},
    {FVIRTKEY, VK_HOME, ID_LEFT_EDGE},
    {FVIRTKEY, VK_END, ID_LINE_END},
    {FVIRTKEY | FCONTROL, 'F', ID_EDIT_FIND},
    {FVIRTKEY, VK_F3, ID_EDIT_FIND_NEXT},
    {FVIRTKEY | FSHIFT, VK_F3, ID_EDIT_FIND_PREV},
    {FVIRTKEY | FCONTROL, 'G', ID_EDIT_GOTO_LINE},
};
constexpr AcceleratorTableDef kAccelerators[] = {{IDR_MAINFRAME, kMainAccelerators}};

// 0 marks a separator. The image strip holds one 16 by 15 image per button, in this order.
constexpr std::uint32_t kMainButtons[] = {
    ID_OPEN_SOURCE,
    ID_OPEN_TARGET,
    0,
    ID_FILE_PRINT,
    ID_FILE_PRINT_PREVIEW,
    0,
    ID_NEXT_DIFFERENCE,
    ID_PREVIOUS_DIFFERENCE,
    0,
    ID_TOOLS_OPTIONS,
    0,
    ID_APP_ABOUT,
    ID_CONTEXT_HELP,
    ID_CONTEXT_HELP,
};
const ToolBarDef kToolBars[] = {{IDR_MAINFRAME, 16, 15, kMainButtons, kToolbarPng, kToolbar2xPng}};

const IconDef kIcons[] = {{IDR_MAINFRAME, kTessiverPng}};

constexpr std::uint32_t kNoId = 0xFFFF;

constexpr DialogItemDef kAboutItems[] = {
    {"STATIC", "", kNoId, 11, 17, 20, 20, WS_CHILD | WS_VISIBLE | SS_ICON, IDR_MAINFRAME},
    {"STATIC", "Tessiver  - Version 1.03", kNoId, 52, 18, 98, 8,
     WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX},
    {"BUTTON", "OK", 1, 178, 7, 32, 14,
     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON},
};
constexpr DialogItemDef kOptionsItems[] = {
    {"EDIT", "", IDC_TAB_WIDTH, 80, 20, 25, 12, 0x50812000},
    {"msctls_updown32", "", IDC_TAB_WIDTH_SPIN, 105, 21, 11, 10, 0x50000036},
    {"STATIC", "Display tabs as", kNoId, 15, 22, 60, 8, 0x50020000},
    {"STATIC", "Spaces", kNoId, 120, 22, 60, 8, 0x50020000},
};
constexpr DialogItemDef kComparingItems[] = {
    {"STATIC", "", IDC_COMPARING_TEXT, 7, 7, 206, 8, WS_CHILD | WS_VISIBLE | SS_NOPREFIX},
    {"msctls_progress32", "", IDC_COMPARING_BAR, 7, 19, 206, 10, WS_CHILD | WS_VISIBLE},
    {"BUTTON", "Cancel", IDCANCEL, 163, 36, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
};
constexpr std::uint32_t kEditStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr std::uint32_t kFirstRadio =
    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr std::uint32_t kRadio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
constexpr std::uint32_t kDefaultButton =
    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr std::uint32_t kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DialogItemDef kFindItems[] = {
    {"STATIC", "Find what:", kNoId, 7, 9, 42, 8, WS_CHILD | WS_VISIBLE | SS_NOPREFIX},
    {"EDIT", "", IDC_FIND_TEXT, 50, 7, 118, 12, kEditStyle},
    {"BUTTON", "Match &case", IDC_FIND_MATCH_CASE, 7, 25, 100, 10,
     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX},
    {"STATIC", "Search in:", kNoId, 7, 44, 42, 8, WS_CHILD | WS_VISIBLE | SS_NOPREFIX},
    {"BUTTON", "&Source", IDC_FIND_SOURCE, 50, 43, 38, 10, kFirstRadio},
    {"BUTTON", "&Target", IDC_FIND_TARGET, 90, 43, 38, 10, kRadio},
    {"BUTTON", "&Both", IDC_FIND_BOTH, 130, 43, 38, 10, kRadio},
    {"BUTTON", "Find", IDOK, 176, 7, 47, 14, kDefaultButton},
    {"BUTTON", "Cancel", IDCANCEL, 176, 24, 47, 14, kButton},
};
constexpr DialogItemDef kGoToLineItems[] = {
    {"STATIC", "Line number:", kNoId, 7, 9, 48, 8, WS_CHILD | WS_VISIBLE | SS_NOPREFIX},
    {"EDIT", "", IDC_GOTO_LINE_NUMBER, 58, 7, 60, 12, kEditStyle | ES_NUMBER},
    {"BUTTON", "&Source", IDC_GOTO_SOURCE, 7, 27, 45, 10, kFirstRadio},
    {"BUTTON", "&Target", IDC_GOTO_TARGET, 58, 27, 45, 10, kRadio},
    {"BUTTON", "Go To", IDOK, 126, 7, 47, 14, kDefaultButton},
    {"BUTTON", "Cancel", IDCANCEL, 126, 24, 47, 14, kButton},
};
constexpr DialogDef kDialogs[] = {
    {IDD_ABOUTBOX, "About Tessiver", 217, 55, "MS Sans Serif", 8,
     DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kAboutItems},
    {IDD_OPTIONS_GENERAL, "Options", 247, 101, "MS Sans Serif", 8, 0x48C00040, kOptionsItems},
    {IDD_COMPARING, "Comparing", 220, 57, "MS Sans Serif", 8,
     DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kComparingItems},
    {IDD_FIND, "Find", 230, 62, "MS Sans Serif", 8,
     DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kFindItems},
    {IDD_GOTO_LINE, "Go To Line", 180, 45, "MS Sans Serif", 8,
     DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kGoToLineItems},
};

}  // namespace

const ResourceTables& GetResourceTables() {
    static const ResourceTables tables{kStrings,  kMenus,   kAccelerators,
                                       kToolBars, kDialogs, kIcons};
    return tables;
}
