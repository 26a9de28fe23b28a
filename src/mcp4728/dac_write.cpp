// The scaled DAC write in volts over the unit's two MCP4728s (3.3 V full scale).
#include <cmath>

#include "base/clock.h"
#include "link/usb_link.h"
#include "mcp4728/mcp4728.h"
#include "service_output/service_output.h"
#include "unit/unit_map.h"

namespace korvel {

const DacChannelRef dac_channel_map[8] = {{0, 0}, {0, 1}, {0, 2}, {0, 3},
                                          {1, 0}, {1, 1}, {1, 2}, {1, 3}};

namespace {

constexpr double kFullScaleVolts = unit::kDacFullScaleVolts;
constexpr double kCodeSpan = unit::kDacCodeSpan;
constexpr double kMaxCode = 4095.0;

}  // namespace

// Truncates toward zero in double precision, so the float nearest 3.3 gives 4095. Values outside
// the DAC's range (and NaN) are clamped to 0..4095.
unsigned dac_code_for(float volts) {
    const double code = std::trunc(static_cast<double>(volts) / kFullScaleVolts * kCodeSpan);
    if (!(code > 0.0)) return 0;
    if (code > kMaxCode) return static_cast<unsigned>(kMaxCode);
    return static_cast<unsigned>(code);
}

void dac_write(int channel, float value, std::uint8_t mode) {
    if (channel < 0 || channel > 7) return;
    const DacChannelRef target = dac_channel_map[channel];
    if (usb_aliveQ() != 1) return;
    mcp4728_dac_write(target.selector, target.dac_channel, dac_code_for(value), mode);
}

void dac_ramp(int channel, bool print_values) {
    float value = 0.0f;
    while (value < kFullScaleVolts) {
        dac_write(channel, value, unit::kStoredWrite);
        Delay(0.001);
        if (print_values) service_printf("%f \n", value);
        value = static_cast<float>(value + 0.1);
    }
}

void dac_sweep() {
    constexpr int kPasses = 1000;
    constexpr int kSweepChannel = 6;
    for (int pass = 0; pass < kPasses; ++pass) dac_ramp(kSweepChannel, true);
}

}  // namespace korvel
