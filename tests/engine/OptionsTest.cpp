// The comparison options: decoding by byte-order mark (what a decoded file was read as shows in
// the status pane: TessiverDocTest.cpp), the normalised hash and equality.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/LineBuffer.h"
#include "engine/LineComparer.h"
#include "engine/LineNormaliser.h"
#include "engine/TextDecoder.h"
#include "tests/common/ScratchDir.h"
#include "tests/engine/Reference.h"

namespace {

// UTF-16 code units as the bytes of a file, with the mark in front when asked.
std::string Utf16(std::u16string_view units, bool bBigEndian, bool bMark = true) {
    std::string bytes;
    if (bMark) {
        bytes = bBigEndian ? "\xFE\xFF" : "\xFF\xFE";
    }
    for (const char16_t unit : units) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bBigEndian ? high : low;
        bytes += bBigEndian ? low : high;
    }
    return bytes;
}

// Decoded, the text follows the reading rules of any other: CR LF, Ctrl-Z, the last line.
TEST(Reader, DecodedTextFollowsTheReadingRules) {
    const struct {
        const char* name;
        std::string bytes;  // as in the file
        std::vector<std::string> lines;
    } cases[] = {
        {"Utf8MarkDropped",
         "\xEF\xBB\xBF"
         "a\r\nb",
         {"a", "b"}},
        {"MarksAloneAreEmptyFiles", "\xFF\xFE", {}},
        {"NoMarkNoDecoding", std::string("a\0b\0\n\0", 6), {std::string("a\0b\0", 4), {"\0", 1}}},
        {"Utf16MarkInTheMiddleStays",
         Utf16(u"a\n\uFEFFb", false),
         {"a",
          "\xEF\xBB\xBF"
          "b"}},
        {"CrLfInUtf16", Utf16(u"one\r\ntwo\r\n\r\n", true), {"one", "two", ""}},
        {"CtrlZEndsTheDecodedText",
         Utf16(u"a\n\x1A"
               u"b\n",
               false),
         {"a"}},
        // 0x1A inside a code unit is no Ctrl-Z.
        {"CtrlZByteInsideAUnit", Utf16(u"\u1A41\n\u411A", false), {"\xE1\xA9\x81", "\xE4\x84\x9A"}},
        {"UnpairedSurrogatesAreReplaced",
         Utf16(u"\xD800"
               u"a\xDC00\n\xD83D",
               false),
         {"\xEF\xBF\xBD"
          "a\xEF\xBF\xBD",
          "\xEF\xBF\xBD"}},
        {"OddLastByteIsReplaced", Utf16(u"ab", true) + "c", {"ab\xEF\xBF\xBD"}},
    };
    const CScratchDir files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLineBuffer buffer;
        buffer.SetOptions({.bDecodeUnicode = true});
        ASSERT_TRUE(buffer.Load(files.Write("file", c.bytes)));
        std::vector<std::string> lines;
        for (std::int32_t i = 0; i < buffer.GetLineCount(); ++i) {
            lines.emplace_back(buffer.GetLine(i));
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(lines, reference::ReadLines(c.bytes, true));
    }
}

// The decoder gets a file in pieces of any length: a unit or a surrogate pair split between two
// pieces decodes as when whole.
TEST(Utf16Decoder, PiecesSplitAnywhereDecodeAsAWhole) {
    const std::u16string texts[] = {
        u"plain ASCII, more than eight units long",
        u"\U0001F600\U0001F601 pairs \u00e9\u4e2d",
        u"\xD800x\xDC00\xDBFF",  // lone high, lone low, high at the end
        u"abcdefgh\U0001F600abcdefgh",
    };
    for (const bool bBigEndian : {false, true}) {
        for (const std::u16string& text : texts) {
            for (const std::string& bytes :
                 {Utf16(text, bBigEndian, false), Utf16(text, bBigEndian, false) + "z"}) {
                const std::string expected = reference::Decode(Utf16(u"", bBigEndian) + bytes);
                for (std::size_t piece = 1; piece <= bytes.size(); ++piece) {
                    SCOPED_TRACE(testing::Message()
                                 << "big endian " << bBigEndian << ", " << bytes.size()
                                 << " bytes in pieces of " << piece);
                    CUtf16Decoder decoder(bBigEndian);
                    std::string decoded;
                    for (std::size_t at = 0; at < bytes.size(); at += piece) {
                        const std::size_t n = std::min(piece, bytes.size() - at);
                        char out[CUtf16Decoder::MaxOutput(256)];
                        decoded.append(out, decoder.Decode(bytes.data() + at, n, out));
                    }
                    char end[6];
                    decoded.append(end, decoder.Finish(end));
                    ASSERT_EQ(decoded, expected);
                }
            }
        }
    }
}

