// tessiver-table --unified and --git-external, checked by what they are for: GNU patch and
// git apply must turn the source into the target byte for byte, and git must run the program
// as its external diff and difftool.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/PairGenerator.h"
#include "tests/common/ScratchDir.h"

namespace {

// Runs command through the shell; returns its exit status.
int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status)) << command;
    return WEXITSTATUS(status);
}

// The scratch folders' paths hold no quote.
std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

struct CDiff {
    int status;
    std::string out;
};

// tessiver-table with args in folder, its output kept in folder/diff.
CDiff RunDiff(const CScratchDir& files, const std::string& args) {
    const std::string out = files.Path("diff");
    const int status = Shell("cd " + Quote(files.Path()) + " && '" TESSIVER_TABLE_PATH "' " + args +
                             " >" + Quote(out) + " 2>" + Quote(files.Path("stderr")));
    return {status, CScratchDir::Read(out)};
}

// Applies the diff in files/diff, made between the relative paths s and t, with GNU patch and
// with git apply to fresh copies of the source; expects both to give the target's bytes.
void ExpectPatchesApply(const CScratchDir& files, const std::string& source,
                        const std::string& target, const std::string& what, bool bZeroContext) {
    const std::string diff = files.Path("diff");
    files.Write("patched/by-patch", source);
    EXPECT_EQ(Shell("patch --quiet --no-backup-if-mismatch " +
                    Quote(files.Path("patched/by-patch")) + " <" + Quote(diff) + " >/dev/null"),
              0)
        << what;
    EXPECT_TRUE(CScratchDir::Read(files.Path("patched/by-patch")) == target) << what << " (patch)";

    // git apply takes the file's name from the diff: the one under a/ or b/ after the prefix.
    files.Write("patched/git/f", source);
    const std::string labelled = files.Path("diff-git");
    Shell("sed -e '1s|^--- [^\\t]*|--- a/f|' -e '2s|^+++ [^\\t]*|+++ b/f|' " + Quote(diff) + " >" +
          Quote(labelled));
    EXPECT_EQ(Shell("cd " + Quote(files.Path("patched/git")) + " && git apply " +
                    (bZeroContext ? "--unidiff-zero " : "") + Quote(labelled) + " 2>/dev/null"),
              0)
        << what;
    EXPECT_TRUE(CScratchDir::Read(files.Path("patched/git/f")) == target) << what << " (git)";
}

struct CPair {
    const char* name;
    std::string source;
    std::string target;
};

std::string Lines(int from, int to, const char* end = "\n") {
    std::string text;
    for (int i = from; i <= to; ++i) {
        text += "line " + std::to_string(i) + end;
    }
    return text;
}

