#pragma once

// The shortest edit between two sequences, by the greedy O(ND) method: round d extends, on every
// diagonal k = x - y that d insertions and deletions can reach, the furthest point reached so far
// along the elements that are equal on both sides. The first round that reaches the end gives a
// shortest edit, found again by walking the rounds back.
//
// The caller bounds d. Past the bound the search gives up, so a search costs at most
// (2 * bound + 1) * (n + m) element comparisons and (bound + 1)^2 stored positions, however
// long and however different the sequences are.

#include <algorithm>
#include <cstdint>
#include <vector>

// Where the two sequences differ: elements [a0, a1) of the first stand where [b0, b1) of the
// second do. Either range may be empty (a pure deletion or insertion), not both.
struct CEditHunk {
    std::int32_t a0, a1, b0, b1;
    friend bool operator==(const CEditHunk&, const CEditHunk&) = default;
};

class CShortestEdit {
public:
    // Finds a shortest edit between sequences of n and m elements, equal(i, j) telling whether
    // element i of the first equals element j of the second. Returns false when it needs more
    // than maxEdits insertions and deletions; otherwise GetHunks holds its hunks, in order, apart
    // from each other (equal elements stand between two hunks).
    template <class Equal>
    bool Find(std::int32_t n, std::int32_t m, std::int32_t maxEdits, const Equal& equal);

    const std::vector<CEditHunk>& GetHunks() const { return m_hunks; }

private:
    static constexpr std::int32_t kUnreached = -1;

    // Round d's furthest x on diagonal k, for -d <= k <= d (every other diagonal is used).
    std::int32_t& Reached(std::int32_t d, std::int32_t k) {
        return m_reached[static_cast<std::size_t>(d * d + k + d)];
    }
    // Where round d starts on diagonal k: below the furthest point of k + 1 (an insertion) or to
    // the right of that of k - 1 (a deletion), whichever lies further on and inside n x m.
    // Returns kUnreached when neither does; sets bInsertion to the step taken.
    std::int32_t Start(std::int32_t d, std::int32_t k, std::int32_t n, std::int32_t m,
                       bool& bInsertion);
    void WalkBack(std::int32_t d, std::int32_t k, std::int32_t n, std::int32_t m);

    std::vector<std::int32_t> m_reached;  // round d's diagonals at d * d onward
    std::vector<CEditHunk> m_hunks;
};

inline std::int32_t CShortestEdit::Start(std::int32_t d, std::int32_t k, std::int32_t n,
                                         std::int32_t m, bool& bInsertion) {
    if (d == 0) {
        bInsertion = false;
        return 0;
    }
    std::int32_t below = kUnreached;
    if (k + 1 <= d - 1) {
        const std::int32_t x = Reached(d - 1, k + 1);
        if (x != kUnreached && x - k <= m) {
            below = x;
        }
    }
    std::int32_t right = kUnreached;
    if (k - 1 >= -(d - 1)) {
        const std::int32_t x = Reached(d - 1, k - 1);
        if (x != kUnreached && x + 1 <= n) {
            right = x + 1;
        }
    }
    bInsertion = below >= right;
    return bInsertion ? below : right;
}

template <class Equal>
bool CShortestEdit::Find(std::int32_t n, std::int32_t m, std::int32_t maxEdits,
                         const Equal& equal) {
    m_hunks.clear();
    // The end lies on diagonal n - m, which no fewer edits reach.
    if (n - m > maxEdits || m - n > maxEdits) {
        return false;
    }
    // Kept between searches; each round marks its diagonals unreached before it starts.
    const auto rounds = static_cast<std::size_t>(maxEdits + 1);
    if (m_reached.size() < rounds * rounds) {
        m_reached.resize(rounds * rounds);
    }
    for (std::int32_t d = 0; d <= maxEdits; ++d) {
        std::fill_n(&Reached(d, -d), 2 * d + 1, kUnreached);
        // Only diagonals -m..n cross the n x m grid; the others stay unreached.
        const std::int32_t kFirst = d > m ? -m + ((d - m) & 1) : -d;
        for (std::int32_t k = kFirst; k <= std::min(d, n); k += 2) {
            bool bInsertion = false;
            std::int32_t x = Start(d, k, n, m, bInsertion);
            if (x == kUnreached) {
                continue;
            }
            std::int32_t y = x - k;
            while (x < n && y < m && equal(x, y)) {
                ++x;
                ++y;
            }
            Reached(d, k) = x;
            if (x == n && y == m) {
                WalkBack(d, k, n, m);
                return true;
            }
        }
    }
    return false;
}

inline void CShortestEdit::WalkBack(std::int32_t d, std::int32_t k, std::int32_t n,
                                    std::int32_t m) {
    // Each round's single step, from the last round back to the first, becomes a hunk of one
    // element; a step that ends where the next one starts (no equal element between) joins it.
    for (; d > 0; --d) {
        bool bInsertion = false;
        const std::int32_t x = Start(d, k, n, m, bInsertion);
        const std::int32_t y = x - k;
        const CEditHunk step = bInsertion ? CEditHunk{x, x, y - 1, y} : CEditHunk{x - 1, x, y, y};
        if (!m_hunks.empty() && m_hunks.back().a0 == step.a1 && m_hunks.back().b0 == step.b1) {
            m_hunks.back().a0 = step.a0;
            m_hunks.back().b0 = step.b0;
        } else {
            m_hunks.push_back(step);
        }
        k += bInsertion ? 1 : -1;
    }
    std::reverse(m_hunks.begin(), m_hunks.end());
}
