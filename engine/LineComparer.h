#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "engine/CompareOptions.h"
#include "engine/CompareProgress.h"
#include "engine/CompareResult.h"

// Time spent in each stage of the last Compare, for the benchmark.
struct CCompareStats {
    double readSeconds = 0;   // both files opened, read and split into lines
    double alignSeconds = 0;  // the forward pass that decides the rows
    double buildSeconds = 0;  // the rows appended to the table
};

// A file of the last comparison that could not be opened, with the system's reason.
struct COpenFailure {
    std::string path;
    std::string reason;
    bool bSource = false;  // the source (the target is then not opened), or the target
};

// The comparison engine: reads two files into lines and aligns them into a CCompareResult.
class CLineComparer {
public:
    CLineComparer();
    ~CLineComparer();
    CLineComparer(const CLineComparer&) = delete;
    CLineComparer& operator=(const CLineComparer&) = delete;

    // Empties the line lists and stores both paths. Returns 1.
    int SetFiles(std::string sourcePath, std::string targetPath);

    // Reads both files and aligns them. Returns null when neither file yielded a line.
    // With a cancel flag or a progress handler set, Compare reports to the handler at bounded
    // intervals (see CCompareMonitor) and throws CCompareCancelled, having freed all it built,
    // once the flag is set.
    // A source file that cannot be opened gives null whatever the target holds; a target that
    // cannot be opened counts as empty. A read error in a file that did open throws
    // CFileException (the source's when both fail), running out of memory (files larger than
    // the memory available included) std::bad_alloc; every file opened is closed and no table
    // is left behind.
    std::unique_ptr<CCompareResult> Compare();

    // Whether Compare reads the two files at the same time, on two threads (the default), or
    // one after the other. The rows are the same either way.
    void SetConcurrentRead(bool bConcurrent) { m_bConcurrentRead = bConcurrent; }

    // A flag the caller owns and may set from any thread to stop the comparisons that follow
    // (null: none), and what hears of their progress (see CCompareMonitor for when and from
    // which threads; empty: nothing).
    void SetCancelFlag(const std::atomic<bool>* pCancel) { m_pCancel = pCancel; }
    void SetProgressHandler(CProgressHandler handler) { m_progressHandler = std::move(handler); }

    // At most this many bytes for the lines of both files together, instead of the memory the
    // platform has available when Compare starts; files that do not fit count as running out of
    // memory.
    void SetMemoryLimit(std::uint64_t bytes) { m_memoryLimit = bytes; }

    // Whether a step that finds no pair inside the windows looks further on for where the files
    // meet again (off by default). See CAnchorFinder.
    void SetRealign(bool bRealign) { m_bRealign = bRealign; }
    bool GetRealign() const { return m_bRealign; }

    // What the next comparisons leave out and how they read the files (see CCompareOptions);
    // all off by default.
    void SetOptions(const CCompareOptions& options) { m_options = options; }
    const CCompareOptions& GetOptions() const { return m_options; }

    // Appends the rows for the current line lists to pResult (empty on entry), then empties
    // both line lists. Returns 1.
    int AlignLines(CCompareResult* pResult);

    const CCompareStats& GetLastStats() const { return m_stats; }
    // The file the last Compare could not open (the source, or else the target), if any.
    const std::optional<COpenFailure>& GetOpenFailure() const { return m_openFailure; }
    // What the last Compare read each file as (TextEncoding::bytes for one not read).
    TextEncoding GetSourceEncoding() const { return m_sourceEncoding; }
    TextEncoding GetTargetEncoding() const { return m_targetEncoding; }
    // Whether a Ctrl-Z ended the text of either file of the last Compare before its end.
    bool WasAnyFileCut() const { return m_bCut; }

private:
    std::string m_sourcePath;
    std::string m_targetPath;
    // The lines of the last files read; filled by Compare and handed to the table by AlignLines.
    std::shared_ptr<CLineBuffer> m_pSourceLines;
    std::shared_ptr<CLineBuffer> m_pTargetLines;
    CCompareStats m_stats;
    std::optional<COpenFailure> m_openFailure;
    std::optional<std::uint64_t> m_memoryLimit;
    CCompareOptions m_options;
    const std::atomic<bool>* m_pCancel = nullptr;
    CProgressHandler m_progressHandler;
    CCompareMonitor* m_pMonitor = nullptr;  // Compare's, while it runs
    TextEncoding m_sourceEncoding = TextEncoding::bytes;
    TextEncoding m_targetEncoding = TextEncoding::bytes;
    bool m_bCut = false;
    bool m_bConcurrentRead = true;
    bool m_bRealign = false;
};