// Pairs whose lines end every way a file's can, and whose rows pair up every way they can; and a
// few generated pairs, small enough to patch many times over.
std::vector<CPair> Pairs() {
    std::vector<CPair> pairs = {
        {"CR LF", "a\r\nb\r\nc\r\nd\r\n", "a\r\nB\r\nc\r\nd\r\ne\r\n"},
        {"mixed terminators", "a\nb\r\nc\nd\r\ne\n", "a\r\nb\r\nc\nD\ne\r\n"},
        {"terminators alone differ", Lines(1, 8), Lines(1, 8, "\r\n")},
        {"no final newline in the source", "a\nb\nc", "a\nb\nc\n"},
        {"no final newline in the target", "a\nb\nc\n", "a\nb\nc"},
        {"last lines differ without newline", "a\nb\nc", "a\nb\nd"},
        {"a CR alone stays in its line", "a\rb\nc\r", "a\rB\nc\r\n"},
        {"tabs", "\tx\ty\n\t\n  \tz\n", "\tx  y\n\t\n  \tz\t\n"},
        {"empty source", "", "a\nb\r\n"},
        {"empty target", "a\nb\r\n", ""},
        {"nothing in common", Lines(1, 30), Lines(31, 50)},
        {"blank lines opposite blank lines", "a\n\n\nb\n\nc\n", "x\n\n\ny\n\nc\n"},
        {"white space, case and blank lines only", "A b\n\n c\td\nE\n", "a  b\nc d\n\n\ne \n"},
        {"a block longer than the look-ahead", "a\nb\n", "a\n" + Lines(1, 25) + "b\n"},
        {"changes further apart than the context", Lines(1, 40),
         "x\n" + Lines(2, 19) + "y\n" + Lines(21, 39) + "z\n"},
    };
    class CStringSink : public CByteSink {
    public:
        void Write(std::string_view bytes) override { text.append(bytes); }
        std::string text;
    };
    const CPairRecipe recipes[] = {
        {"realistic with moves", PairShape::realistic, 3000, 12, false, "", 60, true},
        {"cycle", PairShape::cycle, 3000, 13, false, ""},
        {"repeated, shifted", PairShape::repeatedShifted, 2000, 14, false, ""},
    };
    for (const CPairRecipe& recipe : recipes) {
        CStringSink source, target;
        CPairGenerator::Generate(recipe, source, target);
        pairs.push_back({recipe.name, std::move(source.text), std::move(target.text)});
    }
    return pairs;
}

TEST(UnifiedDiff, PatchAndGitApplyTurnTheSourceIntoTheTarget) {
    const std::vector<CPair> pairs = Pairs();
    // The options only choose the pairing: every set with the default context.
    const char* const argSets[] = {"--unified=0", "--unified=10", "--unified=3",      "-b -u",
                                   "-w -i -u",    "-B -u",        "-w -B --decode -u"};
    for (const CPair& pair : pairs) {
        const CScratchDir files;
        files.Write("s", pair.source);
        files.Write("t", pair.target);
        for (const char* mode : {"", "--realign "}) {
            for (const std::string args : argSets) {
                const std::string what = std::string(pair.name) + ": " + mode + args;
                const CDiff diff = RunDiff(files, mode + args + " s t");
                ASSERT_NE(diff.status, 2) << what;
                ASSERT_FALSE(diff.out.empty()) << what;
                ExpectPatchesApply(files, pair.source, pair.target, what, args == "--unified=0");
            }
        }
    }
}

TEST(UnifiedDiff, StatusFollowsTheTableAndIdenticalFilesGiveNoHunk) {
    const CScratchDir files;
    struct Case {
        const char* args;
        int status;
        bool bHunks;
    };
    files.Write("x", "ab\r\n\tb\nc");
    files.Write("spaced", "a b \r\n\t b\nc");
    files.Write("y", "ab\r\n\tb\nd");
    files.Write("empty", "");
    for (const Case& c : {
             Case{"-u x x", 0, false},
             Case{"-u empty empty", 0, false},
             Case{"--realign --unified=0 x x", 0, false},
             Case{"-u x y", 1, true},
             Case{"-u --realign x y", 1, true},
             // Equal under -w, so no difference; the bytes differ, so the patch has hunks.
             Case{"-u -w x spaced", 0, true},
             Case{"-u -b x spaced", 1, true},
             // The report's status is the table's too; it always has a page.
             Case{"--html x x", 0, true},
             Case{"--html=2 --realign -w x spaced", 0, true},
             Case{"--html=0 x y", 1, true},
         }) {
        const CDiff diff = RunDiff(files, c.args);
        EXPECT_EQ(diff.status, c.status) << c.args;
        const bool bHtml = std::string_view(c.args).starts_with("--html");
        EXPECT_EQ(diff.out.find(bHtml ? "</html>\n" : "\n@@ -") != std::string::npos, c.bHunks)
            << c.args;
        EXPECT_EQ(diff.out.empty(), !c.bHunks) << c.args;
    }
}

