// Line alignment: one forward pass over both files with bounded look-ahead.
//
// The pass keeps s and t, the first source and target lines not yet placed. At each step it
// looks for source line s among the next 20 target lines (the nearest wins); failing that, it
// tries the next 20 source lines in order, each against the next 10 target lines, and takes the
// first pair found; failing that too, it places s opposite t as changed. Blank lines are never
// looked for and never matched. Each step places at least one source line and costs at most
// 20 + 20 * 10 line comparisons, so the pass is linear in the size of the files, whatever they
// hold; it never backtracks and builds nothing proportional to the product of the file lengths.
//
// Lines compare by a 32-bit hash first and bytes second; a window's hashes are compared four
// at a time. After a step that found no pair, both windows have moved by one line, so the next
// second search only tries the pairs that are new to it. The pass only writes an edit script of
// row runs; the table is built from it afterwards, when the hashes are already freed.
//
// Under the comparison options (SetOptions) the pass is the same: the lines compare as the
// options see them (CLineBuffer hashes and compares them so), and a line with nothing left is
// blank. Under bIgnoreBlankLines the pass runs over the other lines only, positions in each
// file's match index, and the blank lines are put back afterwards in rows of their own.
//
// The realigning mode (SetRealign) runs the same pass, but takes a pair that passes over lines
// only when CAnchorFinder confirms it: from the pair on, three non-blank lines are equal on both
// sides, not all of them lines as common as a closing brace or "#endif" (or the lines passed
// over are blank lines opposite each other). Where it does not, or where a step finds no pair,
// the finder looks for where the files meet again, at most 4,096 lines further on. The lines
// before that meeting point are aligned by the same pass confined to them, and the pass goes on
// after it; only when the finder has none does the step take its unconfirmed pair, or place s
// opposite t. A confirmation compares at most 16 pairs of lines, so a step still costs a bounded
// number of comparisons besides the finder's searches, and those are bounded as the finder
// describes: the whole pass stays linear. The described pass runs beside it, on a second thread
// where there is one, counting its equal rows only, and runs again for its rows where it holds
// more: the realigning mode never keeps fewer lines in common than the default one.

#include "engine/LineComparer.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/AnchorFinder.h"
#include "engine/EditScript.h"
#include "engine/FileException.h"
#include "engine/LineBuffer.h"

namespace {

constexpr std::int32_t kDirectWindow = 20;  // target lines searched for the current source line
constexpr std::int32_t kSourceWindow = 20;  // later source lines tried in the second search
constexpr std::int32_t kTargetWindow = 10;  // target lines searched for each of those
// Source lines placed by the pass, and rows when the blank lines are put back, between two looks
// at the monitor.
constexpr std::int32_t kStepsPerReport = 1 << 16;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Bit j is set when hashes[j] equals hash, for j < 20. The hash arrays carry zeroed padding
// past their last line, so reading a whole window is always safe; callers mask what lies beyond.
std::uint32_t MatchMask(const std::uint32_t* hashes, std::uint32_t hash) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(hash));
    std::uint32_t mask = 0;
    for (int j = 0; j < kDirectWindow; j += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hashes + j));
        const int bits = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(four, wanted)));
        mask |= static_cast<std::uint32_t>(bits) << j;
    }
    return mask;
#else
    std::uint32_t mask = 0;
    for (int j = 0; j < kDirectWindow; ++j) {
        mask |= static_cast<std::uint32_t>(hashes[j] == hash) << j;
    }
    return mask;
#endif
}

// The first j in mask (bits in order) for which line first + j of others equals line i of
// lines, or -1.
std::int32_t FirstEqual(std::uint32_t mask, const CLineBuffer& lines, std::int32_t i,
                        const CLineBuffer& others, std::int32_t first) {
    for (; mask != 0; mask &= mask - 1) {
        const auto j = static_cast<std::int32_t>(std::countr_zero(mask));
        if (lines.IsEqual(i, others, first + j)) {
            return j;
        }
    }
    return -1;
}

