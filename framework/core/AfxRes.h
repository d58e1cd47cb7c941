#pragma once

// The framework's standard identifiers: its commands, its strings and the windows of a frame. A
// program's own identifiers are numbered so as not to meet them; its resource tables use both.

#include <cstdint>

// The application's name, when the program gives none.
constexpr std::uint32_t AFX_IDS_APP_TITLE = 57344;

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
