#pragma once

// The shapes of a program's resources: plain tables the framework reads by identifier, in the
// platform's own units (virtual-key codes, dialog units, style bits). Nothing here needs a
// window system.

#include <cstdint>
#include <span>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#endif

// One menu item; a null text is a separator. A TAB in the text separates the item from the
// shortcut text shown at its right (shown only: keys are bound by the accelerator table alone).
struct MenuItemDef {
    const char* text;
    std::uint32_t id;
};

// A popup of the menu bar; bRightAligned places it at the right end where the platform allows.
struct MenuPopupDef {
    const char* title;
    std::span<const MenuItemDef> items;
    bool bRightAligned = false;
};

struct MenuDef {
    std::uint32_t id;
    std::span<const MenuPopupDef> popups;
};

#ifndef _WIN32
// Accelerator flags and the virtual-key codes the program binds (the system's own on Windows).
constexpr std::uint32_t FVIRTKEY = 0x01;
constexpr std::uint32_t FSHIFT = 0x04;
constexpr std::uint32_t FCONTROL = 0x08;
constexpr std::uint32_t FALT = 0x10;

constexpr std::uint32_t VK_BACK = 0x08;
constexpr std::uint32_t VK_INSERT = 0x2D;
constexpr std::uint32_t VK_DELETE = 0x2E;
constexpr std::uint32_t VK_F5 = 0x74;
constexpr std::uint32_t VK_F6 = 0x75;
constexpr std::uint32_t VK_F7 = 0x76;
#endif

struct AccelDef {
    std::uint32_t flags;
    std::uint32_t key;  // virtual-key code; letters and digits are their upper-case ASCII codes
    std::uint32_t id;
};

struct AcceleratorTableDef {
    std::uint32_t id;
    std::span<const AccelDef> entries;
};

// An image as the bytes of a PNG file.
using ImageBytes = std::span<const std::uint8_t>;

// A toolbar: button size, the commands left to right (0 marks a separator) and the strip of
// button images, one per command in the same order; optionally the same images drawn at twice
// the size, for screens of two device pixels a pixel.
struct ToolBarDef {
    std::uint32_t id;
    int nButtonWidth;
    int nButtonHeight;
    std::span<const std::uint32_t> buttons;
    ImageBytes imageStrip;
    ImageBytes imageStrip2x = {};
};

struct StringDef {
    std::uint32_t id;
    const char* text;
};

struct IconDef {
    std::uint32_t id;
    ImageBytes image;
};

// Dialog controls by their platform class names: "BUTTON", "STATIC", "EDIT", "msctls_updown32";
// a STATIC with SS_ICON style shows the icon whose identifier is iconId.
struct DialogItemDef {
    const char* className;
    const char* text;
    std::uint32_t id;  // 0xFFFF: a control without an identifier
    int x, y, cx, cy;  // dialog units
    std::uint32_t style;
    std::uint32_t iconId = 0;
};

struct DialogDef {
    std::uint32_t id;
    const char* caption;
    int cx, cy;  // dialog units
    const char* fontName;
    int nPointSize;
    std::uint32_t style;
    std::span<const DialogItemDef> items;
};

#ifndef _WIN32
// Control style bits the framework interprets (the system's own on Windows).
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_DISABLED = 0x08000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t DS_MODALFRAME = 0x80;
constexpr std::uint32_t DS_SETFONT = 0x40;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x01;
constexpr std::uint32_t SS_ICON = 0x03;
constexpr std::uint32_t SS_NOPREFIX = 0x80;
constexpr std::uint32_t ES_NUMBER = 0x2000;
constexpr std::uint32_t UDS_SETBUDDYINT = 0x02;
constexpr std::uint32_t UDS_ALIGNRIGHT = 0x04;
constexpr std::uint32_t UDS_AUTOBUDDY = 0x10;
constexpr std::uint32_t UDS_ARROWKEYS = 0x20;
#endif

// Everything a program hands the framework: looked up by identifier.
struct ResourceTables {
    std::span<const StringDef> strings;
    std::span<const MenuDef> menus;
    std::span<const AcceleratorTableDef> accelerators;
    std::span<const ToolBarDef> toolbars;
    std::span<const DialogDef> dialogs;
    std::span<const IconDef> icons;
};
