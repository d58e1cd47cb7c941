#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/CompareProgress.h"
#include "engine/LineComparer.h"
#include "tests/common/ScratchDir.h"

namespace {

// Two files long enough for every stage to report more than once: 1.2 million rows, blank lines
// every 7 (so that leaving them out puts them back), and a changed line about every 1,000.
struct CLongPair {
    static constexpr int kLines = 1'200'000;

    CLongPair() {
        std::string source;
        std::string target;
        for (int i = 0; i < kLines; ++i) {
            const std::string line = i % 7 == 0 ? "" : "line " + std::to_string(i);
            source += line + "\n";
            const bool bChanged = i % 1000 == 999 && !line.empty();
            target += (bChanged ? "changed " + std::to_string(i) : line) + "\n";
            differences += bChanged;
        }
        sourcePath = files.Write("source", source);
        targetPath = files.Write("target", target);
        sizes = {source.size(), target.size()};
    }

    CScratchDir files;
    std::string sourcePath, targetPath;
    std::pair<std::uint64_t, std::uint64_t> sizes;
    std::int32_t differences = 0;
};

const CLongPair& LongPair() {
    static const CLongPair pair;
    return pair;
}

// Where the comparison is to stop: at the first report for which this holds.
const std::pair<const char*, bool (*)(const CCompareProgress&)> kStops[] = {
    {"reading the source",
     [](const CCompareProgress& p) { return p.sourceRead > 0 && !p.bSourceDone; }},
    {"reading the target",
     [](const CCompareProgress& p) { return p.targetRead > 0 && !p.bTargetDone; }},
    {"aligning",
     [](const CCompareProgress& p) { return p.stage == CompareStage::aligning && p.done > 0; }},
    {"building the table",
     [](const CCompareProgress& p) { return p.stage == CompareStage::building && p.done > 0; }},
};

struct CancelSetting {
    const char* name;
    bool bConcurrentRead;
    CCompareOptions options;
    bool bRealign;
};

const CancelSetting kSettings[] = {
    {"one file after the other", false, {}, false},
    {"realigning", true, {}, true},
    {"decoding, ignoring blank lines",
     true,
     {.whitespace = CCompareOptions::whitespaceChanges,
      .bIgnoreBlankLines = true,
      .bDecodeUnicode = true},
     false},
};

TEST(Progress, CancelStopsAtEveryStageAndTheNextComparisonIsWhole) {
    const CLongPair& pair = LongPair();
    for (const CancelSetting& setting : kSettings) {
        for (const auto& [stop, stopHere] : kStops) {
            SCOPED_TRACE(std::string(setting.name) + ", " + stop);
            CLineComparer comparer;
            comparer.SetFiles(pair.sourcePath, pair.targetPath);
            comparer.SetConcurrentRead(setting.bConcurrentRead);
            comparer.SetOptions(setting.options);
            comparer.SetRealign(setting.bRealign);
            const auto at = stopHere;
            std::atomic<bool> cancel{false};
            bool bAsked = false;
            CCompareProgress last;
            comparer.SetCancelFlag(&cancel);
            comparer.SetProgressHandler([&](const CCompareProgress& progress) {
                // Once asked, the comparison must not go on to another stage.
                EXPECT_TRUE(!bAsked || progress.stage == last.stage);
                last = progress;
                if (!bAsked && at(progress)) {
                    bAsked = true;
                    cancel = true;
                }
            });
            EXPECT_THROW(comparer.Compare(), CCompareCancelled);
            EXPECT_TRUE(bAsked);
            EXPECT_FALSE(comparer.GetOpenFailure());

            // The same comparer compares again, whole, once the flag is down.
            cancel = false;
            comparer.SetProgressHandler({});
            const std::unique_ptr<CCompareResult> pResult = comparer.Compare();
            ASSERT_TRUE(pResult);
            EXPECT_EQ(pResult->GetRowCount(), CLongPair::kLines);
            EXPECT_EQ(pResult->m_nDifferences, pair.differences);
        }
    }
}

TEST(Progress, ReportsTheStagesInOrderUpToTheirTotals) {
    const CLongPair& pair = LongPair();
    CLineComparer comparer;
    comparer.SetFiles(pair.sourcePath, pair.targetPath);
    std::vector<CompareStage> stages;
    CCompareProgress lastRead, last;
    std::uint64_t readReports = 0;
    comparer.SetProgressHandler([&](const CCompareProgress& progress) {
        if (stages.empty() || stages.back() != progress.stage) {
            stages.push_back(progress.stage);
        } else {
            EXPECT_GE(progress.done, last.done);
        }
        if (progress.stage == CompareStage::reading) {
            EXPECT_GE(progress.sourceRead + progress.targetRead,
                      lastRead.sourceRead + lastRead.targetRead);
            lastRead = progress;
            ++readReports;
        } else {
            EXPECT_LE(progress.done, progress.total);
        }
        last = progress;
    });
    const std::unique_ptr<CCompareResult> pResult = comparer.Compare();
    ASSERT_TRUE(pResult);
    EXPECT_EQ(stages,
              (std::vector{CompareStage::reading, CompareStage::aligning, CompareStage::building}));
    EXPECT_EQ(std::pair(lastRead.sourceSize, lastRead.targetSize), pair.sizes);
    EXPECT_EQ(std::pair(lastRead.sourceRead, lastRead.targetRead), pair.sizes);
    EXPECT_TRUE(lastRead.bSourceDone && lastRead.bTargetDone);
    // A report for every block of 256 KiB, and one for each end.
    EXPECT_GE(readReports, (pair.sizes.first + pair.sizes.second) / (256 * 1024));
    EXPECT_EQ(last.total, static_cast<std::uint64_t>(pResult->GetRowCount()));
    EXPECT_GE(last.done, 1u << 20);
}

}  // namespace
