// Commands on the main panel's controls: pattern select, duty cycle, data amplitude, clock
// output 1 and the FPGA reset.
#pragma once

#include "remote/command.h"

namespace korvel::remote {

scpi::Fault set_pattern(CommandCall& call);  // [SOURce:]PATTern PRBS6|...|CLOCk|CUSTom
scpi::Fault query_pattern(CommandCall& call);
scpi::Fault set_duty_cycle(CommandCall& call);  // [SOURce:]DCYCle <percent>
scpi::Fault query_duty_cycle(CommandCall& call);
scpi::Fault set_amplitude(CommandCall& call);  // [SOURce:]AMPLitude <mV>
scpi::Fault query_amplitude(CommandCall& call);
scpi::Fault set_clock_output(CommandCall& call);  // OUTPut:CLOCk1 ON|OFF
scpi::Fault query_clock_output(CommandCall& call);
scpi::Fault reset_fpga(CommandCall& call);  // FPGA:RESet

}  // namespace korvel::remote