// The files are independent until the alignment: the target is read on a second thread while
// this one reads the source. Both reads end, by their end of file or their error, before this
// returns, so a failure never leaves the other file open or half read, and the source's error is
// the one passed on, as when one file is read after the other.
void ReadBoth(CInputFile& sourceFile, CLineBuffer& source, CInputFile& targetFile,
              CLineBuffer& target, CReadBudget& budget, CCompareMonitor* pMonitor,
              bool bConcurrent) {
    std::exception_ptr targetError;
    std::thread reader;
    if (bConcurrent && targetFile.IsOpen()) {
        try {
            reader = std::thread([&targetFile, &target, &budget, pMonitor, &targetError] {
                try {
                    target.Read(targetFile, CLineBuffer::kMaxLines, &budget, pMonitor, false);
                } catch (...) {
                    targetError = std::current_exception();
                }
            });
        } catch (...) {
            // No second thread to be had: one file after the other.
        }
    }
    std::exception_ptr sourceError;
    try {
        source.Read(sourceFile, CLineBuffer::kMaxLines, &budget, pMonitor, true);
    } catch (...) {
        sourceError = std::current_exception();
    }
    const bool bThreaded = reader.joinable();
    if (bThreaded) {
        reader.join();
    }
    if (sourceError) {
        std::rethrow_exception(sourceError);
    }
    if (targetError) {
        std::rethrow_exception(targetError);
    }
    if (!bThreaded && targetFile.IsOpen()) {
        target.Read(targetFile, CLineBuffer::kMaxLines, &budget, pMonitor, false);
    }
}

// The default pass takes every pair its windows find, and gives up on a step that finds none:
// it places the two lines opposite each other and moves on.
struct CNoAnchor {
    bool IsStrong(std::int32_t, std::int32_t, std::int32_t, std::int32_t) const { return true; }
    bool operator()(std::int32_t, std::int32_t, std::int32_t&, std::int32_t&) const {
        return false;
    }
};

// The realigning pass asks the anchor finder whether a pair that passes over lines is good
// evidence, and where the files meet again when it is not or when there is none.
struct CFindAnchor {
    CAnchorFinder& finder;
    const std::uint32_t* sourceHash;
    const std::uint32_t* targetHash;
    // Whether the pair k, m found from s, t is good evidence: the lines before it are blank
    // lines opposite each other (so it passes over no difference), or the finder confirms it.
    bool IsStrong(std::int32_t s, std::int32_t t, std::int32_t k, std::int32_t m) const {
        if (k - s == m - t) {
            while (s < k && sourceHash[s] == 0 && targetHash[t] == 0) {
                ++s;
                ++t;
            }
            if (s == k) {
                return true;
            }
        }
        return finder.Confirm(k, m);
    }
    bool operator()(std::int32_t s, std::int32_t t, std::int32_t& k, std::int32_t& m) const {
        return finder.Find(s, t, k, m);
    }
};

