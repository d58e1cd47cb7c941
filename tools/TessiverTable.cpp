// tessiver-table: runs one comparison and prints the result table for scripts.

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CompareProgress.h"
#include "engine/CompareResult.h"
#include "engine/FileException.h"
#include "engine/HtmlReport.h"
#include "engine/InlineComparer.h"
#include "engine/LineComparer.h"
#include "engine/UnifiedDiff.h"
#include "platform/Arguments.h"
#include "platform/StandardOutput.h"
#include "platform/StopRequest.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: tessiver-table [--brief] [--realign] [-b|-w] [-i] [-B] [--decode] [--inline]\n"
    "       [--progress] SOURCE TARGET\n"
    "       tessiver-table --unified[=N] [--realign] [-b|-w] [-i] [-B] [--decode]\n"
    "       SOURCE TARGET\n"
    "       tessiver-table --html[=N] [--realign] [-b|-w] [-i] [-B] [--decode]\n"
    "       SOURCE TARGET\n"
    "       tessiver-table [--unified[=N]] [options] --git-external PATH OLD-FILE OLD-HEX\n"
    "       OLD-MODE NEW-FILE NEW-HEX NEW-MODE [NEW-PATH XFRM]\n"
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
    "  -u, --unified[=N]\n"
    "               print a unified diff instead of the table, with N lines of\n"
    "               context (3 by default), that patch and git apply use to turn\n"
    "               SOURCE into TARGET byte for byte: lines as stored, each with its\n"
    "               own terminator. The options above choose how the rows pair up;\n"
    "               a row they make equal whose bytes differ still comes out as a\n"
    "               line taken away and one put in. Exit status as for the table.\n"
    "               A file decoded under --decode, or holding a Ctrl-Z (which ends\n"
    "               the text read), gives status 2: its bytes are not its lines.\n"
    "  --html[=N]   print one self-contained HTML page instead of the table,\n"
    "               showing the two sides as the window does (line numbers, the\n"
    "               rows' colours, the changes within lines), the two paths and\n"
    "               the counts at the top; with N only the rows at most N rows from\n"
    "               a difference, a marker where rows are left out. Exit status as\n"
    "               for the table.\n"
    "  --git-external\n"
    "               take the arguments git gives an external diff program\n"
    "               (GIT_EXTERNAL_DIFF, diff.external) and print a unified diff\n"
    "               between a/PATH and b/PATH (/dev/null for a side that is not\n"
    "               there); exit status 0 unless trouble, which git needs to go on.\n"
    "               Taken without the option too when GIT_DIFF_PATH_COUNTER is set\n"
    "               and seven or nine arguments follow the options.\n"
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

// Whether --progress was given.
bool g_bProgress = false;

// Runs comparer's comparison so that it stops when the program is asked to (throwing
// CCompareCancelled, also when the request came as it ended), with --progress shown on standard
// error while it runs when that is a terminal.
std::unique_ptr<CCompareResult> CompareUnlessStopped(CLineComparer& comparer) {
    std::atomic<bool> stop{false};
    CProgressLine progressLine;
    CProgressLine* const pProgressLine =
        g_bProgress && IsStandardErrorTerminal() ? &progressLine : nullptr;
    comparer.SetCancelFlag(&stop);
    comparer.SetProgressHandler([&stop, pProgressLine](const CCompareProgress& progress) {
        if (GetStopRequest() != 0) {
            stop.store(true, std::memory_order_relaxed);
        }
        if (pProgressLine != nullptr) {
            pProgressLine->Show(progress);
        }
    });
    // The line goes, and the comparer forgets this frame's flag, however the comparison ends.
    struct CDone {
        CLineComparer& comparer;
        CProgressLine& line;
        ~CDone() {
            line.Erase();
            comparer.SetCancelFlag(nullptr);
            comparer.SetProgressHandler(nullptr);
        }
    };
    std::unique_ptr<CCompareResult> pResult;
    {
        const CDone done{comparer, progressLine};
        pResult = comparer.Compare();
    }
    if (GetStopRequest() != 0) {
        throw CCompareCancelled();
    }
    return pResult;
}

// The exit status for trouble, as diff's.
constexpr int kTrouble = 2;

