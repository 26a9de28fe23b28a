// The self-timed EEPROM write cycle of a chip on the board. Once the chip has latched data for
// its EEPROM it programs the cells on its own for its write time, and it is busy until then. The
// chip takes the virtual time from the board's clock (microseconds); on a board that no USB side
// gives a clock, time does not pass and the cycles take none.
#pragma once

#include <cstdint>
#include <functional>

namespace korvel::sim {

// Where the chips on one board read the time. Set once by the USB side.
struct ChipClock {
    std::function<std::uint64_t()> now_us;
};

class EepromWriteCycle {
  public:
    EepromWriteCycle(const ChipClock& clock, std::uint64_t write_time_us)
        : clock_(clock), write_time_us_(write_time_us) {}

    // The cells start programming now.
    void start() {
        if (clock_.now_us) busy_until_ = clock_.now_us() + write_time_us_;
    }
    bool busy() const { return clock_.now_us && clock_.now_us() < busy_until_; }
    // Power loss: whatever the cells were programming, the chip comes back idle.
    void cancel() { busy_until_ = 0; }

  private:
    const ChipClock& clock_;
    std::uint64_t write_time_us_;
    std::uint64_t busy_until_ = 0;
};

}  // namespace korvel::sim
