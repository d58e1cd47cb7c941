#include "engine/CompareResult.h"

#include <algorithm>
#include <cassert>

#include "engine/CompareProgress.h"
#include "engine/EditScript.h"
#include "engine/LineBuffer.h"
#include "platform/Memory.h"

CLineColumn::operator std::vector<std::int32_t>() const {
    std::vector<std::int32_t> numbers(m_size);
    for (std::size_t row = 0; row < m_size; ++row) {
        numbers[row] = (*this)[row];
    }
    return numbers;
}

void CLineColumn::Number(const std::uint8_t* kinds, std::size_t count, RowKind absent) {
    m_size = count;
    m_present.assign((count + 63) / 64, 0);
    m_before.resize(m_present.size());
    std::int32_t lines = 0;
    for (std::size_t block = 0; block < m_present.size(); ++block) {
        const std::size_t end = std::min(count, (block + 1) * 64);
        std::uint64_t present = 0;
        for (std::size_t row = block * 64; row < end; ++row) {
            present |= std::uint64_t{kinds[row] != absent} << (row & 63);
        }
        m_present[block] = present;
        m_before[block] = lines;
        lines += std::popcount(present);
    }
}

CTextColumn::CTextColumn(const CTextColumn& other)
    : m_size(other.m_size), m_pLines(other.m_pLines) {
    // Texts appended one by one belong to their table: a copy takes its own.
    if (other.m_pRowTexts) {
        m_pRowTexts = std::make_shared<CLineBuffer>();
        for (std::int32_t i = 0; i < other.m_pRowTexts->GetLineCount(); ++i) {
            m_pRowTexts->AppendLine(other.m_pRowTexts->GetLine(i));
        }
    }
}

CTextColumn& CTextColumn::operator=(const CTextColumn& other) {
    if (this != &other) {
        CTextColumn copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::string_view CTextColumn::GetRaw(std::size_t row) const {
    if (m_pRowTexts) {
        return m_pRowTexts->GetLine(static_cast<std::int32_t>(row));
    }
    if (m_pLines) {
        const std::int32_t line = (*m_pLineNumbers)[row];
        if (line > 0) {
            return m_pLines->GetLine(line - 1);
        }
    }
    return "";  // not a null view: readers may hand its data to memcpy
}

LineEnd CTextColumn::GetLineEnd(std::size_t row) const {
    if (!m_pRowTexts && m_pLines) {
        const std::int32_t line = (*m_pLineNumbers)[row];
        if (line > 0) {
            return m_pLines->GetLineEnd(line - 1);
        }
    }
    return LineEnd::lf;
}

bool CTextColumn::IsBlank(std::size_t row) const {
    if (!m_pRowTexts && m_pLines) {
        const std::int32_t line = (*m_pLineNumbers)[row];
        return line == 0 || m_pLines->IsBlank(line - 1);
    }
    return GetRaw(row).empty();
}

std::string CTextColumn::operator[](std::size_t row) const {
    std::string text(GetRaw(row));
    ExpandTabs(text);
    return text;
}

std::string CTextColumn::GetShown(std::size_t row, std::size_t maxLength) const {
    const std::string_view raw = GetRaw(row);
    std::string text;
    std::size_t i = 0;
    // Past the limit, on to the end of the UTF-8 sequence it falls in (bytes 10xxxxxx continue
    // one), so that a cut text still reads as UTF-8.
    for (; i < raw.size() &&
           (text.size() < maxLength || (static_cast<unsigned char>(raw[i]) & 0xC0) == 0x80);
         ++i) {
        if (raw[i] == '\t') {
            text.append(4, ' ');
        } else {
            text.push_back(raw[i]);
        }
    }
    return text;
}

namespace {

// Whether text is well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        std::size_t len = 1;
        unsigned char lo = 0x80;  // the second byte's range where the lead byte narrows it
        unsigned char hi = 0xBF;
        if (b0 < 0x80) {
            len = 1;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3;
            lo = b0 == 0xE0 ? 0xA0 : 0x80;
            hi = b0 == 0xED ? 0x9F : 0xBF;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4;
            lo = b0 == 0xF0 ? 0x90 : 0x80;
            hi = b0 == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + len > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if (k == 1 ? (b < lo || b > hi) : (b & 0xC0) != 0x80) {
                return false;
            }
        }
        i += len;
    }
    return true;
}

}  // namespace

std::size_t ShownColumns(std::string_view text) {
    std::size_t tabs = 0;
    std::size_t continuations = 0;
    for (const char c : text) {
        tabs += c == '\t' ? 1 : 0;
        continuations += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 1 : 0;
    }
    const std::size_t characters =
        continuations != 0 && IsUtf8(text) ? text.size() - continuations : text.size();
    return characters + 3 * tabs;
}

std::size_t CTextColumn::GetShownColumns(std::size_t row) const {
    return ShownColumns(GetRaw(row));
}

