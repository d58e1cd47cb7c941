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
// Lines compare by a 32-bit hash first and bytes second. The pass only writes an edit script of
// row runs; the table is built from it afterwards, when the hashes are already freed.

#include "engine/LineComparer.h"

#include <algorithm>
#include <chrono>

#include "engine/EditScript.h"
#include "engine/FileException.h"
#include "engine/LineBuffer.h"

namespace {

constexpr std::int32_t kDirectWindow = 20;  // target lines searched for the current source line
constexpr std::int32_t kSourceWindow = 20;  // later source lines tried in the second search
constexpr std::int32_t kTargetWindow = 10;  // target lines searched for each of those

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

CEditScript Align(const CLineBuffer& source, const CLineBuffer& target) {
    CEditScript script;
    const std::int32_t nS = source.GetLineCount();
    const std::int32_t nT = target.GetLineCount();
    const std::uint32_t* sourceHash = source.GetHashes();
    const std::uint32_t* targetHash = target.GetHashes();
    std::int32_t s = 0;
    std::int32_t t = 0;
    while (s < nS && t < nT) {
        if (sourceHash[s] != 0) {
            const std::int32_t end = std::min(t, nT - kDirectWindow) + kDirectWindow;
            std::int32_t j = t;
            while (j < end && !(targetHash[j] == sourceHash[s] && source.IsEqual(s, target, j))) {
                ++j;
            }
            if (j < end) {
                script.Add(kindTargetOnly, static_cast<std::uint64_t>(j - t));
                script.Add(kindEqual, 1);
                s += 1;
                t = j + 1;
                continue;
            }
        }

        const std::int32_t sourceEnd = std::min(s, nS - kSourceWindow - 1) + kSourceWindow + 1;
        const std::int32_t targetEnd = std::min(t, nT - kTargetWindow) + kTargetWindow;
        std::int32_t k = s + 1;
        std::int32_t m = targetEnd;
        for (; k < sourceEnd; ++k) {
            const std::uint32_t hash = sourceHash[k];
            if (hash == 0) {
                continue;
            }
            for (m = t; m < targetEnd; ++m) {
                if (targetHash[m] == hash && source.IsEqual(k, target, m)) {
                    break;
                }
            }
            if (m < targetEnd) {
                break;
            }
        }
        if (k < sourceEnd) {
            const std::int32_t paired = std::min(k - s, m - t);
            script.Add(kindChanged, static_cast<std::uint64_t>(paired));
            script.Add(kindSourceOnly, static_cast<std::uint64_t>(k - s - paired));
            script.Add(kindTargetOnly, static_cast<std::uint64_t>(m - t - paired));
            script.Add(kindEqual, 1);
            s = k + 1;
            t = m + 1;
        } else {
            script.Add(kindChanged, 1);
            ++s;
            ++t;
        }
    }
    script.Add(kindSourceOnly, static_cast<std::uint64_t>(nS - s));
    script.Add(kindTargetOnly, static_cast<std::uint64_t>(nT - t));
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
    auto pSource = std::make_shared<CLineBuffer>();
    if (!pSource->Load(m_sourcePath)) {
        // The target is read only once the source has opened.
        m_stats.readSeconds = SecondsSince(readStart);
        return nullptr;
    }
    auto pTarget = std::make_shared<CLineBuffer>();
    pTarget->Load(m_targetPath);
    m_stats.readSeconds = SecondsSince(readStart);
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
    const CEditScript script = Align(*pSource, *pTarget);
    m_stats.alignSeconds = SecondsSince(alignStart);
    if (static_cast<std::uint64_t>(pResult->GetRowCount()) + script.GetRowCount() > INT32_MAX) {
        throw CFileException(m_targetPath, "the two files need more rows than can be numbered (" +
                                               std::to_string(INT32_MAX) + ")");
    }

    const auto buildStart = std::chrono::steady_clock::now();
    pSource->DropMatchIndex();
    pTarget->DropMatchIndex();
    pResult->AppendScript(script, std::move(pSource), std::move(pTarget));
    m_stats.buildSeconds = SecondsSince(buildStart);
    return 1;
}
