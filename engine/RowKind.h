#pragma once

#include <cstdint>

// How the two sides of one result row relate. Stored as plain integers in the table.
enum RowKind : std::int32_t {
    kindChanged = 0,     // a source line opposite a target line, not found equal
    kindEqual = 1,       // byte-for-byte equal, non-blank lines
    kindSourceOnly = 2,  // a source line with nothing opposite
    kindTargetOnly = 3,  // a target line with nothing opposite
};