// Appends the rows of source lines [s, nS) and target lines [t, nT) to script. When a step
// finds a pair that passes over lines and anchor.IsStrong turns it down, or finds no pair,
// anchor(s, t, k, m) may name a later pair k >= s, m >= t of equal lines: the lines before it on
// both sides are then aligned by this pass confined to them, and the pass goes on after it.
// pMonitor (optional) hears of the lines placed on both sides every kStepsPerReport source lines.
template <class Anchor>
void Align(const CLineBuffer& source, std::int32_t s, std::int32_t nS, const CLineBuffer& target,
           std::int32_t t, std::int32_t nT, CEditScript& script, const Anchor& anchor,
           CCompareMonitor* pMonitor = nullptr) {
    static_assert(kSourceWindow <= 32 && kDirectWindow <= 32 && kTargetWindow <= kDirectWindow &&
                  kDirectWindow % 4 == 0);
    const std::uint32_t* sourceHash = source.GetHashes();
    const std::uint32_t* targetHash = target.GetHashes();
    bool searchedBefore = false;  // the last step found no pair and placed s - 1 opposite t - 1
    // The pass reports at the start of every stretch of kStepsPerReport source lines: each step
    // places at least one, so the loop tests s against the stretch's end instead of nS.
    std::int32_t stretchEnd = s;
    for (;;) {
        if (s >= stretchEnd) {
            if (s >= nS) {
                break;
            }
            if (pMonitor != nullptr) {
                pMonitor->Step(CompareStage::aligning, static_cast<std::uint64_t>(s) + t,
                               static_cast<std::uint64_t>(nS) + nT);
            }
            stretchEnd = nS - s > kStepsPerReport ? s + kStepsPerReport : nS;
        }
        if (t >= nT) {
            break;
        }
        const std::int32_t targetLeft = nT - t;
        std::int32_t k = -1;  // the pair found, source line k and target line m
        std::int32_t m = -1;
        if (sourceHash[s] != 0) {
            const std::uint32_t window =
                targetLeft >= kDirectWindow ? (1u << kDirectWindow) - 1 : (1u << targetLeft) - 1;
            const std::int32_t j =
                FirstEqual(MatchMask(targetHash + t, sourceHash[s]) & window, source, s, target, t);
            if (j == 0) {
                script.Add(kindEqual, 1);
                s += 1;
                t += 1;
                searchedBefore = false;
                continue;
            }
            if (j > 0) {
                k = s;
                m = t + j;
            }
        }

        if (k < 0) {
            const std::uint32_t targetWindow =
                targetLeft >= kTargetWindow ? (1u << kTargetWindow) - 1 : (1u << targetLeft) - 1;
            if (searchedBefore) {
                // The last step searched the window one line back on both sides and found
                // nothing, so only the pairs the window gained can match: its new last target
                // line against the earlier source lines, then its new last source line against
                // every target line.
                const std::int32_t newTarget = t + kTargetWindow - 1;
                const std::int32_t newSource = s + kSourceWindow;
                if (newTarget < nT && targetHash[newTarget] != 0) {
                    const std::int32_t earlier = std::min(newSource, nS) - (s + 1);
                    const std::uint32_t mask =
                        MatchMask(sourceHash + s + 1, targetHash[newTarget]) &
                        ((1u << earlier) - 1);
                    const std::int32_t i = FirstEqual(mask, target, newTarget, source, s + 1);
                    if (i >= 0) {
                        k = s + 1 + i;
                        m = newTarget;
                    }
                }
                if (k < 0 && newSource < nS && sourceHash[newSource] != 0) {
                    const std::int32_t j =
                        FirstEqual(MatchMask(targetHash + t, sourceHash[newSource]) & targetWindow,
                                   source, newSource, target, t);
                    if (j >= 0) {
                        k = newSource;
                        m = t + j;
                    }
                }
            } else {
                const std::int32_t sourceEnd =
                    std::min(s, nS - kSourceWindow - 1) + kSourceWindow + 1;
                // The buckets of the window's target hashes turn most source lines down without
                // a scan.
                std::uint64_t buckets[4] = {};
                for (std::int32_t j = t; j < t + kTargetWindow; ++j) {
                    buckets[(targetHash[j] >> 6) & 3] |= 1ull << (targetHash[j] & 63);
                }
                for (std::int32_t candidate = s + 1; candidate < sourceEnd; ++candidate) {
                    const std::uint32_t hash = sourceHash[candidate];
                    if (hash == 0 || ((buckets[(hash >> 6) & 3] >> (hash & 63)) & 1) == 0) {
                        continue;
                    }
                    const std::int32_t j =
                        FirstEqual(MatchMask(targetHash + t, hash) & targetWindow, source,
                                   candidate, target, t);
                    if (j >= 0) {
                        k = candidate;
                        m = t + j;
                        break;
                    }
                }
            }
            searchedBefore = k < 0;
        }

        std::int32_t anchorK = -1;
        std::int32_t anchorM = -1;
        if ((k < 0 || !anchor.IsStrong(s, t, k, m)) && anchor(s, t, anchorK, anchorM)) {
            Align(source, s, anchorK, target, t, anchorM, script, CNoAnchor{});
            script.Add(kindEqual, 1);
            s = anchorK + 1;
            t = anchorM + 1;
            searchedBefore = false;
        } else if (k >= 0) {
            const std::int32_t paired = std::min(k - s, m - t);
            script.Add(kindChanged, static_cast<std::uint64_t>(paired));
            script.Add(kindSourceOnly, static_cast<std::uint64_t>(k - s - paired));
            script.Add(kindTargetOnly, static_cast<std::uint64_t>(m - t - paired));
            script.Add(kindEqual, 1);
            s = k + 1;
            t = m + 1;
            searchedBefore = false;
        } else {
            script.Add(kindChanged, 1);
            ++s;
            ++t;
        }
    }
    script.Add(kindSourceOnly, static_cast<std::uint64_t>(nS - s));
    script.Add(kindTargetOnly, static_cast<std::uint64_t>(nT - t));
}

