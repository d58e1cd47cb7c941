#include "engine/HtmlReport.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <future>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "engine/CompareResult.h"
#include "engine/InlineComparer.h"
#include "engine/LineBuffer.h"
#include "platform/Text.h"

namespace {

constexpr std::string_view kPageStart =
    "<!DOCTYPE html>\n"
    "<html>\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>Tessiver report</title>\n"
    "<style>\n"
    "body{font-family:sans-serif;margin:1em}\n"
    "table{border-collapse:collapse;width:100%;table-layout:fixed}\n"
    "td{font-family:monospace;white-space:pre;overflow:hidden;padding:0 .3em;vertical-align:top}\n"
    "td.n{width:4.5em;text-align:right;color:#c0c0c0}\n"
    "td.s{border-right:1px solid #c0c0c0}\n"
    "tr.k0 td.t{color:#f00}\n"
    "tr.k1 td.t{color:#000}\n"
    "tr.k2 td.t{color:#00f}\n"
    "tr.k3 td.t{color:#008000}\n"
    "tr.d td.t{background:#c0c0c0}\n"
    "span.c{background:#ffff80}\n"
    "tr.gap td{font-family:sans-serif;font-style:italic;color:#808080;text-align:center;"
    "background:#f0f0f0}\n"
    "dl{display:grid;grid-template-columns:auto 1fr;gap:0 1em}\n"
    "dd{margin:0;font-family:monospace}\n"
    "</style>\n</head>\n<body>\n";

// The reference that stands for a markup character in HTML text.
std::string_view ReferenceFor(char32_t c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        default:
            return "&quot;";
    }
}

// What AppendShown does with each byte: copies it as part of a run of plain text, or looks at it.
constexpr auto kPlainBytes = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c) {
        plain[c] = c != '&' && c != '<' && c != '>' && c != '"';
    }
    return plain;
}();

// Eight bytes of text from i on, as one word.
std::uint64_t EightBytes(std::string_view text, std::size_t i) {
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, text.data() + i, sizeof bytes);
    return bytes;
}

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Whether any of the eight bytes is zero.
constexpr bool HasZeroByte(std::uint64_t bytes) {
    return ((bytes - kOnes) & ~bytes & kHighBits) != 0;
}

// Whether all eight bytes are plain (see kPlainBytes): none at 0x80 or above, none below 0x20
// (the bytes then all lie below 0x80, where subtracting finds them), and none of the others.
constexpr bool ArePlain(std::uint64_t bytes) {
    return (bytes & kHighBits) == 0 && ((bytes - 0x20 * kOnes) & ~bytes & kHighBits) == 0 &&
           !HasZeroByte(bytes ^ (0x7F * kOnes)) && !HasZeroByte(bytes ^ ('&' * kOnes)) &&
           !HasZeroByte(bytes ^ ('<' * kOnes)) && !HasZeroByte(bytes ^ ('>' * kOnes)) &&
           !HasZeroByte(bytes ^ ('"' * kOnes));
}