int Fail(const std::string& message) {
    const std::string line = "tessiver-table: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return kTrouble;
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

// Hands a unified diff's bytes to standard output.
class COutputSink : public CExportSink {
public:
    explicit COutputSink(COutput& out) : m_out(out) {}
    void Write(std::string_view bytes) override { m_out.Append(bytes); }

private:
    COutput& m_out;
};

// Compares the two files in the mode and with the options asked for into pResult; see
// CompareUnlessStopped. A file that cannot be opened is reported, and false returned: the window
// shows what it can of such a pair, but a script must not take that for a verdict.
bool CompareFiles(CLineComparer& comparer, const std::string& sourcePath,
                  const std::string& targetPath, bool bRealign, const CCompareOptions& options,
                  std::unique_ptr<CCompareResult>& pResult) {
    comparer.SetFiles(sourcePath, targetPath);
    comparer.SetRealign(bRealign);
    comparer.SetOptions(options);
    pResult = CompareUnlessStopped(comparer);
    if (const auto& failure = comparer.GetOpenFailure()) {
        Fail(failure->path + ": " + failure->reason);
        return false;
    }
    return true;
}

// What a unified diff is asked for with.
struct CUnifiedRequest {
    std::int32_t context = kDefaultUnifiedContext;
    std::string sourceLabel;
    std::string targetLabel;
    bool bGit = false;  // called by git: status 0 for differences too
};

int PrintUnified(const std::string& sourcePath, const std::string& targetPath, bool bRealign,
                 const CCompareOptions& options, const CUnifiedRequest& request) {
    CLineComparer comparer;
    std::unique_ptr<CCompareResult> pResult;
    if (!CompareFiles(comparer, sourcePath, targetPath, bRealign, options, pResult)) {
        return kTrouble;
    }
    // A patch is made of the files' bytes: lines that are not those bytes cannot make one.
    if (const std::string obstacle = FindUnifiedDiffObstacle(comparer, sourcePath, targetPath);
        !obstacle.empty()) {
        return Fail(obstacle);
    }
    COutput out;
    if (pResult) {
        COutputSink sink(out);
        WriteUnifiedDiff(*pResult, request.sourceLabel, request.targetLabel, request.context, sink);
    }
    if (!out.Flush()) {
        return Fail("standard output: " + out.GetError());
    }
    return !request.bGit && pResult && pResult->m_nDifferences > 0 ? 1 : 0;
}

// The arguments git gives an external diff program: PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE
// NEW-HEX NEW-MODE, and NEW-PATH and a message after a rename; PATH alone for an unmerged path.
int PrintForGit(const std::vector<std::string>& args, bool bRealign, const CCompareOptions& options,
                std::int32_t context) {
    if (args.size() == 1) {
        const std::string line = "* Unmerged path " + args[0] + "\n";
        return WriteStandardOutput(line, nullptr) ? 0 : Fail("standard output: write error");
    }
    if (args.size() != 7 && args.size() != 9) {
        return Fail("--git-external takes the 1, 7 or 9 arguments git gives (see --help)");
    }
    // git names a side that is not there /dev/null.
    const auto label = [](const std::string& file, const char* prefix, const std::string& path) {
        return file == "/dev/null" ? file : prefix + path;
    };
    CUnifiedRequest request;
    request.context = context;
    request.bGit = true;
    request.sourceLabel = label(args[1], "a/", args[0]);
    request.targetLabel = label(args[4], "b/", args.size() == 9 ? args[7] : args[0]);
    return PrintUnified(args[1], args[4], bRealign, options, request);
}

int PrintHtml(const std::string& sourcePath, const std::string& targetPath, bool bRealign,
              const CCompareOptions& options, std::int32_t context) {
    CLineComparer comparer;
    std::unique_ptr<CCompareResult> pResult;
    if (!CompareFiles(comparer, sourcePath, targetPath, bRealign, options, pResult)) {
        return kTrouble;
    }
    COutput out;
    COutputSink sink(out);
    WriteHtmlReport(pResult.get(), sourcePath, targetPath, context, sink);
    if (!out.Flush()) {
        return Fail("standard output: " + out.GetError());
    }
    return pResult && pResult->m_nDifferences > 0 ? 1 : 0;
}

// Rows printed between two looks at whether the program was asked to stop.
constexpr std::int32_t kRowsPerStopCheck = 1 << 16;

int PrintTable(const std::string& sourcePath, const std::string& targetPath, bool bBrief,
               bool bRealign, const CCompareOptions& options, bool bInline) {
    CLineComparer comparer;
    std::unique_ptr<CCompareResult> pResult;
    if (!CompareFiles(comparer, sourcePath, targetPath, bRealign, options, pResult)) {
        return kTrouble;
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

// N of --unified=N and --html=N: a count of lines or rows, at most a million.
bool ParseContext(std::string_view text, std::int32_t& context) {
    const char* const end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, context);
    return error == std::errc() && ptr == end && context >= 0 && context <= 1000000;
}

int main(int argc, char** argv) {
    std::vector<std::string> paths;
    bool bUnified = false;
    std::int32_t context = kDefaultUnifiedContext;
    bool bGit = false;
    bool bHtml = false;
    std::int32_t htmlContext = kHtmlAllRows;
    bool optionsEnded = false;
    bool bBrief = false;
    bool bRealign = false;
    CCompareOptions options;
    bool bInline = false;
    // Options that switch something on, by their short and long names.
    struct CSwitch {
        std::string_view shortName;  // empty: none
        std::string_view longName;
        std::function<void()> set;
    };
    const CSwitch switches[] = {
        {"-q", "--brief", [&] { bBrief = true; }},
        {"", "--realign", [&] { bRealign = true; }},
        {"-b", "--ignore-space-change",
         [&] { options.whitespace = CCompareOptions::whitespaceChanges; }},
        {"-w", "--ignore-all-space", [&] { options.whitespace = CCompareOptions::whitespaceAll; }},
        {"-i", "--ignore-case", [&] { options.bIgnoreCase = true; }},
        {"-B", "--ignore-blank-lines", [&] { options.bIgnoreBlankLines = true; }},
        {"", "--decode", [&] { options.bDecodeUnicode = true; }},
        {"", "--inline", [&] { bInline = true; }},
        {"", "--progress", [] { g_bProgress = true; }},
        {"-u", "--unified", [&] { bUnified = true; }},
        {"", "--html", [&] { bHtml = true; }},
        {"", "--git-external", [&] { bGit = true; }},
    };
    // Options that take a count after "=", and switch on the same as their plain form.
    const struct {
        std::string_view prefix;
        std::int32_t* pCount;
        bool* pSet;
        const char* error;
    } counts[] = {
        {"--unified=", &context, &bUnified, "--unified=N takes a count of lines from 0 to 1000000"},
        {"--html=", &htmlContext, &bHtml, "--html=N takes a count of rows from 0 to 1000000"},
    };
    const std::vector<std::string> args = GetProgramArguments(argc, argv);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            paths.emplace_back(arg);
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
            return 0;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto named =
            std::find_if(std::begin(switches), std::end(switches), [&](const CSwitch& s) {
                return (!s.shortName.empty() && arg == s.shortName) || arg == s.longName;
            });
        if (named != std::end(switches)) {
            named->set();
            continue;
        }
        const auto counted = std::find_if(std::begin(counts), std::end(counts),
                                          [&](const auto& c) { return arg.starts_with(c.prefix); });
        if (counted == std::end(counts)) {
            return Fail("unknown option " + std::string(arg) + " (see --help)");
        }
        if (!ParseContext(arg.substr(counted->prefix.size()), *counted->pCount)) {
            return Fail(counted->error);
        }
        *counted->pSet = true;
    }
    // git sets GIT_DIFF_PATH_COUNTER for the external diff program it runs.
    if (!bGit && (paths.size() == 7 || paths.size() == 9) &&
        std::getenv("GIT_DIFF_PATH_COUNTER") != nullptr) {
        bGit = true;
    }
    if ((bUnified || bGit || bHtml) && (bBrief || bInline)) {
        return Fail("--brief and --inline print the table; they do not combine with an export");
    }
    if (bHtml && (bUnified || bGit)) {
        return Fail("--html and a unified diff do not combine");
    }
    if (!bGit && paths.size() > 2) {
        return Fail("too many arguments (see --help)");
    }
    if (!bGit && paths.size() != 2) {
        return Fail("expected SOURCE and TARGET (see --help)");
    }
    CatchStopRequests();
    try {
        if (bGit) {
            return PrintForGit(paths, bRealign, options, context);
        }
        if (bHtml) {
            return PrintHtml(paths[0], paths[1], bRealign, options, htmlContext);
        }
        if (bUnified) {
            CUnifiedRequest request;
            request.context = context;
            request.sourceLabel = FormatUnifiedLabel(paths[0]);
            request.targetLabel = FormatUnifiedLabel(paths[1]);
            return PrintUnified(paths[0], paths[1], bRealign, options, request);
        }
        return PrintTable(paths[0], paths[1], bBrief, bRealign, options, bInline);
    } catch (const CCompareCancelled&) {
        // Only a request to stop cancels the comparison.
        return GetStopRequest();
    } catch (const CFileException& e) {
        return Fail(e.GetPath() + ": " + e.GetReason());
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    }
}