// A thread that is waited for when it goes, also when an exception passes.
struct CJoinedThread {
    std::thread thread;
    ~CJoinedThread() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

// Puts the blank lines back into a script that the pass made over the other lines only. Before
// each row come the blank lines that precede the next line of each file, opposite each other as
// far as both files have some, then the rest alone; the blank lines at the end of the files come
// last, the same way.
CEditScript PutBackBlankLines(const CEditScript& paired, const CLineBuffer& source,
                              const CLineBuffer& target, CCompareMonitor* pMonitor) {
    CEditScript script;
    const std::int32_t nS = source.GetLineCount();
    const std::int32_t nT = target.GetLineCount();
    const std::int32_t matchS = source.GetMatchCount();
    const std::int32_t matchT = target.GetMatchCount();
    std::int32_t s = 0;  // lines placed so far
    std::int32_t t = 0;
    std::int32_t i = 0;  // positions in the match indexes placed so far
    std::int32_t j = 0;
    const auto placeBlankLines = [&script, &s, &t](std::int32_t sourceEnd, std::int32_t targetEnd) {
        const std::int32_t both = std::min(sourceEnd - s, targetEnd - t);
        script.Add(kindChanged, static_cast<std::uint64_t>(both));
        script.Add(kindSourceOnly, static_cast<std::uint64_t>(sourceEnd - s - both));
        script.Add(kindTargetOnly, static_cast<std::uint64_t>(targetEnd - t - both));
        s = sourceEnd;
        t = targetEnd;
    };
    std::int32_t rowsToCheck = kStepsPerReport;
    paired.ForEachRun([&](RowKind kind, std::uint32_t count) {
        const std::int32_t hasSource = kind != kindTargetOnly ? 1 : 0;
        const std::int32_t hasTarget = kind != kindSourceOnly ? 1 : 0;
        for (std::uint32_t row = 0; row < count; ++row) {
            if (--rowsToCheck == 0) {
                rowsToCheck = kStepsPerReport;
                if (pMonitor != nullptr) {
                    pMonitor->ThrowIfCancelled();
                }
            }
            placeBlankLines(i < matchS ? source.GetMatchLine(i) : nS,
                            j < matchT ? target.GetMatchLine(j) : nT);
            script.Add(kind, 1);
            s += hasSource;
            t += hasTarget;
            i += hasSource;
            j += hasTarget;
        }
    });
    placeBlankLines(nS, nT);
    return script;
}

}  // namespace

CLineComparer::CLineComparer() = default;
CLineComparer::~CLineComparer() = default;

int CLineComparer::SetFiles(std::string sourcePath, std::string targetPath) {
    m_pSourceLines.reset();
    m_pTargetLines.reset();
    m_sourcePath = std::move(sourcePath);
    m_targetPath = std::move(targetPath);
    return 1;
}

std::unique_ptr<CCompareResult> CLineComparer::Compare() {
    m_stats = {};
    m_openFailure.reset();
    m_sourceEncoding = TextEncoding::bytes;
    m_targetEncoding = TextEncoding::bytes;
    m_bCut = false;
    m_pSourceLines.reset();
    m_pTargetLines.reset();
    // Whatever happens below, the line lists are empty again when Compare returns.
    struct CEmptyLists {
        CLineComparer& comparer;
        ~CEmptyLists() {
            comparer.m_pSourceLines.reset();
            comparer.m_pTargetLines.reset();
        }
    } emptyLists{*this};

    const auto readStart = std::chrono::steady_clock::now();
    std::string reason;
    CInputFile sourceFile;
    if (!sourceFile.Open(m_sourcePath, &reason)) {
        // The target is opened only once the source has opened.
        m_openFailure = COpenFailure{m_sourcePath, reason, true};
        m_stats.readSeconds = SecondsSince(readStart);
        return nullptr;
    }
    CInputFile targetFile;
    if (!targetFile.Open(m_targetPath, &reason)) {
        m_openFailure = COpenFailure{m_targetPath, reason, false};
    }
    // Files whose sizes are known are turned down before either is read.
    const std::uint64_t memory = m_memoryLimit ? *m_memoryLimit : GetAvailableMemory();
    if (sourceFile.GetSizeHint() > memory ||
        targetFile.GetSizeHint() > memory - sourceFile.GetSizeHint()) {
        throw std::bad_alloc();
    }
    CReadBudget budget(memory);
    auto pSource = std::make_shared<CLineBuffer>();
    auto pTarget = std::make_shared<CLineBuffer>();
    pSource->SetOptions(m_options);
    pTarget->SetOptions(m_options);
    std::optional<CCompareMonitor> monitor;
    if (m_pCancel != nullptr || m_progressHandler) {
        monitor.emplace(m_pCancel, m_progressHandler);
        monitor->StartReading(sourceFile.GetSizeHint(), targetFile.GetSizeHint());
    }
    m_pMonitor = monitor ? &*monitor : nullptr;
    // The monitor lives on this stack: AlignLines called on its own reports to none.
    struct CForgetMonitor {
        CCompareMonitor*& pMonitor;
        ~CForgetMonitor() { pMonitor = nullptr; }
    } forgetMonitor{m_pMonitor};
    ReadBoth(sourceFile, *pSource, targetFile, *pTarget, budget, m_pMonitor, m_bConcurrentRead);
    m_stats.readSeconds = SecondsSince(readStart);
    m_sourceEncoding = pSource->GetEncoding();
    m_targetEncoding = pTarget->GetEncoding();
    m_bCut = pSource->WasCut() || pTarget->WasCut();
    if (pSource->GetLineCount() == 0 && pTarget->GetLineCount() == 0) {
        return nullptr;
    }
    m_pSourceLines = std::move(pSource);
    m_pTargetLines = std::move(pTarget);

    auto pResult = std::make_unique<CCompareResult>();
    AlignLines(pResult.get());
    return pResult;
}

