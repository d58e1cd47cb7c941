#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RowKind.h"

class CEditScript;
class CLineBuffer;

// The texts of one side of the table, tabs already expanded. The texts live in a few large
// buffers (the lines as read, plus one arena for texts appended one by one); a row only refers
// into them, so a table of millions of rows costs a few bytes per row beyond the file itself.
class CTextColumn {
public:
    std::size_t size() const;
    bool empty() const { return size() == 0; }
    // The text of a row as stored: tabs expanded; empty for a side without a line.
    std::string_view operator[](std::size_t row) const;

private:
    friend class CCompareResult;

    // A text given to AddRow, stored (expanded) in m_arena.
    struct CStoredText {
        std::size_t row;
        std::size_t begin;
        std::size_t end;
    };

    std::size_t m_size = 0;
    // Rows that come from a file show that file's line with the row's number on this side.
    std::shared_ptr<const CLineBuffer> m_pLines;
    const std::vector<std::int32_t>* m_pLineNumbers = nullptr;
    // Rows appended one by one through AddRow, in row order.
    std::string m_arena;
    std::vector<CStoredText> m_stored;
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
    std::vector<std::int32_t> m_sourceLine;
    std::vector<std::int32_t> m_targetLine;
    std::vector<std::int32_t> m_kind;  // RowKind values
    std::int32_t m_nDifferences = 0;   // rows for which IsDifference holds

    // Appends one row; expands the tabs of both texts and counts it when it is a difference.
    void AddRow(std::int32_t sourceLine, std::string sourceText, std::int32_t targetLine,
                std::string targetText, std::int32_t kind);

    // A row is a difference when its kind is not kindEqual and one of its texts is non-empty.
    bool IsDifference(std::int32_t row) const;

    // Row count (the size of every per-row array).
    std::int32_t GetRowCount() const { return static_cast<std::int32_t>(m_sourceText.size()); }

    // Appends the rows of script, whose lines come from the two files read for it (either may be
    // null when that side has no lines). The table keeps both buffers for its texts instead of
    // copying them. The script's rows must fit 32-bit row numbers.
    void AppendScript(const CEditScript& script, std::shared_ptr<const CLineBuffer> pSource,
                      std::shared_ptr<const CLineBuffer> pTarget);

private:
    void BindColumns();
};
