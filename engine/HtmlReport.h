#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ExportSink.h"

class CCompareResult;

// Every row of the report, not only those near a difference.
constexpr std::int32_t kHtmlAllRows = -1;

// Writes result as one self-contained HTML page (its style inside it, no script, nothing
// fetched) that shows the two sides as the window does: line numbers, the text coloured by the
// row's kind on a grey ground where the row is a difference, and the characters that differ
// within a changed row marked. At the top the two paths and the counts. With context 0 or more
// only the rows at most that far from a difference are shown, and a marker row says how many
// were left out in between; with kHtmlAllRows every row. Every byte is escaped; a text is shown
// as the window shows it: tabs as four spaces, valid UTF-8 as UTF-8, anything else as Latin-1,
// control characters as blanks. Written row by row as it goes. A null result is a page saying
// that neither file has a line.
void WriteHtmlReport(const CCompareResult* pResult, std::string_view sourcePath,
                     std::string_view targetPath, std::int32_t context, CExportSink& sink);
