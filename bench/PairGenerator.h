#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/SourceText.h"

// Receives the bytes of one generated file: a file on disk for the benchmark, a string in tests.
class CByteSink {
public:
    virtual ~CByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// What the two files of a pair hold.
enum class PairShape {
    realistic,        // code-like text, and a copy of it with changed, inserted and deleted lines
    longLine,         // one line of `size` bytes on each side, a few bytes apart
    blankLines,       // `size` blank lines on each side
    disjoint,         // `size` lines on each side, no line in common, none blank
    repeated,         // the same line `size` times on each side
    repeatedShifted,  // as repeated, with a few other lines ahead of the target's copies
    cycle,            // `size` lines cycling through five texts; the target's after 1,000 new lines
    sourceFiles,      // real source files of this machine, and an edited copy of them
};

// One benchmark pair: its name on the command line and in file names, and how to make it.
struct CPairRecipe {
    const char* name;
    PairShape shape;
    std::int64_t size;  // lines per side; bytes of the one line for longLine
    std::uint64_t seed;
    bool large;  // ten million lines: left out of a run unless asked for
    const char* summary;
    // Longest inserted or deleted block in a realistic pair. Blocks longer than the engine's
    // look-ahead windows put the alignment out of step until a chance match brings it back.
    std::uint32_t maxBlock = 30;
    // Whether a realistic pair also moves blocks further on in the target.
    bool moves = false;
    // The files a sourceFiles pair is made of.
    SourceMix mix = SourceMix::cxx;
};

// What generating a pair produced. The edit counts are in source lines (changed, deleted) and
// target lines (inserted); they are zero for the pairs that are not edited copies.
struct CPairCounts {
    std::int64_t sourceLines = 0;
    std::int64_t targetLines = 0;
    std::int64_t changed = 0;
    std::int64_t inserted = 0;
    std::int64_t deleted = 0;
    std::int64_t moved = 0;
};

// Where a pair lives on disk.
struct CPairFiles {
    std::filesystem::path source;
    std::filesystem::path target;
    std::uintmax_t sourceBytes = 0;
    std::uintmax_t targetBytes = 0;
    bool generated = false;  // written by this call rather than found in place
};

// Makes the benchmark pairs: deterministic (fixed seeds, integer-only randomness, so the same
// bytes on every run and machine) and written once into a data folder, where later runs find
// them again.
class CPairGenerator {
public:
    explicit CPairGenerator(std::filesystem::path dataDir);

    // The fixed set of pairs, in the order a run measures them.
    static const std::vector<CPairRecipe>& GetPairs();
    // Prints every pair's name and summary, one a line (the tools' --list).
    static void PrintPairList();
    // A pair of the fixed set, or one of real source files named
    // "code-MIX-SIZE[-seedN]" (MIX cxx or script, SIZE lines as 500k or 2m), or null.
    static const CPairRecipe* FindPair(std::string_view name);

    // The pairs named, in the order given (std::invalid_argument for an unknown name); with no
    // names, every pair, the large ones only when bLarge is set.
    static std::vector<const CPairRecipe*> SelectPairs(const std::vector<std::string>& names,
                                                       bool bLarge);

    // Writes the pair's source and target; the same bytes for the same recipe, every time.
    static CPairCounts Generate(const CPairRecipe& recipe, CByteSink& source, CByteSink& target);

    // The pair's paths in the data folder; the files may not exist yet.
    CPairFiles GetFiles(const CPairRecipe& recipe) const;

    // Makes sure both files are in the data folder, reusing them when a stamp written by the
    // same generator version records their present sizes; otherwise generates them (each file
    // written under a temporary name and renamed, the stamp last). Throws std::runtime_error
    // when a file cannot be written.
    CPairFiles Prepare(const CPairRecipe& recipe) const;

private:
    std::filesystem::path m_dataDir;
};
