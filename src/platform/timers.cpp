// Timer controls: due times on the process clock, delivery of ticks, suspension.
#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "base/clock.h"
#include "platform/operator_input.h"
#include "platform/ui_model.h"
#include "platform/user_interface.h"

namespace korvel::platform {
namespace {

using detail::ControlState;
using detail::model;

bool is_running_timer(const ControlState& c) {
    return c.def->kind == resource::ControlKind::Timer && c.enabled && c.interval > 0.0;
}

// Moves a timer's due time on by whole intervals until it lies after `now`.
void reschedule(ControlState& c, double now) {
    if (c.next_due > now) return;
    const double missed = std::floor((now - c.next_due) / c.interval) + 1.0;
    c.next_due += missed * c.interval;
    if (c.next_due <= now) c.next_due = now + c.interval;  // rounding at huge times
}

// Fires every tick due at `now`; see process_due_timers.
int process_due_at(double now) {
    if (model().dispatch_depth > 0) return 0;
    std::vector<std::tuple<double, int, int>> due;  // due time, panel, control
    for (const auto& [handle, panel] : model().panels)
        for (const auto& c : panel->controls)
            if (is_running_timer(c) && c.next_due <= now)
                due.emplace_back(c.next_due, handle, c.def->id);
    std::sort(due.begin(), due.end());
    int fired = 0;
    for (const auto& [when, panel, control] : due) {
        int error = 0;
        ControlState* c = detail::find_control(panel, control, &error);
        // An earlier tick's callback may have discarded the panel or stopped the timer.
        if (c == nullptr || !is_running_timer(*c) || c->next_due > now) continue;
        reschedule(*c, now);
        if (model().timers_suspended) continue;
        detail::dispatch_ctrl_event(panel, control, EVENT_TIMER_TICK, 0, 0);
        ++fired;
    }
    return fired;
}

}  // namespace

double next_timer_due() {
    double next = std::numeric_limits<double>::infinity();
    for (const auto& [handle, panel] : model().panels)
        for (const auto& c : panel->controls)
            if (is_running_timer(c)) next = std::min(next, c.next_due);
    return next;
}

int process_due_timers() {
    return process_due_at(clock().now());
}

int run_timers_until(double time) {
    if (std::isnan(time)) return 0;
    if (model().dispatch_depth > 0) {
        clock().sleep(time - clock().now());
        return 0;
    }
    int fired = 0;
    for (;;) {
        const double due = next_timer_due();
        if (!(due <= time)) break;
        const double now = clock().now();
        if (due > now) clock().sleep(due - now);
        // Sleeping to `due` may land a rounding step short of it; the tick is due all the same.
        fired += process_due_at(std::max(clock().now(), due));
    }
    const double now = clock().now();
    if (time > now) clock().sleep(time - now);
    return fired;
}

int run_timers_for(double seconds) {
    if (!(seconds >= 0.0)) return 0;
    return run_timers_until(clock().now() + seconds);
}

bool timer_callbacks_suspended() {
    return model().timers_suspended;
}

}  // namespace korvel::platform

int SuspendTimerCallbacks() {
    korvel::platform::detail::model().timers_suspended = true;
    return 0;
}

int ResumeTimerCallbacks() {
    korvel::platform::detail::model().timers_suspended = false;
    return 0;
}