// Where the rows pair up only one way, the diff is GNU diff's own, header and times included.
TEST(UnifiedDiff, MatchesGnuDiffWhereTheAlignmentIsPlain) {
    const std::string base = Lines(1, 30);
    const CPair pairs[] = {
        {"one change", base, Lines(1, 14) + "x\n" + Lines(16, 30)},
        {"gaps of twice the context and one more", base,
         Lines(1, 4) + "x\n" + Lines(6, 11) + "x\n" + Lines(13, 19) + "x\n" + Lines(21, 30)},
        {"changes at both ends", base, "x\n" + Lines(2, 29) + "x\n"},
        {"lines added at the start", base, "new\nnew\n" + base},
        {"lines removed at the end", base, Lines(1, 25)},
        {"a line in common left without newline", "a\nb\nc", "a\nB\nc"},
        {"empty source", "", "a\nb\n"},
        {"empty target", "a\nb\n", ""},
    };
    for (const CPair& pair : pairs) {
        const CScratchDir files;
        files.Write("s", pair.source);
        files.Write("t", pair.target);
        for (const char* context : {"0", "1", "3", "4", "10"}) {
            const CDiff diff = RunDiff(files, std::string("--unified=") + context + " s t");
            Shell("cd " + Quote(files.Path()) + " && diff -U " + context + " s t >gnu");
            EXPECT_EQ(diff.out, CScratchDir::Read(files.Path("gnu")))
                << pair.name << ", context " << context;
        }
    }
}

TEST(UnifiedDiff, RefusesWhatCannotMakeAPatch) {
    const CScratchDir files;
    files.Write("s", "a\n");
    files.Write("bom", std::string("\xEF\xBB\xBF") + "a\n");
    files.Write("ctrl-z", std::string("a\n\x1A") + "b\n");
    for (const char* args : {"-u --decode bom s", "--decode --unified s bom", "-u ctrl-z s",
                             "-u s ctrl-z", "--unified=-1 s s", "--unified=x s s", "--unified= s s",
                             "-u --brief s s", "-u --inline s s", "-u s s s"}) {
        const CDiff diff = RunDiff(files, args);
        EXPECT_EQ(diff.status, 2) << args;
        EXPECT_EQ(diff.out, "") << args;
        EXPECT_NE(CScratchDir::Read(files.Path("stderr")), "") << args;
    }
    // Without a mark, --decode leaves the bytes alone and the diff can be made.
    EXPECT_EQ(RunDiff(files, "-u --decode s s").status, 0);
}

