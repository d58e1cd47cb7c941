#pragma once

// Numbered identifiers of commands, status panes, strings, dialogs, images and windows.

#include <cstdint>

// Resource 128: main menu, accelerators, toolbar, icon, document template string.
constexpr std::uint32_t IDR_MAINFRAME = 128;

// Dialogs.
constexpr std::uint32_t IDD_ABOUTBOX = 100;
constexpr std::uint32_t IDD_OPTIONS_GENERAL = 102;
constexpr std::uint32_t IDC_TAB_WIDTH = 1002;
constexpr std::uint32_t IDC_TAB_WIDTH_SPIN = 1003;

// Strings.
constexpr std::uint32_t IDS_OPEN_SOURCE_TITLE = 129;
constexpr std::uint32_t IDS_OPEN_TARGET_TITLE = 130;
constexpr std::uint32_t AFX_IDS_APP_TITLE = 57344;

// Status bar panes.
constexpr std::uint32_t ID_INDICATOR_SOURCE = 101;
constexpr std::uint32_t ID_INDICATOR_TARGET = 102;

// The program's own commands.
constexpr std::uint32_t ID_NEXT_DIFFERENCE = 32771;
constexpr std::uint32_t ID_PREVIOUS_DIFFERENCE = 32772;
constexpr std::uint32_t ID_OPEN_SOURCE = 32773;
constexpr std::uint32_t ID_OPEN_TARGET = 32774;
constexpr std::uint32_t ID_COMPARE = 32775;
constexpr std::uint32_t ID_TOOLS_OPTIONS = 32785;
constexpr std::uint32_t ID_SWAP_FILES = 32787;

// The framework's standard commands.
constexpr std::uint32_t ID_FILE_NEW = 57600;
constexpr std::uint32_t ID_FILE_OPEN = 57601;
constexpr std::uint32_t ID_FILE_CLOSE = 57602;
constexpr std::uint32_t ID_FILE_SAVE = 57603;
constexpr std::uint32_t ID_FILE_SAVE_AS = 57604;
constexpr std::uint32_t ID_FILE_PRINT_SETUP = 57606;
constexpr std::uint32_t ID_FILE_PRINT = 57607;
constexpr std::uint32_t ID_FILE_PRINT_DIRECT = 57608;
constexpr std::uint32_t ID_FILE_PRINT_PREVIEW = 57609;
constexpr std::uint32_t ID_EDIT_COPY = 57634;
constexpr std::uint32_t ID_EDIT_CUT = 57635;
constexpr std::uint32_t ID_EDIT_PASTE = 57637;
constexpr std::uint32_t ID_EDIT_UNDO = 57643;
constexpr std::uint32_t ID_WINDOW_SPLIT = 57653;
constexpr std::uint32_t ID_APP_ABOUT = 57664;
constexpr std::uint32_t ID_APP_EXIT = 57665;
constexpr std::uint32_t ID_HELP_INDEX = 57667;
constexpr std::uint32_t ID_CONTEXT_HELP = 57671;
constexpr std::uint32_t ID_NEXT_PANE = 57680;
constexpr std::uint32_t ID_PREV_PANE = 57681;
constexpr std::uint32_t ID_VIEW_TOOLBAR = 59392;
constexpr std::uint32_t ID_VIEW_STATUS_BAR = 59393;

// Window identifiers.
constexpr std::uint32_t AFX_IDW_TOOLBAR = 59392;
constexpr std::uint32_t AFX_IDW_STATUS_BAR = 59393;
constexpr std::uint32_t AFX_IDW_PANE_FIRST = 59648;
