// tessiver-table: runs one comparison and prints the result table for scripts.

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CompareProgress.h"
#include "engine/CompareResult.h"
#include "engine/FileException.h"
#include "engine/InlineComparer.h"
#include "engine/LineComparer.h"
#include "platform/Arguments.h"
#include "platform/StandardOutput.h"
#include "platform/StopRequest.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: tessiver-table [--brief] [--realign] [-b|-w] [-i] [-B] [--decode] [--inline]\n"
    "       [--progress] SOURCE TARGET\n"
    "Compares SOURCE with TARGET line by line and prints the result table,\n"
    "one row per line, fields separated by one TAB:\n"
    "  KIND<TAB>SOURCE_NO<TAB>TARGET_NO<TAB>SOURCE_TEXT<TAB>TARGET_TEXT\n"
    "KIND is 0 changed, 1 equal, 2 source only, 3 target only. Line numbers count\n"
    "from 1; 0 marks the side without a line, whose text is empty. Texts are the\n"
    "lines as read, each tab expanded to four spaces. The last line reads\n"
    "  # N rows, D differences\n"
    "or, when neither file yielded a line,\n"
    "  # no result\n"
    "Exit status: 0 no differences, 1 differences, 2 wrong usage, a file that\n"
    "cannot be opened, or a read error (one line on standard error says which);\n"
    "130 when stopped by Ctrl+C (SIGINT), 143 by SIGTERM: standard output then\n"
    "ends after a whole row, without the last line.\n"
    "Options:\n"
    "  -q, --brief  print only the last line\n"
    "  --realign    after a block longer than the look-ahead windows, look further\n"
    "               on for where the files meet again (the window's \"Realign Long\n"
    "               Blocks\")\n"
    "  -b, --ignore-space-change\n"
    "               runs of spaces and tabs compare as one space, and those at the\n"
    "               end of a line are ignored\n"
    "  -w, --ignore-all-space\n"
    "               spaces and tabs are ignored altogether\n"
    "  -i, --ignore-case\n"
    "               ASCII letters compare without case\n"
    "  -B, --ignore-blank-lines\n"
    "               blank lines (with -b or -w also those of spaces and tabs only)\n"
    "               take no part in pairing; they stand in rows of their own,\n"
    "               which are no difference\n"
    "  --decode     a file that starts with a byte-order mark is read as the text\n"
    "               it encodes: UTF-8 without its mark, UTF-16LE and UTF-16BE\n"
    "               turned into UTF-8; no mark, no decoding\n"
    "Rows whose lines are equal only under these options are equal rows (kind 1),\n"
    "their texts as read; under -b and -w a line of spaces and tabs only is blank.\n"
    "  --inline     add two fields to each row, SOURCE_SPANS<TAB>TARGET_SPANS: the\n"
    "               characters that differ within a changed row (0 with text on\n"
    "               both sides), as comma-separated START-END byte ranges into the\n"
    "               texts as printed (END exclusive); empty on other rows\n"
    "  --progress   while comparing, show how far it has come on standard error,\n"
    "               when that is a terminal\n"
    "  -h, --help   print this text\n"
    "  --           end the options\n";

// Large writes straight to standard output: tables run to millions of rows.
class COutput {
public:
    COutput() : m_pBuffer(new char[kCapacity]) {}
    ~COutput() = default;
    COutput(const COutput&) = delete;
    COutput& operator=(const COutput&) = delete;

    void Append(std::string_view text) {
        if (text.empty()) {
            return;
        }
        if (text.size() > kCapacity - m_used) {
            Flush();
            if (text.size() > kCapacity / 2) {
                Write(text.data(), text.size());
                return;
            }
        }
        std::memcpy(m_pBuffer.get() + m_used, text.data(), text.size());
        m_used += text.size();
    }
    void Append(char c) {
        if (m_used == kCapacity) {
            Flush();
        }
        m_pBuffer[m_used++] = c;
    }
    // Text as read, each tab written as four spaces.
    void AppendExpanded(std::string_view text) {
        for (std::size_t tab; (tab = text.find('\t')) != std::string_view::npos;) {
            Append(text.substr(0, tab));
            Append("    ");
            text.remove_prefix(tab + 1);
        }
        Append(text);
    }
    // One row in one go when it fits the buffer: most rows are short and there are millions.
    // The texts are as read; their tabs are expanded on the way out. More fields, if any, come
    // before the line's end.
    void AppendRow(std::int32_t kind, std::int32_t sourceLine, std::int32_t targetLine,
                   std::string_view sourceText, std::string_view targetText,
                   std::string_view moreFields) {
        const std::size_t most =
            4 * (sourceText.size() + targetText.size()) + 3 * 12 + 5 + moreFields.size();
        if (most > kCapacity - m_used) {
            Flush();
        }
        if (most > kCapacity - m_used) {
            AppendNumber(kind);
            Append('\t');
            AppendNumber(sourceLine);
            Append('\t');
            AppendNumber(targetLine);
            Append('\t');
            AppendExpanded(sourceText);
            Append('\t');
            AppendExpanded(targetText);
            Append(moreFields);
            Append('\n');
            return;
        }
        char* p = m_pBuffer.get() + m_used;
        p = WriteNumber(p, kind);
        *p++ = '\t';
        p = WriteNumber(p, sourceLine);
        *p++ = '\t';
        p = WriteNumber(p, targetLine);
        *p++ = '\t';
        p = WriteExpanded(p, sourceText);
        *p++ = '\t';
        p = WriteExpanded(p, targetText);
        std::memcpy(p, moreFields.data(), moreFields.size());
        p += moreFields.size();
        *p++ = '\n';
        m_used = static_cast<std::size_t>(p - m_pBuffer.get());
    }
    void AppendNumber(std::int64_t value) {
        char digits[24];
        char* end = digits + sizeof digits;
        char* p = end;
        const bool negative = value < 0;
        std::uint64_t magnitude =
            negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        do {
            *--p = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) {
            *--p = '-';
        }
        Append(std::string_view(p, static_cast<std::size_t>(end - p)));
    }
    // Returns false with the error kept when standard output refused the bytes.
    bool Flush() {
        Write(m_pBuffer.get(), m_used);
        m_used = 0;
        return m_error.empty();
    }
    const std::string& GetError() const { return m_error; }

private:
    static constexpr std::size_t kCapacity = 1 << 20;

