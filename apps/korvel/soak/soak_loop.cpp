#include "soak/soak_loop.h"

#include <algorithm>

#include "app/state.h"
#include "app/supervision.h"
#include "base/clock.h"
#include "korvel/sim/usb.h"
#include "link/usb_link.h"
#include "platform/callback_registry.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"
#include "soak/soak_actions.h"
#include "soak/soak_memory.h"

namespace korvel::soak {
namespace {

// Gaps between two operator actions, in seconds of virtual time.
constexpr double kShortestGap = 0.05;
constexpr double kLongestGap = 1.5;

double now() {
    return platform::clock().now();
}

}  // namespace

// The supervision tick is the program's own CBTimer; the soak looks on after each one, to know
// when a unit plugged in has been taken up.
void SoakLoop::watch_supervision() {
    platform::register_callback(
        "CBTimer", [this](int panel, int control, int event, void* data, int d1, int d2) {
            const bool reconnect_possible = app::last_unit_present == 0;
            const int rc = app::CBTimer(panel, control, event, data, d1, d2);
            after_supervision_tick(reconnect_possible);
            return rc;
        });
}

void SoakLoop::after_supervision_tick(bool reconnect_possible) {
    ++ticks_;
    // The simulated unit keeps the last 64 Ki to 128 Ki bus events for tests and its window; it
    // takes hours of soak to fill. Emptied every second, it leaves the resident memory to the
    // program's own.
    sim::usb().board().clear_bus_log();
    const bool held = sim::usb().board().attached() && app::unit_present != 0 &&
                      app::last_unit_present != 0 && usb_handle_usable();
    if (held && !synced_) {
        synced_ = true;
        // Only a tick that found the unit newly arrived sends the setup from the main controls
        // and clears what the Debug panel took over. A unit already taken up before this tick
        // (by the tick the program runs itself at start-up) keeps the Debug panel's pins.
        if (reconnect_possible && app::last_unit_present != 0) excused_ = {};
    }
}

void SoakLoop::run() {
    watch_supervision();
    rss_start_ = resident_kib();
    const double start = now(), end = start + seconds_;
    rss_tenths_ = {rss_start_};
    bool leaving = false;
    while (failure_.empty() && !host_.quit_requested() && !platform::quit_requested()) {
        if (platform::run_deferred_calls() > 0) {
            check("deferred call");
            continue;
        }
        const double t = now();
        if (t >= start + seconds_ * static_cast<double>(rss_tenths_.size()) / 10.0 &&
            rss_tenths_.size() < 10)
            rss_tenths_.push_back(resident_kib());
        if (t >= end) {
            if (leaving) break;
            leaving = true;
            log_.add(t, "menu File > Exit");
            platform::choose_menu_item(app::main_panel, MENUBAR_MENU1_FILEEXIT);
            continue;
        }
        const double action_at = std::min(end, t + random_.between(kShortestGap, kLongestGap));
        if (platform::next_timer_due() <= action_at) {
            platform::run_timers_until(platform::next_timer_due());
            check("timer tick");
        } else {
            platform::clock().sleep(action_at - t);
            act();
        }
    }
    rss_end_ = resident_kib();
    rss_tenths_.push_back(rss_end_);
}

void SoakLoop::act() {
    ++actions_;
    const ActionResult r = perform_random_action(random_, excused_);
    log_.add(now(), r.description);
    ++by_kind_[r.description.substr(0, r.description.find_first_of("_ "))];
    if (r.cable_changed) {
        ++cable_changes_;
        synced_ = false;
    }
    check(r.description);
}

void SoakLoop::check(const std::string& after) {
    ++checks_;
    std::vector<std::string> broken = program_faults();
    if (synced_ && sim::usb().board().attached()) {
        const auto differences = unit_differences(excused_);
        broken.insert(broken.end(), differences.begin(), differences.end());
    }
    if (broken.empty()) return;
    failure_ = "after " + after + ":";
    for (const auto& b : broken) failure_ += "\n  " + b;
}

}  // namespace korvel::soak