int CLineComparer::AlignLines(CCompareResult* pResult) {
    // The table takes over the buffers; the comparer keeps no lines once the rows exist.
    std::shared_ptr<CLineBuffer> pSource = std::move(m_pSourceLines);
    std::shared_ptr<CLineBuffer> pTarget = std::move(m_pTargetLines);
    m_pSourceLines.reset();
    m_pTargetLines.reset();
    if (!pSource) {
        pSource = std::make_shared<CLineBuffer>();
    }
    if (!pTarget) {
        pTarget = std::make_shared<CLineBuffer>();
    }

    const auto alignStart = std::chrono::steady_clock::now();
    CEditScript script;
    if (m_bRealign) {
        // The pass beside only counts its rows; in the rare case that it keeps more equal rows,
        // it runs again for them.
        CEditScript byDefault(false);
        std::exception_ptr defaultFailure;
        // The pass beside reports nothing, but stops when the comparison is cancelled.
        std::optional<CCompareMonitor> besideMonitor;
        if (m_pMonitor != nullptr) {
            besideMonitor.emplace(m_pCancel, nullptr);
        }
        CCompareMonitor* const pBeside = besideMonitor ? &*besideMonitor : nullptr;
        const auto alignByDefault = [&] {
            try {
                Align(*pSource, 0, pSource->GetMatchCount(), *pTarget, 0, pTarget->GetMatchCount(),
                      byDefault, CNoAnchor{}, pBeside);
            } catch (...) {
                defaultFailure = std::current_exception();
            }
        };
        {
            CJoinedThread beside;
            if (std::thread::hardware_concurrency() > 1) {
                try {
                    beside.thread = std::thread(alignByDefault);
                } catch (const std::system_error&) {
                    // No second thread: the pass runs after the realigning one.
                }
            }
            CAnchorFinder finder(*pSource, *pTarget);
            Align(*pSource, 0, pSource->GetMatchCount(), *pTarget, 0, pTarget->GetMatchCount(),
                  script, CFindAnchor{finder, pSource->GetHashes(), pTarget->GetHashes()},
                  m_pMonitor);
            if (!beside.thread.joinable()) {
                alignByDefault();
            }
        }
        if (defaultFailure) {
            std::rethrow_exception(defaultFailure);
        }
        if (byDefault.GetEqualRowCount() > script.GetEqualRowCount()) {
            script = CEditScript();
            Align(*pSource, 0, pSource->GetMatchCount(), *pTarget, 0, pTarget->GetMatchCount(),
                  script, CNoAnchor{}, m_pMonitor);
        }
    } else {
        Align(*pSource, 0, pSource->GetMatchCount(), *pTarget, 0, pTarget->GetMatchCount(), script,
              CNoAnchor{}, m_pMonitor);
    }
    if (pSource->GetMatchCount() != pSource->GetLineCount() ||
        pTarget->GetMatchCount() != pTarget->GetLineCount()) {
        script = PutBackBlankLines(script, *pSource, *pTarget, m_pMonitor);
    }
    m_stats.alignSeconds = SecondsSince(alignStart);
    if (static_cast<std::uint64_t>(pResult->GetRowCount()) + script.GetRowCount() > INT32_MAX) {
        throw CFileException(m_targetPath, "the two files need more rows than can be numbered (" +
                                               std::to_string(INT32_MAX) + ")");
    }

    const auto buildStart = std::chrono::steady_clock::now();
    pSource->DropMatchIndex();
    pTarget->DropMatchIndex();
    if (m_pMonitor != nullptr) {
        m_pMonitor->Step(CompareStage::building, 0, script.GetRowCount());
    }
    pResult->AppendScript(script, std::move(pSource), std::move(pTarget), m_pMonitor);
    m_stats.buildSeconds = SecondsSince(buildStart);
    return 1;
}
