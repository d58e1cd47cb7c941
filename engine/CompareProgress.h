#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>

// What a comparison is busy with.
enum class CompareStage {
    reading,   // reading both files and splitting them into lines
    aligning,  // deciding the rows
    building,  // writing the rows into the table
};

// How far a comparison has come, as its progress handler sees it.
struct CCompareProgress {
    CompareStage stage = CompareStage::reading;
    // While reading: the bytes read so far of each file, and its size; a size of 0 is not known
    // (a pipe). A file that is read decoded counts the bytes read from the file.
    std::uint64_t sourceRead = 0;
    std::uint64_t sourceSize = 0;
    std::uint64_t targetRead = 0;
    std::uint64_t targetSize = 0;
    bool bSourceDone = false;  // the source has been read to its end
    bool bTargetDone = false;
    // While aligning or building: the work done of the stage's total (lines placed of both files
    // while aligning, rows written while building).
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};

// Thrown by a comparison that stopped because its caller asked it to. Everything it had built is
// freed; it is no error of the files.
class CCompareCancelled : public std::runtime_error {
public:
    CCompareCancelled() : std::runtime_error("the comparison was cancelled") {}
};

using CProgressHandler = std::function<void(const CCompareProgress&)>;

// Carries a comparison's progress to its handler and its caller's request to stop back into it.
// The engine calls it at bounded intervals: once for every block read from a file (256 KiB),
// every 65,536 steps of the alignment and every 1,048,576 rows written to the table. The files
// are read on two threads, so the handler may be called from either, one call at a time.
class CCompareMonitor {
public:
    // Both optional: pCancel, which the caller owns, is read at every call; handler is called
    // before each look at it, so that a handler may ask to stop at a stage it chooses.
    CCompareMonitor(const std::atomic<bool>* pCancel, CProgressHandler handler)
        : m_pCancel(pCancel), m_handler(std::move(handler)) {}

    // The sizes of the files about to be read (0 when not known).
    void StartReading(std::uint64_t sourceSize, std::uint64_t targetSize) {
        const std::lock_guard lock(m_mutex);
        m_progress = {};
        m_progress.sourceSize = sourceSize;
        m_progress.targetSize = targetSize;
    }
    // bytes more of one file have been read; 0 at its end. Throws CCompareCancelled when asked.
    void Read(bool bSource, std::uint64_t bytes) {
        {
            const std::lock_guard lock(m_mutex);
            (bSource ? m_progress.sourceRead : m_progress.targetRead) += bytes;
            if (bytes == 0) {
                (bSource ? m_progress.bSourceDone : m_progress.bTargetDone) = true;
            }
            if (m_handler) {
                m_handler(m_progress);
            }
        }
        ThrowIfCancelled();
    }
    // At stage, done of total: reports it, then throws CCompareCancelled when asked to stop.
    void Step(CompareStage stage, std::uint64_t done, std::uint64_t total) {
        {
            const std::lock_guard lock(m_mutex);
            m_progress.stage = stage;
            m_progress.done = done;
            m_progress.total = total;
            if (m_handler) {
                m_handler(m_progress);
            }
        }
        ThrowIfCancelled();
    }
    void ThrowIfCancelled() const {
        if (m_pCancel != nullptr && m_pCancel->load(std::memory_order_relaxed)) {
            throw CCompareCancelled();
        }
    }

private:
    const std::atomic<bool>* m_pCancel;
    CProgressHandler m_handler;
    std::mutex m_mutex;
    CCompareProgress m_progress;
};
