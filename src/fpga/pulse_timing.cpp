#include "fpga/pulse_timing.h"

#include "fpga/pattern_memory.h"

namespace korvel {

PulseTiming usable_timing(std::uint32_t period, std::uint32_t width) {
    if (period == 0) period = 1;
    if (width == 0) width = 1;
    if (width > period) width = period;
    return {period, width};
}

double error_rate(std::uint32_t width, int errors_per_256, std::uint32_t period) {
    return static_cast<double>(width) * errors_per_256 / period / kWordBits;
}

}  // namespace korvel
