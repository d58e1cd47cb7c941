#include "bench/CodeText.h"

#include <array>

namespace {

constexpr std::array kNouns{
    "count",   "index",   "buffer",  "name",    "value",   "result", "node",    "item",   "size",
    "offset",  "line",    "row",     "text",    "file",    "path",   "width",   "height", "limit",
    "total",   "entry",   "key",     "state",   "flags",   "mode",   "level",   "depth",  "parent",
    "child",   "first",   "last",    "next",    "prev",    "start",  "end",     "length", "data",
    "table",   "column",  "cursor",  "range",   "source",  "target", "window",  "view",   "pane",
    "font",    "color",   "style",   "record",  "field",   "header", "footer",  "block",  "chunk",
    "page",    "frame",   "event",   "handler", "timer",   "queue",  "stack",   "list",   "map",
    "set",     "cache",   "pool",    "slot",    "token",   "parser", "reader",  "writer", "stream",
    "error",   "status",  "reason",  "message", "request", "reply",  "session", "client", "server",
    "socket",  "port",    "address", "host",    "user",    "group",  "owner",   "config", "option",
    "setting", "profile", "version", "format",  "layout",  "margin",
};

constexpr std::array kVerbs{
    "get",    "set",     "find",   "read",   "write",   "open",     "close",  "update",
    "draw",   "compute", "check",  "load",   "save",    "parse",    "build",  "make",
    "create", "remove",  "insert", "append", "clear",   "reset",    "handle", "process",
    "apply",  "select",  "scroll", "resize", "convert", "validate", "format", "compare",
    "align",  "expand",  "count",  "merge",  "split",   "copy",     "move",   "swap",
};

constexpr std::array kBaseTypes{
    "int",
    "unsigned",
    "long",
    "bool",
    "double",
    "char*",
    "auto",
    "size_t",
    "uint32_t",
    "std::string",
    "const std::string&",
    "std::vector<int>",
};

constexpr std::array kCommentWords{
    "the",     "a",       "of",     "to",      "and",     "is",     "in",      "when",
    "this",    "that",    "for",    "we",      "not",     "only",   "each",    "after",
    "before",  "keep",    "must",   "never",   "always",  "so",     "because", "until",
    "first",   "last",    "line",   "row",     "file",    "window", "caller",  "owner",
    "empty",   "null",    "cached", "visible", "changed", "old",    "new",     "whole",
    "already", "handled", "later",  "here",    "again",   "once",   "twice",   "still",
};

// head followed by tail with its first letter raised: "count", "index" give "countIndex".
std::string Joined(std::string_view head, std::string_view tail) {
    std::string text;
    text.reserve(head.size() + tail.size());
    text.append(head);
    const std::size_t raised = text.size();
    text.append(tail);
    if (raised < text.size() && text[raised] >= 'a' && text[raised] <= 'z') {
        text[raised] = static_cast<char>(text[raised] - 'a' + 'A');
    }
    return text;
}

// Words an edit leaves alone, so that a changed line still reads as code.
bool IsKeyword(std::string_view word) {
    constexpr std::array kKeywords{"return", "if", "for", "while", "int", "else", "include", "i"};
    for (const char* keyword : kKeywords) {
        if (word == keyword) {
            return true;
        }
    }
    return false;
}

bool IsWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

CCodeText::CCodeText(std::uint64_t seed) : m_random(seed) {
    // The vocabulary differs from seed to seed, as the names in two projects would.
    for (int i = 0; i < 1500; ++i) {
        const char* first = kNouns[m_random.Below(kNouns.size())];
        const char* second = kNouns[m_random.Below(kNouns.size())];
        switch (m_random.Below(7)) {
            case 0:
                m_variables.push_back(first);
                break;
            case 1:
            case 2:
                m_variables.push_back(Joined("m_n", first));
                break;
            case 3:
                m_variables.push_back(Joined(first, "_") + second);
                break;
            case 4:
                m_variables.push_back(Joined("p", first));
                break;
            default:
                m_variables.push_back(Joined(first, second));
                break;
        }
    }
    for (int i = 0; i < 600; ++i) {
        const char* verb = kVerbs[m_random.Below(kVerbs.size())];
        const char* noun = kNouns[m_random.Below(kNouns.size())];
        m_functions.push_back(Joined(m_random.Chance(1, 2) ? Joined("", verb) : verb, noun));
    }
    for (const char* type : kBaseTypes) {
        m_types.push_back(type);
    }
    for (int i = 0; i < 40; ++i) {
        const std::string head = Joined("C", kNouns[m_random.Below(kNouns.size())]);
        m_types.push_back(Joined(head, kNouns[m_random.Below(kNouns.size())]));
    }
}

const std::string& CCodeText::Pick(const std::vector<std::string>& from) {
    return from[m_random.Below(static_cast<std::uint32_t>(from.size()))];
}

void CCodeText::Indent(std::string& out) const {
    out.append(static_cast<std::size_t>(m_nDepth), '\t');
}

void CCodeText::AppendWords(std::string& out, int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            out += ' ';
        }
        out += kCommentWords[m_random.Below(kCommentWords.size())];
    }
}

