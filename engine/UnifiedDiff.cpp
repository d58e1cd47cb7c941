#include "engine/UnifiedDiff.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "engine/CompareResult.h"
#include "engine/LineBuffer.h"
#include "engine/LineComparer.h"
#include "platform/Clock.h"
#include "platform/File.h"

namespace {

// "-a,b" as a hunk's header gives a side: b lines from line a; a single line without its count,
// and no line as the line before the place (0 at the start).
void AppendRange(CExportBuffer& out, char sign, std::int64_t linesBefore, std::int64_t count) {
    out.Append(std::string_view(&sign, 1));
    out.AppendNumber(count == 0 ? linesBefore : linesBefore + 1);
    if (count != 1) {
        out.Append(",");
        out.AppendNumber(count);
    }
}

void AppendLine(CExportBuffer& out, std::string_view prefix, std::string_view text, LineEnd end) {
    out.Append(prefix);
    out.Append(text);
    switch (end) {
        case LineEnd::lf:
            out.Append("\n");
            break;
        case LineEnd::crLf:
            out.Append("\r\n");
            break;
        case LineEnd::none:
            out.Append("\n\\ No newline at end of file\n");
            break;
    }
}

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

}  // namespace

bool WriteUnifiedDiff(const CCompareResult& result, std::string_view sourceLabel,
                      std::string_view targetLabel, std::int32_t context, CExportSink& sink) {
    const std::int64_t rows = result.GetRowCount();
    const std::int64_t around = std::max<std::int32_t>(context, 0);
    const auto line = [&result](bool bSource, std::int64_t row) {
        return (bSource ? result.m_sourceLine : result.m_targetLine)[static_cast<std::size_t>(row)];
    };
    const auto same = [&result, &line](std::int64_t row) {
        const auto r = static_cast<std::size_t>(row);
        return line(true, row) != 0 && line(false, row) != 0 &&
               result.m_sourceText.GetRaw(r) == result.m_targetText.GetRaw(r) &&
               result.m_sourceText.GetLineEnd(r) == result.m_targetText.GetLineEnd(r);
    };
    const auto nextDifference = [rows, &same](std::int64_t row) {
        while (row < rows && same(row)) {
            ++row;
        }
        return row;
    };

    CExportBuffer out(sink);
    std::int64_t written = 0;  // rows before this one are in a hunk or left out
    std::int64_t sourceBefore = 0;
    std::int64_t targetBefore = 0;
    bool bHunks = false;
    for (std::int64_t first = nextDifference(0); first < rows;) {
        const std::int64_t begin = std::max(written, first - around);
        // The hunk runs on while the next difference is at most twice the context away.
        std::int64_t end = first;
        for (;;) {
            while (end < rows && !same(end)) {
                ++end;
            }
            const std::int64_t next = nextDifference(end);
            if (next < rows && next - end <= 2 * around) {
                end = next;
                continue;
            }
            first = next;
            end = std::min(rows, end + around);
            break;
        }

        for (; written < begin; ++written) {
            sourceBefore += line(true, written) != 0 ? 1 : 0;
            targetBefore += line(false, written) != 0 ? 1 : 0;
        }
        std::int64_t sourceCount = 0;
        std::int64_t targetCount = 0;
        for (std::int64_t row = begin; row < end; ++row) {
            sourceCount += line(true, row) != 0 ? 1 : 0;
            targetCount += line(false, row) != 0 ? 1 : 0;
        }
        if (!bHunks) {
            out.Append("--- ");
            out.Append(sourceLabel);
            out.Append("\n+++ ");
            out.Append(targetLabel);
            out.Append("\n");
            bHunks = true;
        }
        out.Append("@@ ");
        AppendRange(out, '-', sourceBefore, sourceCount);
        out.Append(" ");
        AppendRange(out, '+', targetBefore, targetCount);
        out.Append(" @@\n");

        // Each stretch of rows that differ: the source's lines taken away, then the target's put
        // in.
        for (std::int64_t row = begin; row < end;) {
            if (same(row)) {
                const auto r = static_cast<std::size_t>(row);
                AppendLine(out, " ", result.m_sourceText.GetRaw(r),
                           result.m_sourceText.GetLineEnd(r));
                ++row;
                continue;
            }
            std::int64_t stop = row;
            while (stop < end && !same(stop)) {
                ++stop;
            }
            for (const bool bSource : {true, false}) {
                const CTextColumn& texts = bSource ? result.m_sourceText : result.m_targetText;
                for (std::int64_t r = row; r < stop; ++r) {
                    if (line(bSource, r) != 0) {
                        const auto i = static_cast<std::size_t>(r);
                        AppendLine(out, bSource ? "-" : "+", texts.GetRaw(i), texts.GetLineEnd(i));
                    }
                }
            }
            row = stop;
        }
        sourceBefore += sourceCount;
        targetBefore += targetCount;
        written = end;
    }
    out.Flush();
    return bHunks;
}

std::string FormatUnifiedLabel(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_time_type fileTime =
        std::filesystem::last_write_time(PathFromUtf8(path), error);
    if (error) {
        return path;
    }
    const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::file_clock::to_sys(fileTime).time_since_epoch());
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
    const auto nanoseconds = (since - seconds).count();
    const auto t = static_cast<std::time_t>(seconds.count());
    const std::tm local = LocalTime(t);
    // The zone's offset: the local calendar time read as if it were UTC, less the time itself.
    const std::int64_t localSeconds =
        DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) *
            86400 +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    const std::int64_t offsetMinutes = (localSeconds - static_cast<std::int64_t>(t)) / 60;
    const std::int64_t offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char text[80];
    const int n = std::snprintf(
        text, sizeof text, "\t%04d-%02d-%02d %02d:%02d:%02d.%09lld %c%02lld%02lld",
        local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
        local.tm_sec, static_cast<long long>(nanoseconds), offsetMinutes < 0 ? '-' : '+',
        static_cast<long long>(offset / 60), static_cast<long long>(offset % 60));
    return path + std::string(text, static_cast<std::size_t>(n));
}

std::string FindUnifiedDiffObstacle(const CLineComparer& comparer, const std::string& sourcePath,
                                    const std::string& targetPath) {
    if (comparer.GetSourceEncoding() != TextEncoding::bytes ||
        comparer.GetTargetEncoding() != TextEncoding::bytes) {
        return (comparer.GetSourceEncoding() != TextEncoding::bytes ? sourcePath : targetPath) +
               ": decoded from its byte-order mark, so its lines are not its bytes; a unified "
               "diff needs them to be (leave out the decoding)";
    }
    if (comparer.WasAnyFileCut()) {
        return "a Ctrl-Z ends the text of " + sourcePath + " or " + targetPath +
               " before the end of the file; a unified diff could not give back the bytes after "
               "it";
    }
    return {};
}
