// The two analog levels of the output: the main panel's Duty Cycle and Data Amplitude slides
// turned into DAC volts, and the Debug panel's per-GHz duty-cycle table.
#pragma once

#include <array>

#include "platform/ui_constants.h"

namespace korvel::app {

// Slide units <-> DAC volts, in double precision. Duty cycle: one percent is 1/12 V around
// 2.8 V at 50 % (44 % = 2.3 V, 56 % = 3.3 V). Amplitude: 0..600 mV span 1.8..2.6 V.
double duty_volts_from_percent(double percent);
double duty_percent_from_volts(double volts);
double amplitude_volts_from_mv(double millivolts);
double amplitude_mv_from_volts(double volts);
// A stored level as its slide shows it: the slide value of `volts`, rounded to the fewest
// decimals (up to six) that the slide's own mapping still turns into `volts` exactly, so that a
// level read from a file shows as 450 mV rather than as float noise (450.00006) and the slide
// sends back the very level it came from.
double duty_percent_shown(float volts);
double amplitude_mv_shown(float volts);

// Duty-cycle DAC volts that centre the eye at each whole GHz, 0..27.
extern const std::array<float, 28> duty_freq_table;
// The table read at f MHz (0..26000; above is taken as 26000), interpolated between whole GHz.
double duty_volts_at(int megahertz);

// Callback of DUTY_CYCLE and MUX_AMP: on a value change writes the level to its DAC channel
// (volatile), keeps it in the settings set and restarts the deferred DAC store; the mouse wheel
// pages the slide by 1.0 and applies it at once.
int CVICALLBACK CB_DAC(int panel, int control, int event, void* callbackData, int eventData1,
                       int eventData2);
// With "Use Freq Table" ticked on the Debug panel, sets the duty-cycle DAC from the table at the
// panel's frequency "f" (without touching the slide or the settings set).
void updateDuty();

// Writes the amplitude slide's value to the unit as the reconnect and a restore do: volts into
// the settings set, a volatile write of the amplitude channel.
void apply_amplitude_from_slide();

}  // namespace korvel::app