void CCodeText::AppendExpression(std::string& out, int nesting) {
    // Top-level expressions are calls and sums of simpler ones; deeper ones stay short.
    const std::uint32_t kind = nesting == 0   ? m_random.Between(4, 9)
                               : nesting == 1 ? m_random.Below(7)
                                              : m_random.Below(4);
    switch (kind) {
        case 0:
            out += std::to_string(m_random.Below(1000));
            return;
        case 1:
            out += Pick(m_variables);
            return;
        case 2:
            out += Pick(m_variables);
            out += '.';
            out += kNouns[m_random.Below(kNouns.size())];
            return;
        case 3:
            out += Pick(m_variables);
            out += '[';
            out += m_random.Chance(1, 2) ? "i" : "n";
            out += ']';
            return;
        case 4:
            out += Pick(m_variables);
            out += m_random.Chance(1, 2) ? " - 1" : " + 1";
            return;
        case 5:
        case 6:
        case 7: {
            out += Pick(m_functions);
            out += '(';
            const std::uint32_t args = nesting == 0 ? m_random.Between(1, 3) : m_random.Below(2);
            for (std::uint32_t arg = 0; arg < args; ++arg) {
                if (arg > 0) {
                    out += ", ";
                }
                AppendExpression(out, nesting + 1);
            }
            out += ')';
            return;
        }
        case 8:
            AppendExpression(out, nesting + 1);
            out += m_random.Chance(1, 2) ? " + " : " * ";
            AppendExpression(out, nesting + 1);
            return;
        default:
            out += '"';
            AppendWords(out, static_cast<int>(m_random.Between(2, 5)));
            out += '"';
            return;
    }
}

void CCodeText::AppendStatement(std::string& out) {
    Indent(out);
    switch (m_random.Below(10)) {
        case 0:
        case 1:
            out += Pick(m_types);
            out += ' ';
            out += Pick(m_variables);
            out += " = ";
            AppendExpression(out, 0);
            break;
        case 2:
        case 3:
            out += Pick(m_variables);
            out += m_random.Chance(1, 4) ? " += " : " = ";
            AppendExpression(out, 0);
            break;
        case 4:
        case 5:
            if (m_random.Chance(1, 2)) {
                out += Pick(m_variables);
                out += m_random.Chance(1, 2) ? "." : "->";
            }
            out += Pick(m_functions);
            out += '(';
            for (std::uint32_t arg = 0, args = m_random.Below(3); arg < args; ++arg) {
                if (arg > 0) {
                    out += ", ";
                }
                AppendExpression(out, 1);
            }
            out += ')';
            break;
        case 6:
            out += "return ";
            AppendExpression(out, 0);
            break;
        case 7:
            out += m_random.Chance(1, 2) ? "++" : "--";
            out += Pick(m_variables);
            break;
        default:
            out += Pick(m_variables);
            out += " = ";
            out += Pick(m_variables);
            out += m_random.Chance(1, 2) ? "." : "->";
            AppendExpression(out, 0);
            break;
    }
    out += ';';
}

