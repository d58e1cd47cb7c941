#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/Random.h"

// An endless stream of code-like lines for the benchmark pairs: functions with nested blocks
// indented by tabs, declarations, calls and returns, comment blocks and blank lines, with
// identifiers drawn from a seeded vocabulary. The mix of line kinds and lengths is tuned to
// look like ordinary source text: about 37 bytes a line with its line feed, most lines
// indented, roughly one line in ten blank and one in eight a comment.
class CCodeText {
public:
    explicit CCodeText(std::uint64_t seed);

    // Appends the next line to out, without its line feed.
    void NextLine(std::string& out);

    // Appends to out a variant of line that differs from it as a small edit would: one word
    // or number replaced, or a short remark added.
    void ChangeLine(std::string_view line, std::string& out);

private:
    void Indent(std::string& out) const;
    void AppendStatement(std::string& out);
    void AppendOpener(std::string& out);
    void AppendComment(std::string& out);
    void AppendExpression(std::string& out, int nesting);
    void AppendWords(std::string& out, int count);
    const std::string& Pick(const std::vector<std::string>& from);

    CRandom m_random;
    std::vector<std::string> m_variables;
    std::vector<std::string> m_functions;
    std::vector<std::string> m_types;
    int m_nDepth = 0;              // current block nesting; the indentation in tabs
    int m_nCommentLeft = 0;        // lines still to come in the current comment block
    std::vector<int> m_blockLeft;  // statements left in each open block, innermost last
};
