#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ExportSink.h"

class CCompareResult;
class CLineComparer;

// Writes the rows of result as a unified diff that GNU patch and git apply use to turn the source
// into the target byte for byte: "--- sourceLabel" and "+++ targetLabel", then a hunk
// "@@ -a,b +c,d @@" for each stretch of rows that differ, with up to context rows on either side
// that are the same. A row is the same only when both its lines hold the same bytes and ended
// alike (LF, CR LF, or nothing at the end of the file), whatever the comparison's options made of
// it: rows equal only under an option come out as a line taken away and one put in. Lines are
// written as stored in the files, each with its own terminator; a last line without one is
// followed by "\ No newline at end of file". Writes nothing at all when every row is the same;
// returns whether it wrote a hunk.
bool WriteUnifiedDiff(const CCompareResult& result, std::string_view sourceLabel,
                      std::string_view targetLabel, std::int32_t context, CExportSink& sink);

// The context a unified diff has when none is asked for.
constexpr std::int32_t kDefaultUnifiedContext = 3;

// What a unified diff's header names a file by, as GNU diff writes it: the path, a TAB and the
// file's modification time in the local time zone, as 2026-12-07 15:44:28.123456789 +0100. The
// path alone when the file's time cannot be had.
std::string FormatUnifiedLabel(const std::string& path);

// Why the lines that comparer's last Compare read from the two files cannot give back their bytes,
// so that no unified diff can be made of them: a file decoded from its byte-order mark, or one
// whose text a Ctrl-Z ended before its end. Empty when they can.
std::string FindUnifiedDiffObstacle(const CLineComparer& comparer, const std::string& sourcePath,
                                    const std::string& targetPath);