    // Writes text at p with each tab as four spaces; returns the end.
    static char* WriteExpanded(char* p, std::string_view text) {
        const char* q = text.data();
        const char* const end = q + text.size();
        while (q != end) {
            const void* tab = std::memchr(q, '\t', static_cast<std::size_t>(end - q));
            const char* const stop = tab != nullptr ? static_cast<const char*>(tab) : end;
            std::memcpy(p, q, static_cast<std::size_t>(stop - q));
            p += stop - q;
            q = stop;
            if (q != end) {
                std::memcpy(p, "    ", 4);
                p += 4;
                ++q;
            }
        }
        return p;
    }
    // Writes value in decimal at p; returns the end.
    static char* WriteNumber(char* p, std::int32_t value) {
        std::uint32_t magnitude = static_cast<std::uint32_t>(value);
        if (value < 0) {
            *p++ = '-';
            magnitude = 0 - magnitude;
        }
        char digits[10];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        while (n > 0) {
            *p++ = digits[--n];
        }
        return p;
    }

    void Write(const char* p, std::size_t n) {
        if (m_error.empty() && !WriteStandardOutput(std::string_view(p, n), &m_error) &&
            m_error.empty()) {
            m_error = "write error";
        }
    }

    std::unique_ptr<char[]> m_pBuffer;
    std::size_t m_used = 0;
    std::string m_error;  // the system's reason, once standard output has refused bytes
};

// How far the comparison has come, on one line of standard error rewritten in place at most ten
// times a second, and erased once the comparison ends.
class CProgressLine {
public:
    void Show(const CCompareProgress& progress) {
        const auto now = std::chrono::steady_clock::now();
        if (m_bShown && now - m_lastShown < std::chrono::milliseconds(100)) {
            return;
        }
        m_lastShown = now;
        std::string line = "\rtessiver-table: ";
        std::uint64_t done = progress.done;
        std::uint64_t total = progress.total;
        switch (progress.stage) {
            case CompareStage::reading:
                line += "reading";
                done = progress.sourceRead + progress.targetRead;
                // A pipe's size is not known: then only what has been read.
                total = progress.sourceSize != 0 && progress.targetSize != 0
                            ? progress.sourceSize + progress.targetSize
                            : 0;
                break;
            case CompareStage::aligning:
                line += "aligning";
                break;
            case CompareStage::building:
                line += "building the table";
                break;
        }
        if (total != 0) {
            line += ' ' + std::to_string(std::min<std::uint64_t>(done, total) * 100 / total) + '%';
        } else if (progress.stage == CompareStage::reading) {
            line += ' ' + std::to_string(done >> 20) + " MiB";
        }
        line += "\x1b[K";
        WriteStandardError(line);
        m_bShown = true;
    }
    void Erase() {
        if (m_bShown) {
            WriteStandardError("\r\x1b[K");
            m_bShown = false;
        }
    }

private:
    bool m_bShown = false;
    std::chrono::steady_clock::time_point m_lastShown;
};

int Fail(const std::string& message) {
    const std::string line = "tessiver-table: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return 2;
}

// The changed spans of a row as two fields, each led by a TAB: START-END,START-END...
void FormatSpanFields(CInlineComparer& comparer, const CCompareResult& result, std::int32_t row,
                      CInlineChanges& changes, std::string& fields) {
    comparer.CompareRow(result, row, changes);
    fields.clear();
    for (const std::vector<CByteSpan>* spans : {&changes.source, &changes.target}) {
        fields += '\t';
        for (const CByteSpan& span : *spans) {
            char number[24];
            if (&span != spans->data()) {
                fields += ',';
            }
            fields.append(number, std::to_chars(number, number + sizeof number, span.begin).ptr);
            fields += '-';
            fields.append(number, std::to_chars(number, number + sizeof number, span.end).ptr);
        }
    }
}

