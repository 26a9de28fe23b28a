// Pulling the simulated unit's cable just before each driver call of an operation in turn.
//
// The operation is run once undisturbed to count its driver calls and its virtual time; then, for
// every chosen call k, the program is brought back to where the operation starts, the unit is
// unplugged just before call k and the operation runs again. Each case checks what every caller
// needs: the operation returns within twice the driver calls and virtual time it takes undisturbed
// (one retry is fine, a loop against a missing unit is not), no closed handle and no handle already
// known to be gone is handed to the driver again, and the caller's own checks of the failure and of
// the recovery after the unit is plugged back in hold.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "korvel/sim/usb.h"

namespace korvel::testing {

// The calls to unplug before, among `calls` (1-based): every one up to `every_up_to`, then every
// `stride`-th after it, and the last one always.
inline std::vector<std::uint64_t> unplug_points(std::uint64_t calls, std::uint64_t every_up_to,
                                                std::uint64_t stride) {
    std::vector<std::uint64_t> points;
    if (stride == 0) stride = 1;
    for (std::uint64_t k = 1; k <= calls; k += k < every_up_to ? 1 : stride) points.push_back(k);
    if (!points.empty() && points.back() != calls) points.push_back(calls);
    return points;
}

struct UnplugSweep {
    // Brings a fresh program and unit to where the operation starts (the unit attached).
    std::function<void()> prepare;
    // The driver calls swept.
    std::function<void()> operation;
    // With the unit still unplugged after the operation: the failure shows where the program
    // shows failures. Optional.
    std::function<void(std::uint64_t k)> check_failure;
    // After the unit is plugged back in: the program finds it again and it ends in the setup
    // the program shows.
    std::function<void(std::uint64_t k)> check_recovery;
    std::uint64_t every_up_to = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t stride = 1;
};

struct UnplugSweepResult {
    std::uint64_t calls = 0;  // driver calls of the undisturbed operation
    std::uint64_t cases = 0;  // unplug points tried
};

inline void expect_no_stale_handle_used() {
    EXPECT_EQ(sim::usb().invalid_handle_calls(), 0u) << "a closed handle was used";
    EXPECT_EQ(sim::usb().lost_handle_calls(), 0u) << "a handle known to be gone was used again";
}

constexpr std::uint64_t kOneSecondUs = 1'000'000;

// Stops at the first case that fails.
inline UnplugSweepResult run_unplug_sweep(const UnplugSweep& sweep) {
    auto& usb = sim::usb;
    UnplugSweepResult result;
    sweep.prepare();
    usb().reset_counters();
    const std::uint64_t start_us = usb().now_us();
    sweep.operation();
    result.calls = usb().total_calls();
    const std::uint64_t undisturbed_us = usb().now_us() - start_us;
    expect_no_stale_handle_used();
    if (result.calls == 0) ADD_FAILURE() << "the operation made no driver call";

    for (const std::uint64_t k : unplug_points(result.calls, sweep.every_up_to, sweep.stride)) {
        SCOPED_TRACE("unplugged before driver call " + std::to_string(k) + " of " +
                     std::to_string(result.calls));
        ++result.cases;
        sweep.prepare();
        usb().reset_counters();
        usb().detach_before_call(k);
        const std::uint64_t begin_us = usb().now_us();
        sweep.operation();
        EXPECT_FALSE(usb().board().attached());
        EXPECT_LE(usb().total_calls(), 2 * result.calls);
        EXPECT_LE(usb().now_us() - begin_us, 2 * undisturbed_us + kOneSecondUs);
        expect_no_stale_handle_used();
        if (sweep.check_failure) sweep.check_failure(k);

        usb().clear_faults();
        usb().board().attach();
        if (sweep.check_recovery) sweep.check_recovery(k);
        expect_no_stale_handle_used();
        if (::testing::Test::HasFailure()) break;
    }
    ::testing::Test::RecordProperty("driver_calls", std::to_string(result.calls));
    ::testing::Test::RecordProperty("unplug_cases", std::to_string(result.cases));
    return result;
}

}  // namespace korvel::testing
