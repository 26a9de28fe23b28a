// The front panel's side of an unplug sweep: the once-a-second tick reports the missing unit,
// and once it is plugged back in the next ticks reopen it and it shows the panel's setup.
#pragma once

#include <string>

#include "../support/unplug_sweep.h"
#include "app/supervision.h"
#include "unit_story.h"

namespace korvel::testing {

inline void tick() {
    app::CBTimer(app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
}

inline std::string connection_notice() {
    std::string text;
    GetCtrlVal(app::main_panel, PANELMAIN_NOTIFY_USER, &text);
    return text;
}

inline void expect_tick_reports_unit_gone() {
    tick();
    EXPECT_EQ(connection_notice(), "USB NOT CONNECTED");
    EXPECT_EQ(app::unit_present, 0);
}

// Two ticks: the first reopens the unit and sends the setup, the second finds nothing to do.
inline void expect_ticks_restore_the_setup() {
    tick();
    tick();
    EXPECT_EQ(connection_notice(), "USB CONNECTED");
    EXPECT_TRUE(usb_handle_usable());
    expect_unit_shows_controls();
}

// A sweep of a front-panel operation with the standard checks; `extra_failure` and
// `extra_recovery` (optional) add the operation's own.
inline UnplugSweep panel_unplug_sweep(std::function<void()> prepare,
                                      std::function<void()> operation,
                                      std::function<void(std::uint64_t)> extra_failure = {},
                                      std::function<void(std::uint64_t)> extra_recovery = {}) {
    UnplugSweep sweep;
    sweep.prepare = std::move(prepare);
    sweep.operation = std::move(operation);
    sweep.check_failure = [extra_failure](std::uint64_t k) {
        if (extra_failure) extra_failure(k);
        expect_tick_reports_unit_gone();
    };
    sweep.check_recovery = [extra_recovery](std::uint64_t k) {
        expect_ticks_restore_the_setup();
        if (extra_recovery) extra_recovery(k);
    };
    return sweep;
}

}  // namespace korvel::testing
