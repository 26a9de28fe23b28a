#include "app/random.h"

#include <cmath>

namespace korvel::app {

namespace {

// The run-time library's default seed, in force because the program sets none.
constexpr unsigned kDefaultSeed = 945329041u;

struct WichmannHill {
    bool started = false;
    int s1 = 0, s2 = 0, s3 = 0;
};
WichmannHill state;

// Three small states from one seed: the low 14 bits (never 0), then two multiplications by
// 8191 kept to 14 bits.
void derive_states(unsigned seed) {
    state.s1 = static_cast<int>(seed & 0x3FFFu);
    if (state.s1 == 0) state.s1 = 1;
    state.s2 = (state.s1 * 8191) & 0x3FFF;
    state.s3 = (state.s2 * 8191) & 0x3FFF;
    state.started = true;
}

}  // namespace

double Random(double min, double max) {
    if (max - min < 0) return min;
    if (!state.started) derive_states(kDefaultSeed);
    state.s1 = 171 * state.s1 % 30269;
    state.s2 = 172 * state.s2 % 30307;
    state.s3 = 170 * state.s3 % 30323;
    const double sum = state.s1 / 30269.0 + state.s2 / 30307.0 + state.s3 / 30323.0;
    const double u = sum - std::floor(sum);
    return min + u * (max - min);
}

void reset_random() {
    state = WichmannHill{};
}

}  // namespace korvel::app
