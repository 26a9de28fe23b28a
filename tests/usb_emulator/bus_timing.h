// The timing of one emulated USB device, and what its traffic costs.
//
// A request (one URB: a control transfer or a bulk transfer) reaches the device when the host
// submits it and completes at
//     max(submitted + L, previous completion + S)
// L is the round-trip latency of the bus (1000 us models a full-speed frame: a request submitted
// now is answered in a later frame), S the time the chip spends on each request (about 20 us on
// an FT232R). Both default to 0: every request completes as soon as it is submitted.
//
// Counting: every request counts once. A request submitted while the host still has none
// outstanding at the device (every earlier one completed and taken back by the host) starts a
// round trip: the host waits a full L for it. Requests queued behind outstanding ones ride along
// and start none. So n synchronous requests are n round trips, while requests kept queued
// together cost one round trip per time the queue ran dry. With L = 0 a request completes at
// once, but it stays outstanding until the host reaps it, so the counts still show how the host
// queues.
//
// With L > 0 a request also starts a round trip when every earlier one has completed by the
// time it is submitted, whether or not the host has taken them back yet: the bus is idle then,
// and the new request travels a full L with nothing ahead of it. Without this rule a host that
// leaves finished requests unreaped (a queue drained only when an answer is needed) would show
// a request made long after the last one as riding along. A held request never completes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace korvel::usbemu {

struct TimingModel {
    std::uint64_t latency_us = 0;  // L
    std::uint64_t service_us = 0;  // S
};

struct TrafficCounts {
    std::uint64_t requests = 0;
    std::uint64_t round_trips = 0;
};

class BusTiming {
  public:
    explicit BusTiming(TimingModel model = {}) : model_(model) {}

    // A request reaches the device at `now_us`; returns when it completes.
    std::uint64_t submit(std::uint64_t now_us) {
        count_submission(now_us, false);
        last_completion_ =
            std::max(now_us + model_.latency_us, last_completion_ + model_.service_us);
        return last_completion_;
    }
    // A request that never completes (the chip has stopped answering): counted, but it changes
    // no completion time.
    void submit_held(std::uint64_t now_us = 0) { count_submission(now_us, true); }
    // The host took a request back (completed, cancelled or ended by an unplug).
    void taken_back() {
        if (outstanding_ > 0) --outstanding_;
    }

    TrafficCounts counts() const { return counts_; }
    void reset_counts() { counts_ = {}; }
    const TimingModel& model() const { return model_; }

  private:
    void count_submission(std::uint64_t now_us, bool held) {
        ++counts_.requests;
        if (outstanding_ == 0) held_ = false;
        const bool bus_idle = model_.latency_us > 0 && !held_ && now_us >= last_completion_;
        if (outstanding_ == 0 || bus_idle) ++counts_.round_trips;
        ++outstanding_;
        held_ = held_ || held;
    }

    TimingModel model_;
    std::uint64_t last_completion_ = 0;
    std::size_t outstanding_ = 0;
    bool held_ = false;  // a held request is among the outstanding ones
    TrafficCounts counts_;
};

}  // namespace korvel::usbemu
