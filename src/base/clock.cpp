#include "base/clock.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace korvel::platform {
namespace {

std::int64_t steady_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool is_pause(double seconds) {
    return std::isfinite(seconds) && seconds > 0.0;
}

Clock* g_clock = nullptr;
void (*g_before_delay)() = nullptr;

}  // namespace

RealClock::RealClock() : start_ns_(steady_ns()) {}

double RealClock::now() const {
    return static_cast<double>(steady_ns() - start_ns_) * 1e-9;
}

void RealClock::sleep(double seconds) {
    if (!is_pause(seconds)) return;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void VirtualClock::sleep(double seconds) {
    if (!is_pause(seconds)) return;
    now_ += seconds;
    paused_total_ += seconds;
    ++pause_count_;
    if (listener_) listener_(seconds);
}

void VirtualClock::reset_counters() {
    pause_count_ = 0;
    paused_total_ = 0.0;
}

Clock& clock() {
    static RealClock real;
    return g_clock != nullptr ? *g_clock : real;
}

void set_clock(Clock* c) {
    g_clock = c;
}

void set_before_delay(void (*hook)()) {
    g_before_delay = hook;
}

}  // namespace korvel::platform

void Delay(double seconds) {
    namespace p = korvel::platform;
    if (p::is_pause(seconds) && p::g_before_delay != nullptr) p::g_before_delay();
    p::clock().sleep(seconds);
}
