// The seven plain functions another program drives the unit with. They are thin wrappers over
// the USB link, the expander driver and the scaled DAC write, and keep no state of their own.

#include <cmath>
#include <cstdint>

#include "ds4520/ds4520.h"
#include "korvel.h"
#include "link/usb_link.h"
#include "mcp4728/mcp4728.h"
#include "unit/unit_map.h"

namespace {

using namespace korvel::unit;

// The limits are compared in double precision against the decimal values; a value outside
// becomes the single-precision limit. So a request of exactly 1.8 V (whose float lies just below
// 1.8) still becomes the float 1.8. A NaN has no place in the range: it is taken as the lower
// limit, the level that stresses nothing.
float limit_volts(float volts, double low, double high) {
    if (std::isnan(volts) || static_cast<double>(volts) < low) return static_cast<float>(low);
    if (static_cast<double>(volts) > high) return static_cast<float>(high);
    return volts;
}

}  // namespace

extern "C" {

int usb_init(void) {
    // The unit's variant is noted (and ZEVA_CHIP_FLAG published) before the link is opened.
    korvel::note_unit_variant();
    return korvel::init_usb();
}

int usb_close(void) {
    korvel::close();
    return 1;
}

int set_divide_ratio(int ratio) {
    // Ratio 256 is the byte 0x00. The byte is sent as it is, also on the alternate variant.
    int byte = ratio;
    if (ratio <= 0) byte = 1;
    if (ratio >= 256) byte = 0;
    korvel::DS4520_IOX_wr_multibit(kDividerChip, kWholeBank0, byte);
    return 1;
}

int ClockOutput1(int on) {
    // The pin is an active-low enable: on = 1 pulls it low.
    korvel::DS4520_IO_write(kSwitchChip, kClockOutput1Pin, (on ^ 1) & 0xFF);
    return 1;
}

int set_dutycycle(float volts) {
    korvel::dac_write(kDutyCycleChannel, limit_volts(volts, kDutyCycleMinVolts, kDutyCycleMaxVolts),
                      kVolatileWrite);
    return 1;
}

int set_amplitude(float volts) {
    korvel::dac_write(kAmplitudeChannel, limit_volts(volts, kAmplitudeMinVolts, kAmplitudeMaxVolts),
                      kVolatileWrite);
    return 1;
}

int prbs_select(int code) {
    // The whole byte is written, so the phase fields in IO4-IO7 become 0.
    int value = code;
    if (code <= 0) value = 1;
    if (code > 10) value = 10;
    korvel::DS4520_IOX_wr_multibit(kPatternChip, kWholeBank0, value);
    return 1;
}

// The korvel_ names are the same functions under a second name (aliases: one address each, so a
// call through either never reaches another library's function of the plain name).
int korvel_usb_init(void) __attribute__((alias("usb_init")));
int korvel_usb_close(void) __attribute__((alias("usb_close")));
int korvel_set_divide_ratio(int) __attribute__((alias("set_divide_ratio")));
int korvel_clock_output1(int) __attribute__((alias("ClockOutput1")));
int korvel_set_dutycycle(float) __attribute__((alias("set_dutycycle")));
int korvel_set_amplitude(float) __attribute__((alias("set_amplitude")));
int korvel_prbs_select(int) __attribute__((alias("prbs_select")));

}  // extern "C"