// Rows printed between two looks at whether the program was asked to stop.
constexpr std::int32_t kRowsPerStopCheck = 1 << 16;

int PrintTable(const std::string& sourcePath, const std::string& targetPath, bool bBrief,
               bool bRealign, const CCompareOptions& options, bool bInline, bool bProgress) {
    CLineComparer comparer;
    comparer.SetFiles(sourcePath, targetPath);
    comparer.SetRealign(bRealign);
    comparer.SetOptions(options);
    // The comparison stops when the program is asked to; it asks at every report.
    std::atomic<bool> stop{false};
    CProgressLine progressLine;
    CProgressLine* const pProgressLine =
        bProgress && IsStandardErrorTerminal() ? &progressLine : nullptr;
    comparer.SetCancelFlag(&stop);
    comparer.SetProgressHandler([&stop, pProgressLine](const CCompareProgress& progress) {
        if (GetStopRequest() != 0) {
            stop.store(true, std::memory_order_relaxed);
        }
        if (pProgressLine != nullptr) {
            pProgressLine->Show(progress);
        }
    });
    std::unique_ptr<CCompareResult> pResult;
    try {
        pResult = comparer.Compare();
    } catch (...) {
        progressLine.Erase();
        throw;
    }
    progressLine.Erase();
    if (const int stopStatus = GetStopRequest(); stopStatus != 0) {
        return stopStatus;
    }
    // The window shows what it can of an unopenable file; a script must not take it for a
    // verdict.
    if (const auto& failure = comparer.GetOpenFailure()) {
        return Fail(failure->path + ": " + failure->reason);
    }

    COutput out;
    if (!pResult) {
        out.Append("# no result\n");
    } else {
        const CCompareResult& result = *pResult;
        const std::int32_t rows = result.GetRowCount();
        CInlineComparer inlineComparer;
        CInlineChanges changes;
        std::string spanFields;
        for (std::int32_t row = 0; row < rows && !bBrief; ++row) {
            if (row % kRowsPerStopCheck == 0 && GetStopRequest() != 0) {
                // The rows printed so far, each whole; no last line.
                if (!out.Flush()) {
                    return Fail("standard output: " + out.GetError());
                }
                return GetStopRequest();
            }
            const auto r = static_cast<std::size_t>(row);
            if (bInline) {
                FormatSpanFields(inlineComparer, result, row, changes, spanFields);
            }
            out.AppendRow(result.m_kind[r], result.m_sourceLine[r], result.m_targetLine[r],
                          result.m_sourceText.GetRaw(r), result.m_targetText.GetRaw(r), spanFields);
        }
        out.Append("# ");
        out.AppendNumber(rows);
        out.Append(" rows, ");
        out.AppendNumber(result.m_nDifferences);
        out.Append(" differences\n");
    }
    if (!out.Flush()) {
        return Fail("standard output: " + out.GetError());
    }
    return pResult && pResult->m_nDifferences > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string paths[2];
    int nPaths = 0;
    bool optionsEnded = false;
    bool bBrief = false;
    bool bRealign = false;
    CCompareOptions options;
    bool bInline = false;
    bool bProgress = false;
    const std::vector<std::string> args = GetProgramArguments(argc, argv);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
            return 0;
        }
        if (!optionsEnded && (arg == "-q" || arg == "--brief")) {
            bBrief = true;
            continue;
        }
        if (!optionsEnded && arg == "--realign") {
            bRealign = true;
            continue;
        }
        if (!optionsEnded && (arg == "-b" || arg == "--ignore-space-change")) {
            options.whitespace = CCompareOptions::whitespaceChanges;
            continue;
        }
        if (!optionsEnded && (arg == "-w" || arg == "--ignore-all-space")) {
            options.whitespace = CCompareOptions::whitespaceAll;
            continue;
        }
        if (!optionsEnded && (arg == "-i" || arg == "--ignore-case")) {
            options.bIgnoreCase = true;
            continue;
        }
        if (!optionsEnded && (arg == "-B" || arg == "--ignore-blank-lines")) {
            options.bIgnoreBlankLines = true;
            continue;
        }
        if (!optionsEnded && arg == "--decode") {
            options.bDecodeUnicode = true;
            continue;
        }
        if (!optionsEnded && arg == "--inline") {
            bInline = true;
            continue;
        }
        if (!optionsEnded && arg == "--progress") {
            bProgress = true;
            continue;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return Fail("unknown option " + std::string(arg) + " (see --help)");
        }
        if (nPaths == 2) {
            return Fail("too many arguments (see --help)");
        }
        paths[nPaths++] = std::string(arg);
    }
    if (nPaths != 2) {
        return Fail("expected SOURCE and TARGET (see --help)");
    }
    CatchStopRequests();
    try {
        return PrintTable(paths[0], paths[1], bBrief, bRealign, options, bInline, bProgress);
    } catch (const CCompareCancelled&) {
        // Only a request to stop cancels the comparison.
        return GetStopRequest();
    } catch (const CFileException& e) {
        return Fail(e.GetPath() + ": " + e.GetReason());
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    }
}
