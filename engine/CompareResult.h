#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/RowKind.h"

class CCompareMonitor;
class CEditScript;
class CLineBuffer;
enum class LineEnd : std::uint8_t;

// The columns a text takes as a pane shows it: a tab four, a character of a text that is UTF-8
// one, a byte of any other text one.
std::size_t ShownColumns(std::string_view text);

// The line numbers of one side of the table: for each row, its line's number counting from 1, or 0
// where that side has no line. A table built from a script has every line of the file once and
// in order, so a row's number follows from which rows before it hold a line of this side: one bit
// a row and a count every 64 rows, not four bytes a row. Numbers given to AddRow are kept as given.
class CLineColumn {
public:
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::int32_t operator[](std::size_t row) const {
        if (!m_given.empty()) {
            return m_given[row];
        }
        const std::uint64_t present = m_present[row >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (row & 63);
        if ((present & bit) == 0) {
            return 0;
        }
        return m_before[row >> 6] + std::popcount(present & (bit - 1)) + 1;
    }
    explicit operator std::vector<std::int32_t>() const;
    friend bool operator==(const CLineColumn& lines, const std::vector<std::int32_t>& values) {
        return std::vector<std::int32_t>(lines) == values;
    }

private:
    friend class CCompareResult;
    // Numbers this side's lines along rows of kinds: a row holds one unless its kind is absent.
    void Number(const std::uint8_t* kinds, std::size_t count, RowKind absent);

    std::size_t m_size = 0;
    std::vector<std::int32_t> m_given;     // rows appended one by one: the numbers given
    std::vector<std::uint64_t> m_present;  // bit r % 64 of entry r / 64: row r holds a line
    std::vector<std::int32_t> m_before;    // lines on the rows before each 64
};

// The texts of one side of the table. A row refers to a line in a buffer (the file's lines as
// read, or the texts given to AddRow) and its tabs are expanded only when it is asked for, so a
// table of millions of rows costs a few bytes per row beyond the file itself.
class CTextColumn {
public:
    CTextColumn() = default;
    CTextColumn(const CTextColumn& other);
    CTextColumn(CTextColumn&& other) noexcept = default;
    CTextColumn& operator=(const CTextColumn& other);
    CTextColumn& operator=(CTextColumn&& other) noexcept = default;
    ~CTextColumn() = default;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // The text of a row as shown: each tab expanded to four spaces; empty for a side without a
    // line.
    std::string operator[](std::size_t row) const;
    // Its first maxLength bytes or a little more, ending on a whole UTF-8 sequence: what a pane
    // can show of a line of any length, without expanding all of it at every paint.
    std::string GetShown(std::size_t row, std::size_t maxLength) const;
    // The same text as read, its tabs not expanded.
    std::string_view GetRaw(std::size_t row) const;
    // How the row's line ended in its file; LF for a side without a line and for texts given to
    // AddRow.
    LineEnd GetLineEnd(std::size_t row) const;
    // How many columns the row's text takes as shown (see CCompareResult::GetWidestText).
    std::size_t GetShownColumns(std::size_t row) const;
    // Whether the row's text is blank for the comparison: empty, or when the file was compared
    // under a white-space option, of spaces and tabs only.
    bool IsBlank(std::size_t row) const;

private:
    friend class CCompareResult;
    // See CCompareResult::GetWidestText.
    std::size_t GetWidest(std::size_t minColumns) const;

    std::size_t m_size = 0;
    // Rows that come from a file show that file's line with the row's number on this side.
    std::shared_ptr<const CLineBuffer> m_pLines;
    const CLineColumn* m_pLineNumbers = nullptr;
    // Instead, when the rows were appended one by one: the texts given, in a line buffer of the
    // column's own, line r for row r (AddRow's line numbers need not count lines).
    std::shared_ptr<CLineBuffer> m_pRowTexts;
};

// The kind of each row (RowKind values) in one byte a row: tables run to tens of millions of rows.
// Reads as integers, and converts to and compares with a list of them.
class CKindColumn {
public:
    std::size_t size() const { return m_kinds.size(); }
    bool empty() const { return m_kinds.empty(); }
    std::int32_t operator[](std::size_t row) const { return m_kinds[row]; }
    operator std::vector<std::int32_t>() const { return {m_kinds.begin(), m_kinds.end()}; }
    friend bool operator==(const CKindColumn& kinds, const std::vector<std::int32_t>& values) {
        return std::equal(kinds.m_kinds.begin(), kinds.m_kinds.end(), values.begin(), values.end());
    }
    friend bool operator==(const CKindColumn&, const CKindColumn&) = default;

private:
    friend class CCompareResult;
    std::vector<std::uint8_t> m_kinds;
};

// The outcome of one comparison: parallel per-row arrays in display order.
// Line numbers count from 1; 0 marks the side that has no line.
class CCompareResult {
public:
    CCompareResult();
    CCompareResult(const CCompareResult& other);
    CCompareResult(CCompareResult&& other) noexcept;
    CCompareResult& operator=(const CCompareResult& other);
    CCompareResult& operator=(CCompareResult&& other) noexcept;
    ~CCompareResult() = default;

    CTextColumn m_sourceText;
    CTextColumn m_targetText;
    CLineColumn m_sourceLine;
    CLineColumn m_targetLine;
    CKindColumn m_kind;
    std::int32_t m_nDifferences = 0;  // rows for which IsDifference holds

    // Appends one row; its texts show with their tabs expanded, and it counts when it is a
    // difference. A table is built either this way or by one AppendScript.
    void AddRow(std::int32_t sourceLine, std::string sourceText, std::int32_t targetLine,
                std::string targetText, std::int32_t kind);

    // Whether the row is a difference, by IsDifferenceRow with its texts' blankness.
    bool IsDifference(std::int32_t row) const {
        const auto r = static_cast<std::size_t>(row);
        return IsDifferenceRow(m_kind[r], m_sourceText.IsBlank(r), m_targetText.IsBlank(r));
    }

    // Row count (the size of every per-row array).
    std::int32_t GetRowCount() const { return static_cast<std::int32_t>(m_sourceText.size()); }

    // How many columns the widest text of the table takes as shown: tabs expanded, a character of
    // a text that is UTF-8 one column, a byte of any other one. Exact when that is more than
    // minColumns; otherwise the answer is minColumns or less. Only texts that could be wider than
    // minColumns are measured, and the answer is kept for the next call.
    std::size_t GetWidestText(std::size_t minColumns) const;

    // Fills this empty table with the rows of script, whose lines come from the two files read
    // for it (either may be null when that side has no lines). The table keeps both buffers for
    // its texts instead of copying them. The script's rows must fit 32-bit row numbers.
    // pMonitor (optional) hears of the rows written every 1,048,576 rows; when it throws
    // CCompareCancelled the table is left unfinished, fit only to be destroyed.
    void AppendScript(const CEditScript& script, std::shared_ptr<const CLineBuffer> pSource,
                      std::shared_ptr<const CLineBuffer> pTarget,
                      CCompareMonitor* pMonitor = nullptr);

private:
    void BindColumns();

    // The last answer of GetWidestText, for the minColumns it was asked with.
    mutable std::optional<std::pair<std::size_t, std::size_t>> m_widest;
};