// Whether the whole of text is well-formed UTF-8.
bool IsUtf8(std::string_view text) {
    char32_t cp = 0;
    std::size_t ascii = 0;  // text[0, ascii) is ASCII
    while (ascii + 8 <= text.size() && (EightBytes(text, ascii) & kHighBits) == 0) {
        ascii += 8;
    }
    for (std::size_t i = ascii; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

// Bytes [begin, end) of a text as read, shown: each tab as four blanks, characters of a text that
// is UTF-8 as they are, of any other as Latin-1; other control characters as blanks, markup
// escaped. Runs of plain characters are copied whole.
void AppendShown(CExportBuffer& out, std::string_view text, bool bUtf8, std::size_t begin,
                 std::size_t end) {
    std::size_t run = begin;  // plain bytes from here on are not yet written
    for (std::size_t i = begin; i < end;) {
        if (i + 8 <= end && ArePlain(EightBytes(text, i))) {
            i += 8;
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (kPlainBytes[byte]) {
            ++i;
            continue;
        }
        out.Append(text.substr(run, i - run));
        char32_t cp = byte;
        std::size_t length = 1;
        if (byte >= 0x80 && bUtf8) {
            length = DecodeUtf8(text, i, cp);
        }
        if (cp == '\t') {
            out.Append("    ");
        } else if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
            out.Append(' ');
        } else if (cp < 0x80) {
            out.Append(ReferenceFor(cp));
        } else if (bUtf8) {
            out.Append(text.substr(i, length));
        } else {
            // A Latin-1 character as UTF-8.
            out.Append(static_cast<char>(0xC0 | (cp >> 6)));
            out.Append(static_cast<char>(0x80 | (cp & 0x3F)));
        }
        i += length;
        run = i;
    }
    out.Append(text.substr(run, end - run));
}

// A side of a row: its line number cell and its text cell, the changed spans (bytes of the text
// as read) marked.
void AppendSide(CExportBuffer& out, std::int32_t line, std::string_view text,
                std::span<const CByteSpan> spans, bool bSource) {
    out.Append("<td class=\"n\">");
    if (line != 0) {
        out.AppendNumber(line);
    }
    out.Append(bSource ? "</td><td class=\"t s\">" : "</td><td class=\"t\">");
    const bool bUtf8 = IsUtf8(text);
    std::size_t at = 0;
    for (const CByteSpan& span : spans) {
        AppendShown(out, text, bUtf8, at, span.begin);
        out.Append("<span class=\"c\">");
        AppendShown(out, text, bUtf8, span.begin, span.end);
        out.Append("</span>");
        at = span.end;
    }
    AppendShown(out, text, bUtf8, at, text.size());
    out.Append("</td>");
}

// The changes within lines of a stretch of rows, found while the stretch before is written. The
// stretch is found in parts that any thread may take, each with a comparer of its own: the thread
// that writes takes what is left once it has written the stretch before.
class CChangeBatch {
public:
    static constexpr std::int64_t kRows = 4096;

    // Starts the stretch of rows [begin, begin + kRows); no part of it is found yet.
    void Start(std::int64_t begin) {
        m_begin = begin;
        m_nextPart.store(0, std::memory_order_relaxed);
    }

    // Finds parts of the stretch until none is left to take.
    void Find(const CCompareResult& result, CInlineComparer& comparer) {
        CInlineChanges changes;
        for (std::size_t at; (at = m_nextPart.fetch_add(1)) < kParts;) {
            CPart& part = m_parts[at];
            part.spans.clear();
            part.bounds.assign(1, 0);
            const std::int64_t begin = m_begin + static_cast<std::int64_t>(at) * kPartRows;
            const std::int64_t end =
                std::min<std::int64_t>(begin + kPartRows, result.GetRowCount());
            for (std::int64_t row = begin; row < end; ++row) {
                const auto r = static_cast<std::size_t>(row);
                const std::string_view source = result.m_sourceText.GetRaw(r);
                const std::string_view target = result.m_targetText.GetRaw(r);
                if (result.m_kind[r] == kindChanged && !source.empty() && !target.empty()) {
                    comparer.Compare(source, target, changes);
                    part.Add(changes.source);
                    part.Add(changes.target);
                } else {
                    part.Add({});
                    part.Add({});
                }
            }
        }
    }

    // The spans of a row of the stretch on one side, in bytes of its text as read.
    std::span<const CByteSpan> Spans(std::int64_t row, bool bSource) const {
        const std::int64_t index = row - m_begin;
        const CPart& part = m_parts[static_cast<std::size_t>(index / kPartRows)];
        const auto at = static_cast<std::size_t>(2 * (index % kPartRows) + (bSource ? 0 : 1));
        return std::span<const CByteSpan>(part.spans)
            .subspan(part.bounds[at], part.bounds[at + 1] - part.bounds[at]);
    }

private:
    static constexpr std::int64_t kPartRows = 256;
    static constexpr std::size_t kParts = kRows / kPartRows;
    struct CPart {
        std::vector<CByteSpan> spans;
        std::vector<std::uint32_t> bounds;  // row i's source spans from 2i, target's from 2i + 1

        void Add(const std::vector<CByteSpan>& side) {
            spans.insert(spans.end(), side.begin(), side.end());
            bounds.push_back(static_cast<std::uint32_t>(spans.size()));
        }
    };

    std::int64_t m_begin = 0;
    std::atomic<std::size_t> m_nextPart{0};
    std::array<CPart, kParts> m_parts;
};

void AppendGap(CExportBuffer& out, std::int64_t rows) {
    out.Append("<tr class=\"gap\"><td colspan=\"4\">");
    out.AppendNumber(rows);
    out.Append(rows == 1 ? " row left out" : " rows left out");
    out.Append("</td></tr>\n");
}

}  // namespace

void WriteHtmlReport(const CCompareResult* pResult, std::string_view sourcePath,
                     std::string_view targetPath, std::int32_t context, CExportSink& sink) {
    CExportBuffer out(sink);
    out.Append(kPageStart);
    out.Append("<dl>\n<dt>Source</dt><dd>");
    AppendShown(out, sourcePath, IsUtf8(sourcePath), 0, sourcePath.size());
    out.Append("</dd>\n<dt>Target</dt><dd>");
    AppendShown(out, targetPath, IsUtf8(targetPath), 0, targetPath.size());
    out.Append("</dd>\n<dt>Result</dt><dd>");
    if (pResult == nullptr) {
        out.Append("no result: neither file has a line</dd>\n</dl>\n</body>\n</html>\n");
        out.Flush();
        return;
    }
    const CCompareResult& result = *pResult;
    const std::int64_t rows = result.GetRowCount();
    out.AppendNumber(rows);
    out.Append(rows == 1 ? " row, " : " rows, ");
    out.AppendNumber(result.m_nDifferences);
    out.Append(result.m_nDifferences == 1 ? " difference" : " differences");
    if (context >= 0) {
        out.Append("; ");
        out.AppendNumber(context);
        out.Append(context == 1 ? " row of context" : " rows of context");
    }
    out.Append("</dd>\n</dl>\n<table>\n");

    // The changes within lines are found a stretch ahead, on a second thread where there is one;
    // this thread helps with what is left of it once it has written the stretch before.
    CInlineComparer writerComparer;
    CInlineComparer helperComparer;
    CChangeBatch batches[2];
    const auto batchOf = [&batches](std::int64_t row) -> CChangeBatch& {
        return batches[static_cast<std::size_t>(row / CChangeBatch::kRows % 2)];
    };
    const std::launch policy =
        std::thread::hardware_concurrency() > 1 ? std::launch::async : std::launch::deferred;
    std::future<void> ahead;
    const auto findAhead = [&](std::int64_t begin) {
        CChangeBatch& batch = batchOf(begin);
        batch.Start(begin);
        ahead = std::async(
            policy, [&result, &batch, &helperComparer] { batch.Find(result, helperComparer); });
    };
    findAhead(0);
    // The differences before and after the row, for the context.
    std::int64_t previous = INT64_MIN / 2;
    std::int64_t next = -1;
    std::int64_t leftOut = 0;
    for (std::int64_t row = 0; row < rows; ++row) {
        if (row % CChangeBatch::kRows == 0) {
            batchOf(row).Find(result, writerComparer);
            ahead.get();
            if (row + CChangeBatch::kRows < rows) {
                findAhead(row + CChangeBatch::kRows);
            }
        }
        const auto r = static_cast<std::size_t>(row);
        const bool bDifference = result.IsDifference(static_cast<std::int32_t>(row));
        if (context >= 0) {
            if (bDifference) {
                previous = row;
            }
            if (next < row) {
                next = row;
                while (next < rows && !result.IsDifference(static_cast<std::int32_t>(next))) {
                    ++next;
                }
            }
            const bool bShown = row - previous <= context || (next < rows && next - row <= context);
            if (!bShown) {
                ++leftOut;
                continue;
            }
            if (leftOut > 0) {
                AppendGap(out, leftOut);
                leftOut = 0;
            }
        }
        const std::int32_t kind = result.m_kind[r];
        out.Append("<tr class=\"k");
        out.AppendNumber(kind);
        out.Append(bDifference ? " d\">" : "\">");
        const CChangeBatch& batch = batchOf(row);
        AppendSide(out, result.m_sourceLine[r], result.m_sourceText.GetRaw(r),
                   batch.Spans(row, true), true);
        AppendSide(out, result.m_targetLine[r], result.m_targetText.GetRaw(r),
                   batch.Spans(row, false), false);
        out.Append("</tr>\n");
    }
    if (leftOut > 0) {
        AppendGap(out, leftOut);
    }
    out.Append("</table>\n</body>\n</html>\n");
    out.Flush();
}
