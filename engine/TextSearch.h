#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CCompareResult;

// Which texts of the table a search reads.
enum class SearchSide : std::uint8_t { source, target, both };

// What Edit > Find looks for: literal bytes, no pattern, never across a line end.
struct CTextQuery {
    std::string text;
    // Off: the ASCII letters A to Z and a to z match either case; every other byte, UTF-8
    // sequences among them, matches only itself.
    bool bMatchCase = false;
    SearchSide side = SearchSide::both;
};

// Where a search found its text: the row, the side, and the bytes of that side's line as read
// (its tabs not expanded; see ShownOffset).
struct CTextMatch {
    std::int32_t row = -1;
    bool bSource = true;
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const CTextMatch&, const CTextMatch&) = default;
};

// The first row after row `from` (forward) or before it (backward) that holds the query's text
// on a side it reads, wrapping once past the end of the table, so that row `from` itself comes
// last. Within a row the source is read before the target, and the first occurrence in a line
// counts. A `from` outside the table counts as the nearest row in it. Nothing is found for an
// empty text or an empty table. Reads each line once, byte-wise: no line is copied.
std::optional<CTextMatch> FindInTable(const CCompareResult& result, const CTextQuery& query,
                                      std::int32_t from, bool bForward);

// The offset in the text as shown (each tab four spaces) of byte `offset` of raw.
std::size_t ShownOffset(std::string_view raw, std::size_t offset);

// The row that holds line `line` (counted from 1) of the source or the target: a line past the
// end is the side's last line, one before the start its first. -1 when that side has no lines.
std::int32_t RowOfLine(const CCompareResult& result, bool bSource, std::int64_t line);
