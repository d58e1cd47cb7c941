#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "engine/CompareResult.h"
#include "engine/HtmlReport.h"
#include "engine/LineComparer.h"
#include "tests/common/ScratchDir.h"

namespace {

class CStringSink : public CExportSink {
public:
    void Write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

struct CReport {
    std::unique_ptr<CCompareResult> pResult;
    std::string page;
};

CReport Report(const std::string& source, const std::string& target, std::int32_t context,
               bool bRealign = false, std::string_view sourceName = "s") {
    const CScratchDir files;
    CLineComparer comparer;
    comparer.SetFiles(files.Write("s", source), files.Write("t", target));
    comparer.SetRealign(bRealign);
    CReport report;
    report.pResult = comparer.Compare();
    CStringSink sink;
    WriteHtmlReport(report.pResult.get(), sourceName, "caf\xE9.txt", context, sink);
    report.page = std::move(sink.text);
    return report;
}

// What the page shows of one row, read back from its markup.
struct CShownRow {
    std::string kindClass;  // "k0".."k3", with " d" on a difference
    std::int32_t sourceLine = 0;
    std::int32_t targetLine = 0;
    std::string sourceCell;  // the text cells' markup
    std::string targetCell;
};

// The page's rows in order, a marker row as the count of rows it stands for (negative).
std::vector<CShownRow> ReadRows(const std::string& page) {
    static const std::regex kRow(
        R"re(<tr class="gap"><td colspan="4">(\d+) row|<tr class="(k\d(?: d)?)"><td class="n">(\d*))re"
        R"re(</td><td class="t s">(.*?)</td><td class="n">(\d*)</td><td class="t">(.*?)</td></tr>)re");
    std::vector<CShownRow> rows;
    for (std::sregex_iterator m(page.begin(), page.end(), kRow), end; m != end; ++m) {
        const auto number = [&m](int i) { return (*m)[i].length() ? std::stoi((*m)[i]) : 0; };
        rows.push_back((*m)[1].matched
                           ? CShownRow{"", -number(1), 0, "", ""}
                           : CShownRow{(*m)[2], number(3), number(5), (*m)[4], (*m)[6]});
    }
    return rows;
}

// Every byte of a text comes out as the window shows it, and nothing in it becomes markup.
TEST(HtmlReport, ShowsEveryTextAsTheWindowDoes) {
    struct Case {
        const char* name;
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"script", "<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"markup characters", "a & \"b\" 'c'", "a &amp; &quot;b&quot; 'c'"},
        {"tabs", "\tx\ty", "    x    y"},
        {"valid UTF-8", "caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
        {"invalid UTF-8 as Latin-1", "caf\xE9 <\xFF", "caf\xC3\xA9 &lt;\xC3\xBF"},
        {"control characters as blanks", std::string("a\x01\x7F\0b", 5), "a   b"},
        {"a C1 control in UTF-8 as a blank", "x\xC2\x85y", "x y"},
        {"a C1 control in Latin-1 as a blank", "x\x85y", "x y"},
        {"a lone CR as a blank", "a\rb", "a b"},
    };
    std::string file;
    for (const Case& c : cases) {
        file += c.text + "\n";
    }
    const CReport report = Report(file, file, kHtmlAllRows);
    const std::vector<CShownRow> rows = ReadRows(report.page);
    ASSERT_EQ(rows.size(), std::size(cases));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].sourceCell, cases[i].shown) << cases[i].name;
        EXPECT_EQ(rows[i].targetCell, cases[i].shown) << cases[i].name;
    }
    // Self-contained: nothing runs, nothing is fetched.
    std::string lower = report.page;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* outside : {"<script", "src=", "href=", "url(", "@import", "<link"}) {
        EXPECT_EQ(lower.find(outside), std::string::npos) << outside;
    }
}

TEST(HtmlReport, TopNamesThePathsEscapedAndTheCounts) {
    const std::string page = Report("a\nb\nc\n", "a\nB\n", 2, false, "<i>&.txt").page;
    EXPECT_NE(page.find("<dd>&lt;i&gt;&amp;.txt</dd>"), std::string::npos);
    EXPECT_NE(page.find("<dd>caf\xC3\xA9.txt</dd>"), std::string::npos);
    EXPECT_NE(page.find("<dd>3 rows, 2 differences; 2 rows of context</dd>"), std::string::npos);
    CStringSink empty;
    WriteHtmlReport(nullptr, "s", "t", kHtmlAllRows, empty);
    EXPECT_NE(empty.text.find("no result"), std::string::npos);
    EXPECT_TRUE(empty.text.ends_with("</html>\n"));
}

TEST(HtmlReport, MarksTheChangesWithinALine) {
    const std::vector<CShownRow> rows =
        ReadRows(Report("x\n\tcat = 1;\n", "x\n\tcot = 12;\n", kHtmlAllRows).page);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].sourceCell, "x");
    EXPECT_EQ(rows[1].kindClass, "k0 d");
    EXPECT_EQ(rows[1].sourceCell, "    c<span class=\"c\">a</span>t = 1;");
    EXPECT_EQ(rows[1].targetCell,
              "    c<span class=\"c\">o</span>t = 1<span class=\"c\">2</span>;");
}

// With a context, exactly the rows at most that far from a difference are shown, in order, and
// the markers account for all the others; without one, every row.
TEST(HtmlReport, ContextKeepsTheRowsNearADifference) {
    std::mt19937 random(5);
    for (int round = 0; round < 12; ++round) {
        std::string source, target;
        for (int i = 0; i < 200; ++i) {
            const std::string line = "line " + std::to_string(i) + "\n";
            const unsigned roll = random() % 40;
            source += roll == 0 ? "" : line;
            target += roll == 1 ? "" : roll == 2 ? "changed\n" : line;
            target += roll == 3 ? "\n" : "";
        }
        for (const std::int32_t context : {kHtmlAllRows, 0, 1, 3}) {
            SCOPED_TRACE("round " + std::to_string(round) + ", context " + std::to_string(context));
            const CReport report = Report(source, target, context, round % 2 == 1);
            const CCompareResult& result = *report.pResult;
            std::vector<CShownRow> rows = ReadRows(report.page);
            std::size_t at = 0;
            for (std::int32_t row = 0; row < result.GetRowCount(); ++row) {
                bool near = context < 0;
                for (std::int32_t d = std::max(0, row - context);
                     !near && d <= std::min(result.GetRowCount() - 1, row + context); ++d) {
                    near = result.IsDifference(d);
                }
                ASSERT_LT(at, rows.size());
                if (!near) {
                    // Inside a marker: its count runs down over the rows it stands for.
                    ASSERT_LT(rows[at].sourceLine, 0) << "row " << row;
                    if (++rows[at].sourceLine == 0) {
                        ++at;
                    }
                    continue;
                }
                const auto r = static_cast<std::size_t>(row);
                const CShownRow& shown = rows[at++];
                EXPECT_EQ(shown.sourceLine, result.m_sourceLine[r]);
                EXPECT_EQ(shown.targetLine, result.m_targetLine[r]);
                std::string kindClass = std::to_string(result.m_kind[r]);
                kindClass.insert(kindClass.begin(), 'k');
                kindClass += result.IsDifference(row) ? " d" : "";
                EXPECT_EQ(shown.kindClass, kindClass);
            }
            EXPECT_EQ(at, rows.size());
        }
    }
}

}  // namespace
