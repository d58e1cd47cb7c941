#pragma once

#include <cstdint>

// A small seeded generator (xoshiro256**, seeded through splitmix64). The benchmark pairs must
// come out byte for byte the same on every machine, so the generator and every draw from it
// use integer arithmetic only; the standard distributions are not portable in that sense.
class CRandom {
public:
    explicit CRandom(std::uint64_t seed) {
        for (std::uint64_t& word : m_state) {
            seed += 0x9e3779b97f4a7c15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
    }

    std::uint64_t Next() {
        const std::uint64_t result = Rotl(m_state[1] * 5, 7) * 9;
        const std::uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = Rotl(m_state[3], 45);
        return result;
    }

    // A value in [0, n), n > 0. The multiply-shift reduction has a bias below 2^-32 for the
    // small ranges used here, which no benchmark can notice.
    std::uint32_t Below(std::uint32_t n) {
        return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32);
    }

    // A value in [lo, hi].
    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) { return lo + Below(hi - lo + 1); }

    // True with probability num / den.
    bool Chance(std::uint32_t num, std::uint32_t den) { return Below(den) < num; }

private:
    static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t m_state[4];
};
