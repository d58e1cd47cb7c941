#pragma once

// The shapes of a program's resources: plain tables the framework reads by identifier, in the
// platform's own units (virtual-key codes, dialog units, style bits). Nothing here needs a
// window system.

#include <cstdint>
#include <span>

#include "framework/core/Platform.h"

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

// Everything a program hands the framework: looked up by identifier.
struct ResourceTables {
    std::span<const StringDef> strings;
    std::span<const MenuDef> menus;
    std::span<const AcceleratorTableDef> accelerators;
    std::span<const ToolBarDef> toolbars;
    std::span<const DialogDef> dialogs;
    std::span<const IconDef> icons;
};
