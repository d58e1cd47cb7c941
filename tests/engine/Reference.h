#pragma once

// A second, deliberately plain implementation of reading and alignment, written straight from
// the rules with strings and no shortcuts, and a checker for the table's invariants. The engine
// tests and the fuzz target hold the engine against both.

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CompareResult.h"
#include "engine/RowKind.h"

namespace reference {

// Text mode: CR LF reads as LF, Ctrl-Z ends the file, a last line without LF counts.
inline std::vector<std::string> ReadLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : bytes) {
        if (c == '\x1A') {
            break;
        }
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// Every tab becomes four spaces, wherever it stands.
inline std::string Expand(const std::string& text) {
    std::string expanded;
    for (const char c : text) {
        expanded += c == '\t' ? std::string("    ") : std::string(1, c);
    }
    return expanded;
}

struct Row {
    std::int32_t sourceLine;
    std::string sourceText;
    std::int32_t targetLine;
    std::string targetText;
    std::int32_t kind;

    bool operator==(const Row&) const = default;
};

inline std::vector<Row> Align(const std::vector<std::string>& source,
                              const std::vector<std::string>& target) {
    std::vector<Row> rows;
    const auto nS = static_cast<std::int32_t>(source.size());
    const auto nT = static_cast<std::int32_t>(target.size());
    auto sourceOnly = [&](std::int32_t s) {
        rows.push_back({s + 1, Expand(source[s]), 0, "", kindSourceOnly});
    };
    auto targetOnly = [&](std::int32_t t) {
        rows.push_back({0, "", t + 1, Expand(target[t]), kindTargetOnly});
    };
    auto pair = [&](std::int32_t s, std::int32_t t, std::int32_t kind) {
        rows.push_back({s + 1, Expand(source[s]), t + 1, Expand(target[t]), kind});
    };
    std::int32_t s = 0;
    std::int32_t t = 0;
    while (s < nS && t < nT) {
        bool done = false;
        if (!source[s].empty()) {
            for (std::int32_t j = t; j < std::min(t + 20, nT) && !done; ++j) {
                if (source[s] == target[j]) {
                    for (; t < j; ++t) {
                        targetOnly(t);
                    }
                    pair(s, j, kindEqual);
                    ++s;
                    t = j + 1;
                    done = true;
                }
            }
        }
        if (done) {
            continue;
        }
        std::int32_t foundK = -1;
        std::int32_t foundM = -1;
        for (std::int32_t k = s + 1; k < std::min(s + 21, nS) && foundK < 0; ++k) {
            if (source[k].empty()) {
                continue;
            }
            for (std::int32_t m = t; m < std::min(t + 10, nT); ++m) {
                if (source[k] == target[m]) {
                    foundK = k;
                    foundM = m;
                    break;
                }
            }
        }
        if (foundK >= 0) {
            for (; s < foundK && t < foundM; ++s, ++t) {
                pair(s, t, kindChanged);
            }
            for (; s < foundK; ++s) {
                sourceOnly(s);
            }
            for (; t < foundM; ++t) {
                targetOnly(t);
            }
            pair(foundK, foundM, kindEqual);
            s = foundK + 1;
            t = foundM + 1;
        } else {
            pair(s, t, kindChanged);
            ++s;
            ++t;
        }
    }
    for (; s < nS; ++s) {
        sourceOnly(s);
    }
    for (; t < nT; ++t) {
        targetOnly(t);
    }
    return rows;
}

inline std::vector<Row> RowsOf(const CCompareResult& result) {
    std::vector<Row> rows;
    for (std::int32_t i = 0; i < result.GetRowCount(); ++i) {
        const auto r = static_cast<std::size_t>(i);
        rows.push_back({result.m_sourceLine[r], std::string(result.m_sourceText[r]),
                        result.m_targetLine[r], std::string(result.m_targetText[r]),
                        result.m_kind[r]});
    }
    return rows;
}

// Checks what must hold of any table built from these raw lines, whatever the alignment chose.
// Returns a description of the first violation, or an empty string.
inline std::string CheckInvariants(const CCompareResult& result,
                                   const std::vector<std::string>& source,
                                   const std::vector<std::string>& target) {
    std::ostringstream error;
    const auto rows = static_cast<std::size_t>(result.GetRowCount());
    if (result.m_sourceText.size() != rows || result.m_targetText.size() != rows ||
        result.m_sourceLine.size() != rows || result.m_targetLine.size() != rows ||
        result.m_kind.size() != rows) {
        error << "per-row arrays differ in length";
        return error.str();
    }
    std::size_t nextSource = 1;
    std::size_t nextTarget = 1;
    std::size_t paired = 0;
    std::int32_t differences = 0;
    for (std::size_t r = 0; r < rows; ++r) {
        const std::int32_t kind = result.m_kind[r];
        const std::int32_t s = result.m_sourceLine[r];
        const std::int32_t t = result.m_targetLine[r];
        const bool hasSource = kind != kindTargetOnly;
        const bool hasTarget = kind != kindSourceOnly;
        if (kind < kindChanged || kind > kindTargetOnly) {
            error << "row " << r << ": kind " << kind;
            return error.str();
        }
        if (hasSource ? s != static_cast<std::int32_t>(nextSource) : s != 0) {
            error << "row " << r << ": source number " << s << ", expected "
                  << (hasSource ? nextSource : 0);
            return error.str();
        }
        if (hasTarget ? t != static_cast<std::int32_t>(nextTarget) : t != 0) {
            error << "row " << r << ": target number " << t << ", expected "
                  << (hasTarget ? nextTarget : 0);
            return error.str();
        }
        if (hasSource && nextSource > source.size()) {
            error << "row " << r << ": source line " << s << " beyond the file";
            return error.str();
        }
        if (hasTarget && nextTarget > target.size()) {
            error << "row " << r << ": target line " << t << " beyond the file";
            return error.str();
        }
        const std::string sourceRaw = hasSource ? source[nextSource - 1] : "";
        const std::string targetRaw = hasTarget ? target[nextTarget - 1] : "";
        if (result.m_sourceText[r] != Expand(sourceRaw) ||
            result.m_targetText[r] != Expand(targetRaw)) {
            error << "row " << r << ": stored texts are not the expanded lines";
            return error.str();
        }
        if (kind == kindEqual && (sourceRaw != targetRaw || sourceRaw.empty())) {
            error << "row " << r << ": equal row of unequal or blank lines";
            return error.str();
        }
        if (kind == kindChanged && sourceRaw == targetRaw && !sourceRaw.empty()) {
            error << "row " << r << ": changed row of equal lines";
            return error.str();
        }
        const bool difference = kind != kindEqual && (!sourceRaw.empty() || !targetRaw.empty());
        if (result.IsDifference(static_cast<std::int32_t>(r)) != difference) {
            error << "row " << r << ": IsDifference is " << !difference;
            return error.str();
        }
        differences += difference ? 1 : 0;
        nextSource += hasSource ? 1 : 0;
        nextTarget += hasTarget ? 1 : 0;
        paired += hasSource && hasTarget ? 1 : 0;
    }
    if (nextSource != source.size() + 1 || nextTarget != target.size() + 1) {
        error << "lines left out: rows reach source " << nextSource - 1 << " of " << source.size()
              << ", target " << nextTarget - 1 << " of " << target.size();
        return error.str();
    }
    if (rows != source.size() + target.size() - paired) {
        error << "row count " << rows << " is not nS + nT - paired";
        return error.str();
    }
    if (result.m_nDifferences != differences) {
        error << "m_nDifferences " << result.m_nDifferences << ", recount " << differences;
        return error.str();
    }
    return {};
}

}  // namespace reference
