#pragma once

#include <cstdint>
#include <string>

// What a comparison leaves out when it compares lines, and how it reads the files. With every
// option off (the default) a file is read as bytes and two lines are equal only when their bytes
// are.
struct CCompareOptions {
    enum Whitespace : std::uint8_t {
        whitespaceExact = 0,
        // Runs of spaces and tabs compare as one space; those at the end of a line not at all.
        whitespaceChanges = 1,
        whitespaceAll = 2,  // spaces and tabs are left out
    };

    std::uint8_t whitespace = whitespaceExact;
    bool bIgnoreCase = false;  // ASCII letters compare without case
    // Blank lines (empty, or under a white-space option of spaces and tabs only) take no part
    // in pairing; they stand in rows of their own, which are no difference.
    bool bIgnoreBlankLines = false;
    // A file that starts with a byte-order mark is read as the text it encodes: UTF-8 without
    // its mark, UTF-16 turned into UTF-8.
    bool bDecodeUnicode = false;

    // Whether two lines may be equal although their bytes differ.
    bool IsNormalising() const { return whitespace != whitespaceExact || bIgnoreCase; }
    bool IsAnyOn() const { return IsNormalising() || bIgnoreBlankLines || bDecodeUnicode; }
    bool operator==(const CCompareOptions&) const = default;
};

// The options that are on, as tessiver-table's flags ("-w -B"); empty when none is.
std::string FormatOptionFlags(const CCompareOptions& options);

// What a file was read as.
enum class TextEncoding : std::uint8_t {
    bytes,    // as it stands, byte for byte (no mark, or decoding off)
    utf8,     // UTF-8 after a byte-order mark, the mark dropped
    utf16le,  // UTF-16 after its mark, turned into UTF-8
    utf16be,
};

// "UTF-8", "UTF-16LE", "UTF-16BE"; empty for bytes read as they stand.
const char* GetEncodingName(TextEncoding encoding);
