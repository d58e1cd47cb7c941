#pragma once

// The program's numbered identifiers of commands, status panes, strings, dialogs and images. The
// framework's standard identifiers, which the tables below use too, come from the framework.

#include <cstdint>

#include "framework/core/AfxRes.h"
#include "framework/core/ResourceTypes.h"

// Resource 128: main menu, accelerators, toolbar, icon, document template string.
constexpr std::uint32_t IDR_MAINFRAME = 128;

// Dialogs.
constexpr std::uint32_t IDD_ABOUTBOX = 100;
constexpr std::uint32_t IDD_OPTIONS_GENERAL = 102;
constexpr std::uint32_t IDC_TAB_WIDTH = 1002;
constexpr std::uint32_t IDC_TAB_WIDTH_SPIN = 1003;
// "Comparing": what a long comparison is doing, how far it has come, and Cancel.
constexpr std::uint32_t IDD_COMPARING = 110;
constexpr std::uint32_t IDC_COMPARING_TEXT = 1100;
constexpr std::uint32_t IDC_COMPARING_BAR = 1101;

// Edit > Find: the text, whether its case counts, the sides it is looked for on.
constexpr std::uint32_t IDD_FIND = 120;
constexpr std::uint32_t IDC_FIND_TEXT = 1200;
constexpr std::uint32_t IDC_FIND_MATCH_CASE = 1201;
constexpr std::uint32_t IDC_FIND_SOURCE = 1202;  // the sides' radio buttons, in this order
constexpr std::uint32_t IDC_FIND_TARGET = 1203;
constexpr std::uint32_t IDC_FIND_BOTH = 1204;
// Edit > Go To Line: a line number and the side it counts on.
constexpr std::uint32_t IDD_GOTO_LINE = 121;
constexpr std::uint32_t IDC_GOTO_LINE_NUMBER = 1210;
constexpr std::uint32_t IDC_GOTO_SOURCE = 1211;
constexpr std::uint32_t IDC_GOTO_TARGET = 1212;

// Strings.
constexpr std::uint32_t IDS_OPEN_SOURCE_TITLE = 129;
constexpr std::uint32_t IDS_OPEN_TARGET_TITLE = 130;
constexpr std::uint32_t IDS_CANNOT_OPEN = 131;  // a status pane's path, then why it did not open
constexpr std::uint32_t IDS_EXPORT_UNIFIED_TITLE = 160;
constexpr std::uint32_t IDS_EXPORT_HTML_TITLE = 161;
constexpr std::uint32_t IDS_EXPORT_UNIFIED_FILTER = 162;  // the save dialog's filter, '|'-separated
constexpr std::uint32_t IDS_EXPORT_HTML_FILTER = 163;
constexpr std::uint32_t IDS_CANNOT_WRITE = 164;   // the path the export was to be written to
constexpr std::uint32_t IDS_CANNOT_EXPORT = 165;  // why the export cannot be made
// What the "Comparing" dialog says a comparison is doing.
constexpr std::uint32_t IDS_PROGRESS_READING = 150;  // the name of the file being read
constexpr std::uint32_t IDS_PROGRESS_ALIGNING = 151;
constexpr std::uint32_t IDS_PROGRESS_BUILDING = 152;
// Why a drop was refused: %s is what was dropped (its path, or what the drop called it).
constexpr std::uint32_t IDS_DROP_NOT_A_FILE = 140;
constexpr std::uint32_t IDS_DROP_FOLDER = 141;
constexpr std::uint32_t IDS_DROP_MISSING = 142;
constexpr std::uint32_t IDS_DROP_TOO_MANY = 143;  // %s: how many things were dropped
constexpr std::uint32_t IDS_DROP_UNNAMED = 144;   // what was dropped, when the drop names nothing
// What a status pane adds to its text when its file changed on disk after the comparison.
constexpr std::uint32_t IDS_CHANGED_ON_DISK = 145;
constexpr std::uint32_t IDS_DELETED_ON_DISK = 146;
// Edit > Find found nothing: %s is the text looked for.
constexpr std::uint32_t IDS_TEXT_NOT_FOUND = 170;

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
constexpr std::uint32_t ID_REALIGN_LONG_BLOCKS = 32788;
// The comparison options, check items of the View menu.
constexpr std::uint32_t ID_IGNORE_WHITESPACE_CHANGES = 32789;
constexpr std::uint32_t ID_IGNORE_ALL_WHITESPACE = 32790;
constexpr std::uint32_t ID_IGNORE_CASE = 32791;
constexpr std::uint32_t ID_IGNORE_BLANK_LINES = 32792;
constexpr std::uint32_t ID_DECODE_UNICODE = 32793;
// Writing the result to a file, in the File menu.
constexpr std::uint32_t ID_EXPORT_UNIFIED = 32840;
constexpr std::uint32_t ID_EXPORT_HTML = 32841;
// Marking what differs within changed lines, a check item of the View menu.
constexpr std::uint32_t ID_INLINE_CHANGES = 32794;
// Moving both panes with the keyboard: a row, a page, to the first or last row; a step left or
// right, to the left edge, to the end of the longest line shown.
constexpr std::uint32_t ID_ROW_UP = 32795;
constexpr std::uint32_t ID_ROW_DOWN = 32796;
constexpr std::uint32_t ID_PAGE_UP = 32797;
constexpr std::uint32_t ID_PAGE_DOWN = 32798;
constexpr std::uint32_t ID_FIRST_ROW = 32799;
constexpr std::uint32_t ID_LAST_ROW = 32800;
constexpr std::uint32_t ID_STEP_LEFT = 32801;
constexpr std::uint32_t ID_STEP_RIGHT = 32802;
constexpr std::uint32_t ID_LEFT_EDGE = 32803;
constexpr std::uint32_t ID_LINE_END = 32804;
// Show where the differences lie in the whole result beside the target pane: a check item of the
// View menu.
constexpr std::uint32_t ID_VIEW_LOCATION_MAP = 32805;
// Edit menu: find text, again forwards or backwards; go to a line of either side.
constexpr std::uint32_t ID_EDIT_FIND = 32806;
constexpr std::uint32_t ID_EDIT_FIND_NEXT = 32807;
constexpr std::uint32_t ID_EDIT_FIND_PREV = 32808;
constexpr std::uint32_t ID_EDIT_GOTO_LINE = 32809;
// Mark a status pane when its file changes on disk: a check item at the end of the View menu.
constexpr std::uint32_t ID_WATCH_FILES = 32820;

// The program's tables, for the framework.
const ResourceTables& GetResourceTables();
