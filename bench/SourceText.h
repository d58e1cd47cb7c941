#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/Random.h"

// Which real files a pair is made of.
enum class SourceMix {
    cxx,     // C and C++ headers, with one file in four Python or Perl
    script,  // Python and Perl only
};

// The text files of one kind that Debian packages install on this machine, in path order:
// C and C++ headers under /usr/include, Python modules under /usr/lib/python3*, Perl modules
// and scripts under /usr/share/perl* and /usr/lib/<arch>/perl*. Files holding NUL or Ctrl-Z
// bytes are left out, as are empty ones.
class CSourceFiles {
public:
    // Finds the files under the given folders (the system's folders when none are given).
    static CSourceFiles FindC(std::vector<std::filesystem::path> roots = {});
    static CSourceFiles FindScripts(std::vector<std::filesystem::path> roots = {});

    const std::vector<std::filesystem::path>& GetPaths() const { return m_paths; }
    std::uintmax_t GetBytes() const { return m_nBytes; }

private:
    std::vector<std::filesystem::path> m_paths;
    std::uintmax_t m_nBytes = 0;
};

// An endless stream of the lines of real files, file after file in an order drawn from a seed;
// when every file has been read, the files come round again in a new order. CR bytes are
// dropped, so a line reads the same to every tool.
class CSourceText {
public:
    // Files are taken from c with chance cShare in 100, else from scripts; either may be empty
    // but not both.
    CSourceText(const CSourceFiles& c, const CSourceFiles& scripts, std::uint32_t cShare,
                std::uint64_t seed);

    // Appends the next line to out, without its line feed.
    void NextLine(std::string& out);

    // Appends to out a variant of the non-blank line that differs from it as a small edit
    // would: a number or a name changed, a word added, the indentation changed.
    void ChangeLine(std::string_view line, std::string& out);

private:
    struct CShuffled {
        const std::vector<std::filesystem::path>* pPaths;
        std::vector<std::uint32_t> order;
        std::size_t next = 0;
    };
    const std::filesystem::path& NextPath(CShuffled& files);
    void LoadNextFile();

    CRandom m_random;
    CShuffled m_c;
    CShuffled m_scripts;
    std::uint32_t m_cShare;
    std::string m_text;  // the file being read
    std::size_t m_pos = 0;
    std::vector<std::string> m_names;  // names seen lately, for edits that swap one in
};
