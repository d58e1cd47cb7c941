// The program's UTF-8 texts as the UTF-16 ones the system takes on Windows, and back.
#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"

namespace {

TEST(TextConversion, Utf8AndUtf16StandForEachOther) {
    const struct {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"empty", "", u""},
        {"ascii with a nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"two and three bytes", "caf\xC3\xA9 \xE2\x82\xAC", u"caf\u00E9 \u20AC"},
        {"a surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"the last code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
    }
}

TEST(TextConversion, WhatIsNotUnicodeBecomesTheReplacementCharacter) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // a surrogate
    EXPECT_EQ(Utf8ToUtf16("ab\xE2\x82"), u"ab\uFFFD\uFFFD");        // cut at the end
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"a"),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

}  // namespace
