#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/CompareOptions.h"

// Reading by byte-order mark: the encoding that the first bytes of a file name, and UTF-16 turned
// into UTF-8 a piece at a time, as the reader gets it.

// The encoding whose byte-order mark starts a file whose first bytes are head, and the mark's
// length in *pLength; TextEncoding::bytes and 0 when there is none. head holds the first three
// bytes of the file, or all of a shorter one. Nothing is guessed without a mark.
TextEncoding FindByteOrderMark(std::string_view head, std::size_t* pLength);

// Turns UTF-16 into UTF-8 as it arrives, in pieces of any length: a code unit or a surrogate pair
// split between two pieces is joined again. An unpaired surrogate, and an odd byte at the very
// end, become U+FFFD; nothing is lost and nothing throws.
class CUtf16Decoder {
public:
    explicit CUtf16Decoder(bool bBigEndian) : m_bBigEndian(bBigEndian) {}

    // The most bytes Decode writes for n bytes of input: three for each code unit, counting a
    // byte held back from the piece before, and U+FFFD for a surrogate held back.
    static constexpr std::size_t MaxOutput(std::size_t n) { return (n + 1) / 2 * 3 + 3; }

    // Decodes the n bytes at in into out and returns the bytes written. An odd last byte, and a
    // high surrogate at the end, wait for the next piece.
    std::size_t Decode(const char* in, std::size_t n, char* out);
    // The input has ended: what waits becomes U+FFFD. Returns the bytes written, at most 6.
    std::size_t Finish(char* out);

private:
    char* Put(std::uint32_t unit, char* out);

    bool m_bBigEndian;
    int m_nHeldByte = -1;               // the first byte of a code unit split between pieces
    std::uint32_t m_highSurrogate = 0;  // a high surrogate waiting for its low one; 0 when none
};
