// The soak's own pseudo-random draws: a splitmix64 sequence from one 64-bit seed. Every choice
// the soak makes comes from here, so a run printed with its seed is replayed exactly, whatever
// standard library the program was built with.
#pragma once

#include <cstdint>

namespace korvel::soak {

class SoakRandom {
  public:
    explicit SoakRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number in [0, n); 0 when n is not positive.
    int below(int n) {
        return n > 0 ? static_cast<int>(next() % static_cast<std::uint64_t>(n)) : 0;
    }
    // A real number in [lo, hi).
    double between(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53;
    }
    bool chance(double p) { return between(0.0, 1.0) < p; }

  private:
    std::uint64_t state_;
};

}  // namespace korvel::soak
