#include "api/unit_status.h"

#include "api/pattern_codes.h"
#include "ds4520/ds4520.h"
#include "unit/unit_map.h"

namespace korvel::api {

namespace {

bool pin(int levels, int n) {
    return ((levels >> n) & 1) != 0;
}

}  // namespace

UnitReadback read_unit() {
    UnitReadback r;
    r.expander2 = DS4520_IO_read(unit::kDividerChip);
    r.expander3 = DS4520_IO_read(unit::kSwitchChip);
    r.expander7 = DS4520_IO_read(unit::kPatternChip);
    r.dac0 = read_dac_bytes(0);
    r.dac1 = read_dac_bytes(1);
    return r;
}

double dac_volts(std::uint16_t code) {
    return code * unit::kDacFullScaleVolts / unit::kDacCodeSpan;
}

UnitStatus interpret(const UnitReadback& r) {
    UnitStatus s;
    s.pattern_code = r.expander7 & 0x0F;
    s.pattern_name = pattern_name(s.pattern_code);
    s.phase_mph = (r.expander7 >> 4) & 0x03;
    s.phase_aph = (r.expander7 >> 6) & 0x03;
    s.calibration_mode = pin(r.expander7, 8);

    s.divide_byte = r.expander2 & 0xFF;
    s.divide_ratio = s.divide_byte == 0 ? 256 : s.divide_byte;
    s.fpga_reset = pin(r.expander2, 8);

    s.clock_output1_on = !pin(r.expander3, 0);
    s.error_injection_on = pin(r.expander3, 1);

    const auto dac0 = decode_dac_bytes(r.dac0);
    s.duty_code = dac0[unit::kDutyCycleChannel].input.code;
    s.amplitude_code = dac0[unit::kAmplitudeChannel].input.code;
    s.duty_volts = dac_volts(s.duty_code);
    s.amplitude_volts = dac_volts(s.amplitude_code);
    return s;
}

}  // namespace korvel::api