std::size_t CTextColumn::GetWidest(std::size_t minColumns) const {
    const CLineBuffer* lines = m_pRowTexts ? m_pRowTexts.get() : m_pLines.get();
    std::size_t widest = 0;
    if (lines == nullptr) {
        return widest;
    }
    // A byte takes at most four columns (a tab): a line of fewer bytes than a quarter of what is
    // asked about, or of what is known, cannot be wider.
    lines->ForEachLineLongerThan(minColumns / 4, [&](std::int32_t i) {
        const std::string_view text = lines->GetLine(i);
        if (text.size() * 4 > widest) {
            widest = std::max(widest, ShownColumns(text));
        }
    });
    return widest;
}

std::size_t CCompareResult::GetWidestText(std::size_t minColumns) const {
    if (!m_widest || m_widest->first != minColumns) {
        m_widest.emplace(minColumns, std::max(m_sourceText.GetWidest(minColumns),
                                              m_targetText.GetWidest(minColumns)));
    }
    return m_widest->second;
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
        m_widest.reset();
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
    assert(m_sourceText.m_pRowTexts || m_sourceLine.empty());
    // Take all memory first so that a failure leaves the table as it was.
    ReserveOneMore(m_sourceLine.m_given);
    ReserveOneMore(m_targetLine.m_given);
    ReserveOneMore(m_kind.m_kinds);
    if (!m_sourceText.m_pRowTexts) {
        auto pSourceTexts = std::make_shared<CLineBuffer>();
        auto pTargetTexts = std::make_shared<CLineBuffer>();
        m_sourceText.m_pRowTexts = std::move(pSourceTexts);
        m_targetText.m_pRowTexts = std::move(pTargetTexts);
    }
    m_sourceText.m_pRowTexts->Reserve(sourceText.size());
    m_targetText.m_pRowTexts->Reserve(targetText.size());

    m_sourceText.m_pRowTexts->AppendLine(sourceText);
    m_targetText.m_pRowTexts->AppendLine(targetText);
    m_widest.reset();
    m_sourceLine.m_given.push_back(sourceLine);
    m_targetLine.m_given.push_back(targetLine);
    ++m_sourceLine.m_size;
    ++m_targetLine.m_size;
    m_kind.m_kinds.push_back(static_cast<std::uint8_t>(kind));
    ++m_sourceText.m_size;
    ++m_targetText.m_size;
    if (IsDifference(static_cast<std::int32_t>(m_kind.size() - 1))) {
        ++m_nDifferences;
    }
}

void CCompareResult::AppendScript(const CEditScript& script,
                                  std::shared_ptr<const CLineBuffer> pSource,
                                  std::shared_ptr<const CLineBuffer> pTarget,
                                  CCompareMonitor* pMonitor) {
    assert(m_sourceLine.empty() && !m_sourceText.m_pRowTexts);
    const std::size_t total = script.GetRowCount();
    assert(total <= INT32_MAX);
    m_kind.m_kinds.reserve(total);
    // Reserved to the exact size, so huge pages cover only what is filled.
    AdviseHugePages(m_kind.m_kinds.data(), total);
    m_kind.m_kinds.resize(total);
    m_sourceText.m_pLines = std::move(pSource);
    m_targetText.m_pLines = std::move(pTarget);
    const CLineBuffer* source = m_sourceText.m_pLines.get();
    const CLineBuffer* target = m_targetText.m_pLines.get();

    std::uint8_t* kinds = m_kind.m_kinds.data();
    std::int32_t s = 0;  // lines placed so far on each side
    std::int32_t t = 0;
    std::int32_t differences = 0;
    // A run of millions of rows is written in slices, so that the monitor hears of each.
    constexpr std::uint32_t kRowsPerReport = 1u << 20;
    std::uint64_t nextReport = kRowsPerReport;
    script.ForEachRun([&](RowKind kind, std::uint32_t run) {
        for (std::uint32_t left = run; left != 0;) {
            const std::uint32_t count = std::min(left, kRowsPerReport);
            left -= count;
            std::fill_n(kinds, count, static_cast<std::uint8_t>(kind));
            kinds += count;
            switch (kind) {
                case kindEqual:
                    s += static_cast<std::int32_t>(count);
                    t += static_cast<std::int32_t>(count);
                    break;
                case kindChanged:
                    for (std::uint32_t i = 0; i < count; ++i, ++s, ++t) {
                        differences +=
                            IsDifferenceRow(kindChanged, source->IsBlank(s), target->IsBlank(t));
                    }
                    break;
                case kindSourceOnly:
                    for (std::uint32_t i = 0; i < count; ++i, ++s) {
                        differences += IsDifferenceRow(kindSourceOnly, source->IsBlank(s), true);
                    }
                    break;
                case kindTargetOnly:
                    for (std::uint32_t i = 0; i < count; ++i, ++t) {
                        differences += IsDifferenceRow(kindTargetOnly, true, target->IsBlank(t));
                    }
                    break;
            }
            if (pMonitor != nullptr) {
                if (const auto done = static_cast<std::uint64_t>(kinds - m_kind.m_kinds.data());
                    done >= nextReport) {
                    nextReport = done + kRowsPerReport;
                    pMonitor->Step(CompareStage::building, done, total);
                }
            }
        }
    });
    m_sourceLine.Number(m_kind.m_kinds.data(), total, kindTargetOnly);
    m_targetLine.Number(m_kind.m_kinds.data(), total, kindSourceOnly);
    m_sourceText.m_size = total;
    m_targetText.m_size = total;
    m_nDifferences = differences;
}