// git runs the program as its external diff (by GIT_EXTERNAL_DIFF and by diff.external) and as
// a difftool; what it prints as external diff applies to the committed files.
TEST(UnifiedDiff, GitRunsItAsExternalDiffAndDifftool) {
    const CScratchDir files;
    const std::string repo = files.Path("repo");
    const std::string git = "cd " + Quote(repo) +
                            " && GIT_CONFIG_NOSYSTEM=1 HOME=" + Quote(files.Path()) +
                            " git -c user.name=t -c user.email=t@t ";
    files.Write("repo/kept.txt", Lines(1, 20));
    files.Write("repo/crlf.txt", Lines(1, 10, "\r\n"));
    files.Write("repo/gone.txt", "going\n");
    files.Write("repo/dir/tail.txt", "no newline");
    ASSERT_EQ(Shell("git init -q " + Quote(repo)), 0);
    ASSERT_EQ(Shell(git + "add -A && " + git + "commit -q -m one"), 0);
    files.Write("repo/kept.txt", "first\n" + Lines(2, 19) + "last\n");
    files.Write("repo/crlf.txt", Lines(1, 4, "\r\n") + "five\n" + Lines(6, 10, "\r\n"));
    files.Write("repo/dir/tail.txt", "no newline\n");
    Shell("rm " + Quote(repo + "/gone.txt"));
    files.Write("repo/added.txt", "added\n");
    ASSERT_EQ(Shell(git + "add -A"), 0);
    const std::string wanted = files.Path("wanted");
    ASSERT_EQ(
        Shell("cp -r " + Quote(repo) + " " + Quote(wanted) + " && rm -rf " + wanted + "/.git"), 0);

    const std::string table = TESSIVER_TABLE_PATH;
    const std::string ways[] = {
        "GIT_EXTERNAL_DIFF=" + Quote(table) + " " + git + "diff --cached",
        git + "-c diff.external=" + Quote(table + " --unified=1") + " diff --cached",
        "GIT_EXTERNAL_DIFF=" + Quote(table + " --git-external") + " " + git + "diff --cached",
    };
    for (const std::string& way : ways) {
        const std::string patch = files.Path("git.patch");
        ASSERT_EQ(Shell(way + " >" + Quote(patch)), 0) << way;
        // The committed files, patched, are the staged ones: the added and removed files too.
        const std::string copy = files.Path("copy");
        ASSERT_EQ(Shell("rm -rf " + Quote(copy) + " && mkdir " + Quote(copy) + " && cd " +
                        Quote(repo) + " && git archive HEAD | tar -x -C " + Quote(copy)),
                  0);
        EXPECT_EQ(Shell("cd " + Quote(copy) + " && git apply " + Quote(patch)), 0) << way;
        EXPECT_EQ(Shell("diff -r " + Quote(copy) + " " + Quote(wanted) + " >/dev/null"), 0) << way;
    }

    // As a difftool: exit 1 means differences, so git must not trust it, and shows every file.
    const std::string shown = files.Path("difftool");
    ASSERT_EQ(Shell(git + "-c difftool.tessiver-table.cmd=" +
                    Quote(Quote(table) + " --unified \"$LOCAL\" \"$REMOTE\"") +
                    " difftool --cached -y -t tessiver-table >" + Quote(shown)),
              0);
    const std::string out = CScratchDir::Read(shown);
    for (const char* line :
         {"\n-line 1\n+first\n", "\n-line 5\r\n+five\n", "\n-going\n", "\n+added\n"}) {
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
    }
}

// The page opens in a browser (Chromium without a window, as scripts/install-deps.sh installs
// it) as the texts it shows: markup in a file stays text, and a byte that is not UTF-8 shows as
// its Latin-1 character.
TEST(HtmlReport, OpensInABrowserShowingTheFilesAsText) {
    if (Shell("command -v chromium-headless-shell >/dev/null") != 0) {
        GTEST_SKIP() << "chromium-headless-shell is not installed";
    }
    const CScratchDir files;
    files.Write("s", "<script>document.title='run'</script>\nsame\nold & \"x\" \xFF\n");
    files.Write("t", "<b>bold</b>\nsame\nnew & \"x\"\n");
    ASSERT_EQ(RunDiff(files, "--html s t").status, 1);
    ASSERT_EQ(std::rename(files.Path("diff").c_str(), files.Path("page.html").c_str()), 0);
    const std::string dom = files.Path("dom");
    ASSERT_EQ(Shell("chromium-headless-shell --no-sandbox --disable-gpu --dump-dom file://" +
                    Quote(files.Path("page.html")) + " >" + Quote(dom) + " 2>/dev/null"),
              0);
    const std::string page = CScratchDir::Read(dom);
    EXPECT_NE(page.find("<title>Tessiver report</title>"), std::string::npos) << page;
    EXPECT_EQ(page.find("<b>"), std::string::npos) << page;
    for (const char* text :
         {"document.title='run'&lt;/script", "bold&lt;/b", "&amp; \"x\"", "\xC3\xBF</span>"}) {
        EXPECT_NE(page.find(text), std::string::npos) << text << "\n" << page;
    }
    std::size_t rows = 0;
    for (std::size_t at = page.find("<tr class=\"k"); at != std::string::npos;
         at = page.find("<tr class=\"k", at + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, 3u);
}

}  // namespace
