#pragma once

#include <cstdint>

// How the two sides of one result row relate. Stored as plain integers in the table.
enum RowKind : std::int32_t {
    kindChanged = 0,     // a source line opposite a target line, not found equal
    kindEqual = 1,       // equal non-blank lines: byte for byte, or as the options see them
    kindSourceOnly = 2,  // a source line with nothing opposite
    kindTargetOnly = 3,  // a target line with nothing opposite
};

// A row is a difference when it is not equal and one of its texts is not blank: two blank lines
// opposite each other are no difference. Blank is empty, or under a white-space option of spaces
// and tabs only.
constexpr bool IsDifferenceRow(std::int32_t kind, bool bSourceEmpty, bool bTargetEmpty) {
    return kind != kindEqual && !(bSourceEmpty && bTargetEmpty);
}
