// Decodes the I2C traffic on the resolved bus lines into START / repeated START / STOP / byte
// events, whoever drives the bits, for tests and the live view. The log keeps the most recent
// kBusLogKeep events (it is trimmed in blocks, so it never holds more than twice that).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "korvel/sim/unit.h"

namespace korvel::sim {

class BusMonitor {
  public:
    static constexpr std::size_t kBusLogKeep = 65536;

    void start();
    void stop();
    void scl_rise(bool sda);
    void scl_fall();
    void reset();

    const std::vector<BusEvent>& log() const { return log_; }
    void clear() { log_.clear(); }

  private:
    void add(BusEvent event);

    std::vector<BusEvent> log_;
    bool in_transaction_ = false;
    int bit_ = 0;  // clocks seen in the present 9-clock frame
    std::uint8_t shift_ = 0;
    bool clock_high_ = false;
};

}  // namespace korvel::sim
