#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/CompareOptions.h"

// Lines as the comparison options see them: runs of spaces and tabs as one space and none at the
// end (whitespaceChanges), or no spaces and tabs at all (whitespaceAll), ASCII letters in lower
// case (bIgnoreCase). The normalised text is never stored: Hash gathers it sixteen bytes at a time
// in a register and hashes each block of sixteen as it fills, Equal and IsBlank walk it byte by
// byte.
class CLineNormaliser {
public:
    // Hash may read this many bytes past the end of a line (and ignores them).
    static constexpr std::size_t kReadPast = 16;

    // bUseShuffle: gather with the processor's byte shuffle where it has one (the tests also
    // check the other way).
    explicit CLineNormaliser(const CCompareOptions& options, bool bUseShuffle = true);

    // A 32-bit hash of the normalised line at p, n bytes long: 0 exactly when nothing is left,
    // equal for lines Equal finds equal. p[n] to p[n + kReadPast - 1] must be readable.
    std::uint32_t Hash(const char* p, std::size_t n) const;
    bool Equal(std::string_view a, std::string_view b) const;
    // Whether nothing is left of the line (empty, or under a white-space option of spaces and
    // tabs only).
    bool IsBlank(std::string_view line) const;

private:
    std::uint8_t m_whitespace;
    bool m_bFoldCase;
    bool m_bShuffle;  // the processor gathers sixteen bytes with one instruction (SSSE3)
};
