// Saved setups and the instrument's own questions: *SAV, *RCL, *LRN?, *TST?, *OPT?.
#pragma once

#include <string>

#include "remote/command.h"

namespace korvel::remote {

// *SAV n / *RCL n (n = 0..9): the whole settings set kept in setup<n>.cfg in the working
// directory, written and read as File > Save As and File > Open do. A slot never saved: -222.
scpi::Fault save_setup(CommandCall& call);
scpi::Fault recall_setup(CommandCall& call);
std::string setup_file(int slot);  // "setup3.cfg"

// *LRN?: the commands that bring back the present setup when sent to the instrument.
scpi::Fault query_learn(CommandCall& call);

// *TST?: each of the unit's five I2C chips must acknowledge its address and give a register
// back (nothing is written, no output changes). 0 when all answer, else a bit per silent chip
// (bits 0..2 the expanders 0xA4, 0xA6, 0xAE; bits 3..4 the DACs 0xC0, 0xC2), each also queued as
// -330. Without a unit: -330 "unit not connected" and 31.
scpi::Fault query_self_test(CommandCall& call);

// *OPT?: 0, the instrument has no options.
scpi::Fault query_options(CommandCall& call);

}  // namespace korvel::remote