// Files of several read chunks: a pair, a CR LF and a unit across the chunk seams, and text that
// takes half as much again as its bytes once decoded.
TEST(Reader, DecodedFilesOfManyChunksReadAsTheReference) {
    constexpr std::size_t kChunkUnits = 128 * 1024;
    std::u16string across(kChunkUnits - 1, u'x');
    across += u"\U0001F600\r\n";
    across += std::u16string(kChunkUnits - 2, u'y') + u"\r\n\u00e9";
    std::u16string wide;
    while (wide.size() < 3 * kChunkUnits) {
        wide += std::u16string(wide.size() % 97, u'\u4E2D') + u"\n";
    }
    const CScratchDir files;
    for (const bool bBigEndian : {false, true}) {
        for (const std::u16string* text : {&across, &wide}) {
            SCOPED_TRACE(text->size());
            const std::string bytes = Utf16(*text, bBigEndian);
            CLineBuffer buffer;
            buffer.SetOptions({.bDecodeUnicode = true});
            ASSERT_TRUE(buffer.Load(files.Write("file", bytes)));
            EXPECT_EQ(buffer.GetEncoding(),
                      bBigEndian ? TextEncoding::utf16be : TextEncoding::utf16le);
            const std::vector<std::string> expected = reference::ReadLines(bytes, true);
            ASSERT_EQ(buffer.GetLineCount(), static_cast<std::int32_t>(expected.size()));
            for (std::int32_t i = 0; i < buffer.GetLineCount(); ++i) {
                ASSERT_EQ(buffer.GetLine(i), expected[static_cast<std::size_t>(i)]) << i;
            }
        }
    }
}

// Decoded text counts against the memory as it grows: UTF-16 that fits as bytes can outgrow the
// memory once it takes three bytes a unit.
TEST(Compare, DecodedTextCountsAgainstTheMemory) {
    const CScratchDir files;
    const std::string wide = files.Write("wide", Utf16(std::u16string(330'000, u'\u4E2D'), false));
    const std::string small = files.Write("small", "a\n");
    for (const bool bDecode : {false, true}) {
        SCOPED_TRACE(bDecode);
        CLineComparer comparer;
        comparer.SetMemoryLimit(900'000);
        comparer.SetOptions({.bDecodeUnicode = bDecode});
        comparer.SetFiles(wide, small);
        if (bDecode) {
            EXPECT_THROW((void)comparer.Compare(), std::bad_alloc);
        } else {
            EXPECT_NE(comparer.Compare(), nullptr);
        }
    }
}

// Lines in a buffer with room past their ends, as the reader keeps them.
struct CPaddedLine {
    explicit CPaddedLine(const std::string& line)
        : bytes(line + std::string(CLineNormaliser::kReadPast, '\t')), size(line.size()) {}
    std::uint32_t HashWith(const CLineNormaliser& normaliser) const {
        return normaliser.Hash(bytes.data(), size);
    }
    std::string_view Text() const { return std::string_view(bytes).substr(0, size); }

    std::string bytes;
    std::size_t size;
};

// For every option: equal exactly when the written-out normalised texts are, equal lines hash
// alike whichever way their bytes were gathered, and the hash is 0 exactly for blank lines.
// Long lines end in white space at every place around the hash's 256-byte windows.
TEST(LineNormaliser, AgreesWithTheTextWrittenOut) {
    std::mt19937 random(11);
    static const char* const kPieces[] = {"a", "Q", "q", " ", "\t", "   ", "\xC3\x89", "\r"};
    std::vector<std::string> lines = {"", " ", "\t \t", "x", "X ", " x", "x  y", "x\ty"};
    for (std::size_t n = 240; n < 275; ++n) {
        lines.push_back(std::string(n, 'k') + " \t");
        lines.push_back(std::string(n, 'k'));
        lines.push_back(" " + std::string(n, 'K') + " ");
    }
    for (int i = 0; i < 400; ++i) {
        std::string line;
        for (unsigned pieces = random() % (i % 10 == 0 ? 300 : 12); pieces > 0; --pieces) {
            line += kPieces[random() % std::size(kPieces)];
        }
        lines.push_back(line);
    }
    std::vector<CPaddedLine> padded(lines.begin(), lines.end());
    for (std::uint8_t whitespace = 0; whitespace < 3; ++whitespace) {
        for (const bool bCase : {false, true}) {
            const CCompareOptions options{whitespace, bCase};
            SCOPED_TRACE(FormatOptionFlags(options));
            const CLineNormaliser normaliser(options);
            const CLineNormaliser byteByByte(options, false);
            std::vector<std::string> keys;
            std::vector<std::uint32_t> hashes;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                keys.push_back(reference::Normalise(lines[i], options));
                hashes.push_back(padded[i].HashWith(normaliser));
                ASSERT_EQ(padded[i].HashWith(byteByByte), hashes[i]) << i;
                ASSERT_EQ(normaliser.IsBlank(padded[i].Text()), keys[i].empty()) << i;
                ASSERT_EQ(hashes[i] == 0, keys[i].empty()) << i;
            }
            int equalPairs = 0;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                // Each line against a handful of others, its neighbours most alike.
                for (std::size_t j = i; j < std::min(lines.size(), i + 40); ++j) {
                    const bool bEqual = normaliser.Equal(padded[i].Text(), padded[j].Text());
                    ASSERT_EQ(bEqual, keys[i] == keys[j]) << i << ", " << j;
                    if (bEqual) {
                        ASSERT_EQ(hashes[i], hashes[j]) << i << ", " << j;
                        equalPairs += i != j ? 1 : 0;
                    }
                }
            }
            EXPECT_GT(equalPairs, 0);
        }
    }
}

}  // namespace
