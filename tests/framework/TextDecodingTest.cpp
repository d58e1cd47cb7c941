// How drawing reads the program's bytes: valid UTF-8 as UTF-8, anything else as Latin-1 byte by
// byte, control characters as blanks that keep their cell.
#include <gtest/gtest.h>

#include <string>

#include "framework/draw/TextDecoding.h"

namespace {

std::u32string Shown(const std::string& text, std::size_t judgeLimit = 1000) {
    std::u32string shown;
    for (CShownText chars(text, judgeLimit); !chars.AtEnd();) {
        shown += chars.Next();
    }
    return shown;
}

TEST(TextDecoding, EachTextShowsAsItsCharacters) {
    const struct {
        const char* name;
        std::string text;
        std::u32string shown;
    } cases[] = {
        {"ascii", "a b", U"a b"},
        {"nul inside", std::string("a\0b", 3), U"a b"},
        {"controls", "\x01\x1B\x7F\xC2\x85", U"    "},
        {"utf-8", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", U"caf\u00E9 \u20AC \U0001F600"},
        {"latin-1", "caf\xE9", U"caf\u00E9"},
        {"utf-8 after eight ascii bytes", "01234567\xC3\xA9", U"01234567\u00E9"},
        {"a bad byte among the first eight", "0123456\xFF\xC3\xA9", U"0123456\u00FF\u00C3\u00A9"},
        {"c1 controls as latin-1", "\x85\xA0", U" \u00A0"},
        {"one bad byte makes all latin-1", "\xC3\xA9\xFF", U"\u00C3\u00A9\u00FF"},
        {"surrogate", "\xED\xA0\x80", U"\u00ED\u00A0 "},
        {"overlong", "\xC0\xAF", U"\u00C0\u00AF"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", U"\u00F4   "},
        {"cut at the end", "ab\xE2\x82", U"ab\u00E2 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Shown(c.text), c.shown);
    }
}

// A long text is judged on its head only; a sequence the limit cuts still counts as UTF-8.
TEST(TextDecoding, ALongTextIsJudgedOnItsHead) {
    const std::string head = "\xE2\x82\xAC\xE2\x82\xAC";  // two euro signs, six bytes
    EXPECT_EQ(Shown(head + "\xFF", 6), U"\u20AC\u20AC\u00FF");
    EXPECT_EQ(Shown(head + "\xFF", 7), U"\u00E2 \u00AC\u00E2 \u00AC\u00FF");
    EXPECT_TRUE(LooksLikeUtf8(head, 4));
    EXPECT_FALSE(LooksLikeUtf8(head.substr(0, 4), 100));
}

// Marks of every family named take no cell, and are drawn on the one before; invisible format
// characters show nowhere; spacing marks and letters take their own.
TEST(TextDecoding, WhichCharactersTakeACell) {
    for (const char32_t c : {0x0300, 0x036F, 0x1AB0, 0x1AFF, 0x1DC0, 0x1DFF, 0x20D0, 0x20DD, 0x20FF,
                             0xFE20, 0xFE2F, 0x05B0, 0x0E31, 0x302A, 0x1D167, 0x1E944}) {
        EXPECT_EQ(CellPlaceOf(c), CellPlace::onPrevious) << std::hex << static_cast<unsigned>(c);
    }
    for (const char32_t c : {0x034F, 0x200B, 0x200D, 0x2060, 0xFE00, 0xFE0F, 0xFEFF, 0xE0100}) {
        EXPECT_EQ(CellPlaceOf(c), CellPlace::nowhere) << std::hex << static_cast<unsigned>(c);
    }
    for (const char32_t c : {0x20, 0x2FF, 0xE9, 0x0370, 0x0903, 0x4E00, 0x1F600}) {
        EXPECT_EQ(CellPlaceOf(c), CellPlace::ownCell) << std::hex << static_cast<unsigned>(c);
    }
}

// The cells of a text, each written as its character followed by its marks in brackets.
std::u32string Cells(const std::string& text) {
    std::u32string cells;
    std::u32string marks;
    for (CShownCells walk(text, 1000); !walk.AtEnd();) {
        cells += walk.Next(marks);
        if (!marks.empty()) {
            cells += U"[" + marks + U"]";
        }
    }
    return cells;
}

TEST(TextDecoding, MarksGoOnTheCellBeforeThem) {
    const std::string acute = "\xCC\x81";
    const std::string dotBelow = "\xCC\xA3";
    std::string longRun = "a";
    for (int i = 0; i < 33; ++i) {
        longRun += acute;
    }
    const struct {
        const char* name;
        std::string text;
        std::u32string cells;
    } cases[] = {
        {"one mark", "e" + acute + "x", U"e[\u0301]x"},
        {"two marks", "a" + dotBelow + acute, U"a[\u0323\u0301]"},
        {"nothing before it", acute + "x", U" [\u0301]x"},
        {"joiner and variation selector", "a\xE2\x80\x8D\xEF\xB8\x8F" + acute + "b", U"a[\u0301]b"},
        {"a run longer than stream-safe text allows", longRun + "b",
         U"a[" + std::u32string(32, U'\u0301') + U"]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Cells(c.text), c.cells);
    }
}

}  // namespace
