// SplitMix64: the tests' own seeded generator, independent of the engine's, the same
// sequence on every platform.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Fixtures {

class SplitMix {
public:
    explicit SplitMix(std::uint64_t seed) : FState(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to n - 1.
    int Below(int n) { return int(Next() % std::uint64_t(n)); }
    // lo to hi.
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    template <class T, std::size_t N>
    T Pick(const T (&values)[N]) {
        return values[Below(int(N))];
    }

private:
    std::uint64_t FState;
};

}  // namespace Fixtures
