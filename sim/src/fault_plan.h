// Planned faults for the simulated driver: chosen calls that fail, and the moment the board is
// unplugged. Counting starts when a fault is planned.
#pragma once

#include <cstdint>
#include <vector>

#include "korvel/sim/usb.h"

namespace korvel::sim {

class FaultPlan {
  public:
    void fail_call(Call kind, std::uint64_t nth, Status status);
    void detach_before_call(std::uint64_t nth);
    void clear();

    // Counts one driver call; true when the board must be unplugged before it runs.
    bool detach_now();
    // Counts one call of `kind`; true (with the status) when it must fail.
    bool fails(Call kind, Status& status);

  private:
    struct PlannedFailure {
        Call kind;
        std::uint64_t remaining;
        Status status;
    };
    std::vector<PlannedFailure> failures_;
    std::uint64_t detach_countdown_ = 0;  // 0 = no detach planned
};

}  // namespace korvel::sim
