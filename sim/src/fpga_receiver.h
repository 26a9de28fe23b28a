// The FPGA's serial receiver: D2 is the clock, a rising edge samples D4; D5 (error-injection
// memory) and D6 (custom-pattern memory) are active-low selects. A select going low resets that
// memory's write address; the first bit clocked in after it starts the new content, so a select
// pulse without clocks (as when the host first makes all pins outputs) leaves the memory as it
// was. The error memory takes 256 mask bits, then the 32-bit period word and the 32-bit width
// word, both most significant bit first; further bits are ignored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "korvel/sim/unit.h"

namespace korvel::sim {

class FpgaReceiver {
  public:
    static constexpr std::uint8_t kClock = 0x04, kData = 0x10, kSelectError = 0x20,
                                  kSelectPattern = 0x40;
    // The custom-pattern memory holds 4096 words of 256 bits; bits beyond it are dropped.
    static constexpr std::size_t kPatternMemoryBits = 4096u * 256u;
    static constexpr std::uint8_t kWatched = kClock | kData | kSelectError | kSelectPattern;

    FpgaMemories& memories() { return mem_; }
    // Pin levels changed from `before` to `after` (only called when a watched pin changed).
    void pins_changed(std::uint8_t before, std::uint8_t after);
    // Power loss: both memories are empty.
    void clear();

  private:
    FpgaMemories mem_;
    bool pattern_new_ = false;
    bool error_new_ = false;
    std::uint32_t error_bits_ = 0;
};

}  // namespace korvel::sim
