#include "engine/CompareResult.h"

#include <algorithm>
#include <cassert>

#include "engine/EditScript.h"
#include "engine/LineBuffer.h"
#include "engine/LineComparer.h"

std::size_t CTextColumn::size() const {
    return m_size;
}

std::string_view CTextColumn::operator[](std::size_t row) const {
    if (!m_stored.empty()) {
        const auto it = std::lower_bound(
            m_stored.begin(), m_stored.end(), row,
            [](const CStoredText& stored, std::size_t r) { return stored.row < r; });
        if (it != m_stored.end() && it->row == row) {
            return std::string_view(m_arena).substr(it->begin, it->end - it->begin);
        }
    }
    if (m_pLines) {
        const std::int32_t line = (*m_pLineNumbers)[row];
        if (line > 0) {
            return m_pLines->GetLine(line - 1);
        }
    }
    return "";  // not a null view: readers may hand its data to memcpy
}

CCompareResult::CCompareResult() {
    BindColumns();
}

CCompareResult::CCompareResult(const CCompareResult& other)
    : m_sourceText(other.m_sourceText),
      m_targetText(other.m_targetText),
      m_sourceLine(other.m_sourceLine),
      m_targetLine(other.m_targetLine),
      m_kind(other.m_kind),
      m_nDifferences(other.m_nDifferences) {
    BindColumns();
}

CCompareResult::CCompareResult(CCompareResult&& other) noexcept
    : m_sourceText(std::move(other.m_sourceText)),
      m_targetText(std::move(other.m_targetText)),
      m_sourceLine(std::move(other.m_sourceLine)),
      m_targetLine(std::move(other.m_targetLine)),
      m_kind(std::move(other.m_kind)),
      m_nDifferences(other.m_nDifferences) {
    BindColumns();
    other.BindColumns();
}

CCompareResult& CCompareResult::operator=(const CCompareResult& other) {
    if (this != &other) {
        CCompareResult copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CCompareResult& CCompareResult::operator=(CCompareResult&& other) noexcept {
    if (this != &other) {
        m_sourceText = std::move(other.m_sourceText);
        m_targetText = std::move(other.m_targetText);
        m_sourceLine = std::move(other.m_sourceLine);
        m_targetLine = std::move(other.m_targetLine);
        m_kind = std::move(other.m_kind);
        m_nDifferences = other.m_nDifferences;
        BindColumns();
        other.BindColumns();
    }
    return *this;
}

// The text columns read the line numbers of their own table, so every copy or move points them
// at its own arrays again.
void CCompareResult::BindColumns() {
    m_sourceText.m_pLineNumbers = &m_sourceLine;
    m_targetText.m_pLineNumbers = &m_targetLine;
}

namespace {
// Room for one more element, growing geometrically: rows appended one at a time stay linear.
template <class T>
void ReserveOneMore(std::vector<T>& v) {
    if (v.size() == v.capacity()) {
        v.reserve(std::max<std::size_t>(16, 2 * v.capacity()));
    }
}
}  // namespace

void CCompareResult::AddRow(std::int32_t sourceLine, std::string sourceText,
                            std::int32_t targetLine, std::string targetText, std::int32_t kind) {
    ExpandTabs(sourceText);
    ExpandTabs(targetText);
    // Take all memory first so that a failure leaves the table as it was.
    const std::size_t row = m_sourceLine.size();
    ReserveOneMore(m_sourceLine);
    ReserveOneMore(m_targetLine);
    ReserveOneMore(m_kind);
    ReserveOneMore(m_sourceText.m_stored);
    ReserveOneMore(m_targetText.m_stored);
    const std::size_t sourceBegin = m_sourceText.m_arena.size();
    const std::size_t targetBegin = m_targetText.m_arena.size();
    m_sourceText.m_arena.append(sourceText);
    try {
        m_targetText.m_arena.append(targetText);
    } catch (...) {
        m_sourceText.m_arena.resize(sourceBegin);
        throw;
    }

    m_sourceLine.push_back(sourceLine);
    m_sourceText.m_stored.push_back({row, sourceBegin, m_sourceText.m_arena.size()});
    ++m_sourceText.m_size;
    m_targetLine.push_back(targetLine);
    m_targetText.m_stored.push_back({row, targetBegin, m_targetText.m_arena.size()});
    ++m_targetText.m_size;
    m_kind.push_back(kind);
    if (IsDifference(static_cast<std::int32_t>(row))) {
        ++m_nDifferences;
    }
}

bool CCompareResult::IsDifference(std::int32_t row) const {
    const auto r = static_cast<std::size_t>(row);
    return m_kind[r] != kindEqual && (!m_sourceText[r].empty() || !m_targetText[r].empty());
}

void CCompareResult::AppendScript(const CEditScript& script,
                                  std::shared_ptr<const CLineBuffer> pSource,
                                  std::shared_ptr<const CLineBuffer> pTarget) {
    const std::size_t first = m_sourceLine.size();
    const std::size_t total = first + script.GetRowCount();
    assert(total <= INT32_MAX);
    m_sourceLine.reserve(total);
    m_targetLine.reserve(total);
    m_kind.reserve(total);
    // Reserved to the exact size, so huge pages cover only what is filled.
    for (std::vector<std::int32_t>* column : {&m_sourceLine, &m_targetLine, &m_kind}) {
        AdviseHugePages(column->data() + column->size(),
                        (total - column->size()) * sizeof(std::int32_t));
    }
    m_sourceLine.resize(total);
    m_targetLine.resize(total);
    m_kind.resize(total);
    if (pSource) {
        m_sourceText.m_pLines = std::move(pSource);
    }
    if (pTarget) {
        m_targetText.m_pLines = std::move(pTarget);
    }
    const CLineBuffer* source = m_sourceText.m_pLines.get();
    const CLineBuffer* target = m_targetText.m_pLines.get();

    std::int32_t* sourceLine = m_sourceLine.data() + first;
    std::int32_t* targetLine = m_targetLine.data() + first;
    std::int32_t* kinds = m_kind.data() + first;
    std::int32_t s = 0;  // lines placed so far on each side
    std::int32_t t = 0;
    std::int32_t differences = 0;
    for (std::size_t run = 0; run < script.GetRunCount(); ++run) {
        const RowKind kind = script.GetKind(run);
        const std::uint32_t count = script.GetCount(run);
        std::fill_n(kinds, count, kind);
        kinds += count;
        switch (kind) {
            case kindEqual:
                for (std::uint32_t i = 0; i < count; ++i) {
                    *sourceLine++ = ++s;
                    *targetLine++ = ++t;
                }
                break;
            case kindChanged:
                for (std::uint32_t i = 0; i < count; ++i) {
                    *sourceLine++ = ++s;
                    *targetLine++ = ++t;
                    // Two blank lines opposite each other are no difference.
                    if (!source->IsEmptyLine(s - 1) || !target->IsEmptyLine(t - 1)) {
                        ++differences;
                    }
                }
                break;
            case kindSourceOnly:
                for (std::uint32_t i = 0; i < count; ++i) {
                    *sourceLine++ = ++s;
                    *targetLine++ = 0;
                    if (!source->IsEmptyLine(s - 1)) {
                        ++differences;
                    }
                }
                break;
            case kindTargetOnly:
                for (std::uint32_t i = 0; i < count; ++i) {
                    *sourceLine++ = 0;
                    *targetLine++ = ++t;
                    if (!target->IsEmptyLine(t - 1)) {
                        ++differences;
                    }
                }
                break;
        }
    }
    m_sourceText.m_size = total;
    m_targetText.m_size = total;
    m_nDifferences += differences;
}