void CCodeText::AppendOpener(std::string& out) {
    Indent(out);
    switch (m_random.Below(4)) {
        case 0:
            out += "for (int i = 0; i < ";
            out += Pick(m_variables);
            out += "; ++i) {";
            break;
        case 1:
            out += "while (";
            AppendExpression(out, 1);
            out += ") {";
            break;
        default:
            out += "if (";
            AppendExpression(out, 1);
            out += m_random.Chance(1, 2) ? " == " : " < ";
            AppendExpression(out, 1);
            out += ") {";
            break;
    }
}

void CCodeText::AppendComment(std::string& out) {
    Indent(out);
    out += "// ";
    AppendWords(out, static_cast<int>(m_random.Between(5, 14)));
}

void CCodeText::NextLine(std::string& out) {
    if (m_nCommentLeft > 0) {
        --m_nCommentLeft;
        AppendComment(out);
        return;
    }
    if (m_nDepth == 0) {
        const std::uint32_t roll = m_random.Below(100);
        if (roll < 25) {
            return;  // blank line between functions
        }
        if (roll < 50) {
            m_nCommentLeft = static_cast<int>(m_random.Between(0, 4));
            AppendComment(out);
            return;
        }
        if (roll < 58) {
            out += "#include \"";
            out += Joined("", kNouns[m_random.Below(kNouns.size())]);
            out += ".h\"";
            return;
        }
        // A function definition; its body follows.
        out += Pick(m_types);
        out += ' ';
        out += Pick(m_functions);
        out += '(';
        for (std::uint32_t arg = 0, args = m_random.Below(3); arg < args; ++arg) {
            if (arg > 0) {
                out += ", ";
            }
            out += Pick(m_types);
            out += ' ';
            out += Pick(m_variables);
        }
        out += ") {";
        m_nDepth = 1;
        m_blockLeft.assign(1, static_cast<int>(m_random.Between(3, 30)));
        return;
    }
    if (m_blockLeft.back() <= 0) {
        m_blockLeft.pop_back();
        --m_nDepth;
        Indent(out);
        if (m_nDepth > 0 && m_random.Chance(1, 8)) {
            // An else branch reopens the block at the same depth.
            out += "} else {";
            ++m_nDepth;
            m_blockLeft.push_back(static_cast<int>(m_random.Between(1, 8)));
        } else {
            out += '}';
        }
        return;
    }
    --m_blockLeft.back();
    const std::uint32_t roll = m_random.Below(100);
    if (roll < 10) {
        return;  // blank line inside a body
    }
    if (roll < 19) {
        m_nCommentLeft = static_cast<int>(m_random.Below(2));
        AppendComment(out);
        return;
    }
    if (roll < 30 && m_nDepth < 5) {
        AppendOpener(out);
        ++m_nDepth;
        m_blockLeft.push_back(static_cast<int>(m_random.Between(2, 12)));
        return;
    }
    AppendStatement(out);
}

void CCodeText::ChangeLine(std::string_view line, std::string& out) {
    const std::size_t start = out.size();
    // Collect the words; an edit replaces one of them.
    std::vector<std::pair<std::size_t, std::size_t>> words;
    for (std::size_t i = 0; i < line.size();) {
        if (!IsWordByte(line[i])) {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < line.size() && IsWordByte(line[i])) {
            ++i;
        }
        if (!IsKeyword(line.substr(begin, i - begin))) {
            words.emplace_back(begin, i - begin);
        }
    }
    if (words.empty() || m_random.Chance(1, 8)) {
        out += line;
        out += m_random.Chance(1, 2) ? "  // checked" : "  // TODO";
    } else {
        const auto [begin, length] =
            words[m_random.Below(static_cast<std::uint32_t>(words.size()))];
        out += line.substr(0, begin);
        const char first = line[begin];
        if (first >= '0' && first <= '9') {
            out += std::to_string(m_random.Below(1000));
        } else {
            out += Pick(m_variables);
        }
        out += line.substr(begin + length);
    }
    if (std::string_view(out).substr(start) == line) {
        out += " ";  // the replacement drew the same word; an edit must change something
    }
}
