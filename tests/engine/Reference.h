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

#include "engine/CompareOptions.h"
#include "engine/CompareResult.h"
#include "engine/RowKind.h"

namespace reference {

inline void AppendUtf8(std::string& text, std::uint32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The text a byte-order mark names: UTF-8 without the mark, UTF-16 as UTF-8, where an unpaired
// surrogate and an odd last byte become U+FFFD; without a mark the bytes themselves.
inline std::string Decode(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));
    }
    const bool little = bytes.starts_with("\xFF\xFE");
    if (!little && !bytes.starts_with("\xFE\xFF")) {
        return std::string(bytes);
    }
    std::vector<std::uint32_t> units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(little ? second << 8 | first : first << 8 | second);
    }
    std::string text;
    for (std::size_t k = 0; k < units.size(); ++k) {
        const std::uint32_t unit = units[k];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && k + 1 < units.size() && units[k + 1] >= 0xDC00 && units[k + 1] <= 0xDFFF) {
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[k + 1] - 0xDC00));
            ++k;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(text, 0xFFFD);
        } else {
            AppendUtf8(text, unit);
        }
    }
    if (bytes.size() % 2 != 0) {
        AppendUtf8(text, 0xFFFD);
    }
    return text;
}

// Text mode: CR LF reads as LF, Ctrl-Z ends the file, a last line without LF counts; with
// decoding on, all of it on the decoded text.
inline std::vector<std::string> ReadLines(std::string_view raw, bool bDecode = false) {
    const std::string decoded = bDecode ? Decode(raw) : std::string();
    const std::string_view bytes = bDecode ? std::string_view(decoded) : raw;
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

// A line as the options see it, written out: runs of spaces and tabs as one space and none at
// the end, or none at all; ASCII letters in lower case. Blank when empty.
inline std::string Normalise(const std::string& line, const CCompareOptions& options) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const bool space = c == ' ' || c == '\t';
        if (space && options.whitespace == CCompareOptions::whitespaceAll) {
            continue;
        }
        if (space && options.whitespace == CCompareOptions::whitespaceChanges) {
            if (i + 1 < line.size() && (line[i + 1] == ' ' || line[i + 1] == '\t')) {
                continue;  // a run keeps its last
            }
            if (i + 1 < line.size()) {
                text += ' ';
            }
            continue;
        }
        text += options.bIgnoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return text;
}

struct Row {
    std::int32_t sourceLine;
    std::string sourceText;
    std::int32_t targetLine;
    std::string targetText;
    std::int32_t kind;

    bool operator==(const Row&) const = default;
};

// One row of the pass over the lines that take part in pairing: their positions, -1 for none.
struct Step {
    std::int32_t kind;
    std::int32_t s;
    std::int32_t t;
};

// The forward pass over lines as compared (keys; "" is blank and never matched).
inline std::vector<Step> Pass(const std::vector<std::string>& source,
                              const std::vector<std::string>& target) {
    std::vector<Step> steps;
    const auto nS = static_cast<std::int32_t>(source.size());
    const auto nT = static_cast<std::int32_t>(target.size());
    std::int32_t s = 0;
    std::int32_t t = 0;
    while (s < nS && t < nT) {
        bool done = false;
        if (!source[s].empty()) {
            for (std::int32_t j = t; j < std::min(t + 20, nT) && !done; ++j) {
                if (source[s] == target[j]) {
                    for (; t < j; ++t) {
                        steps.push_back({kindTargetOnly, -1, t});
                    }
                    steps.push_back({kindEqual, s, j});
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
                steps.push_back({kindChanged, s, t});
            }
            for (; s < foundK; ++s) {
                steps.push_back({kindSourceOnly, s, -1});
            }
            for (; t < foundM; ++t) {
                steps.push_back({kindTargetOnly, -1, t});
            }
            steps.push_back({kindEqual, foundK, foundM});
            s = foundK + 1;
            t = foundM + 1;
        } else {
            steps.push_back({kindChanged, s, t});
            ++s;
            ++t;
        }
    }
    for (; s < nS; ++s) {
        steps.push_back({kindSourceOnly, s, -1});
    }
    for (; t < nT; ++t) {
        steps.push_back({kindTargetOnly, -1, t});
    }
    return steps;
}

// The rows of the default pass. Under bIgnoreBlankLines it runs over the lines that are not
// blank; then before each of its rows come the blank lines before the next line of each file
// (opposite each other while both have some, then the source's, then the target's), and at the
// end the blank lines after the last ones.
inline std::vector<Row> Align(const std::vector<std::string>& source,
                              const std::vector<std::string>& target,
                              const CCompareOptions& options = {}) {
    std::vector<std::string> sourceKeys;
    std::vector<std::string> targetKeys;
    std::vector<std::int32_t> sourceAt;  // the line of each key
    std::vector<std::int32_t> targetAt;
    const auto keep = [&options](const std::vector<std::string>& lines,
                                 std::vector<std::string>& keys, std::vector<std::int32_t>& at) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string key = Normalise(lines[i], options);
            if (!options.bIgnoreBlankLines || !key.empty()) {
                keys.push_back(std::move(key));
                at.push_back(static_cast<std::int32_t>(i));
            }
        }
    };
    keep(source, sourceKeys, sourceAt);
    keep(target, targetKeys, targetAt);

    std::vector<Row> rows;
    auto add = [&](std::int32_t i, std::int32_t j, std::int32_t kind) {
        rows.push_back(
            {i + 1, i < 0 ? "" : Expand(source[i]), j + 1, j < 0 ? "" : Expand(target[j]), kind});
    };
    const auto nS = static_cast<std::int32_t>(source.size());
    const auto nT = static_cast<std::int32_t>(target.size());
    std::int32_t s = 0;
    std::int32_t t = 0;
    auto blankLinesUpTo = [&](std::int32_t sourceEnd, std::int32_t targetEnd) {
        for (; s < sourceEnd && t < targetEnd; ++s, ++t) {
            add(s, t, kindChanged);
        }
        for (; s < sourceEnd; ++s) {
            add(s, -1, kindSourceOnly);
        }
        for (; t < targetEnd; ++t) {
            add(-1, t, kindTargetOnly);
        }
    };
    std::size_t nextS = 0;  // keys placed so far
    std::size_t nextT = 0;
    for (const Step& step : Pass(sourceKeys, targetKeys)) {
        blankLinesUpTo(nextS < sourceAt.size() ? sourceAt[nextS] : nS,
                       nextT < targetAt.size() ? targetAt[nextT] : nT);
        add(step.s < 0 ? -1 : s++, step.t < 0 ? -1 : t++, step.kind);
        nextS += step.s < 0 ? 0 : 1;
        nextT += step.t < 0 ? 0 : 1;
    }
    blankLinesUpTo(nS, nT);
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
                                   const std::vector<std::string>& target,
                                   const CCompareOptions& options = {}) {
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
        const std::string sourceKey = Normalise(sourceRaw, options);
        const std::string targetKey = Normalise(targetRaw, options);
        if (kind == kindEqual && (sourceKey != targetKey || sourceKey.empty())) {
            error << "row " << r << ": equal row of unequal or blank lines";
            return error.str();
        }
        if (kind == kindChanged && sourceKey == targetKey && !sourceKey.empty()) {
            error << "row " << r << ": changed row of equal lines";
            return error.str();
        }
        const bool difference = kind != kindEqual && (!sourceKey.empty() || !targetKey.empty());
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
