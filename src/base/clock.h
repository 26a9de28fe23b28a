// The one clock behind every pause the program takes.
//
// With real hardware a pause is a real sleep. With the simulated unit (and in tests) the clock is
// virtual: a pause only moves the virtual time on, so a 20 ms settle costs nothing and can be
// asserted exactly.
#pragma once

#include <cstdint>
#include <functional>

namespace korvel::platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds since the clock started.
    virtual double now() const = 0;
    // Blocks (or pretends to block) for the given number of seconds; negative or NaN is no pause.
    virtual void sleep(double seconds) = 0;
};

// Wall-clock time; sleep really sleeps.
class RealClock final : public Clock {
  public:
    RealClock();
    double now() const override;
    void sleep(double seconds) override;

  private:
    std::int64_t start_ns_;
};

// Counted time: sleep adds to now() and records the pause. An optional listener sees every pause
// (the simulated unit uses it to stamp its bus trace).
class VirtualClock final : public Clock {
  public:
    double now() const override { return now_; }
    void sleep(double seconds) override;

    void advance(double seconds) { sleep(seconds); }
    std::uint64_t pause_count() const { return pause_count_; }
    double paused_total() const { return paused_total_; }
    void reset_counters();
    void set_listener(std::function<void(double)> on_pause) { listener_ = std::move(on_pause); }

  private:
    double now_ = 0.0;
    double paused_total_ = 0.0;
    std::uint64_t pause_count_ = 0;
    std::function<void(double)> listener_;
};

// The process's clock: a RealClock unless something installed another.
Clock& clock();
// Installs `c` as the process's clock (not owned); nullptr goes back to the real clock.
void set_clock(Clock* c);

// Called by Delay before the process's clock moves (and only for a real pause): the USB backend
// finishes its queued requests there, so a pause in the program is a pause on the wire too.
// nullptr: nothing. One hook per process; the last one installed wins.
void set_before_delay(void (*hook)());

}  // namespace korvel::platform

// The program's blocking pause, in seconds: first the before-delay hook, then the clock's pause.
void Delay(double seconds);
