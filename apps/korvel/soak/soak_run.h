// `korvel --simulate --soak SECONDS`: the whole program, without a screen, on the simulated unit,
// driven by a random operator for SECONDS of virtual time (soak_loop.h).
//
// The soak runs in a temporary working directory of its own (settings.cfg and every file the
// dialogs are answered with live there; it is removed after a clean run and kept after a
// failure). It prints its seed first (`--soak-seed N` replays the same run), the resident memory
// when the loop starts and when it ends, and on a broken invariant the tail of its action log.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace korvel::soak {

struct SoakOptions {
    double seconds = 0.0;               // of virtual time
    std::optional<std::uint64_t> seed;  // a fresh one when not given
};

// 0 when every invariant held to the end, 1 when one broke, 2 when the soak could not start.
// Reports go to `out`.
int run_soak(const SoakOptions& options, std::FILE* out);

}  // namespace korvel::soak
