// Commands that fill the unit's FPGA memories through the Custom Test Pattern and Error Injection
// Setup windows: a pattern file, a mask file, and the mask's period, width and error count.
//
// A file is chosen as on the window, its full path in the remote file folder (file_root.h) typed
// into the window's file dialog instead of picked, and then loaded with the window's load button.
// It is opened and read once beforehand with the same reader, so that a file that cannot be used
// is refused with its reason and nothing changes (the windows themselves say nothing about such a
// file); the load button then takes what was read, so the file loaded is the file checked.
//
// The windows are opened the way the operator opens them: Custom Test Pattern by choosing Custom
// Data on Pattern Select (so the unit plays the custom pattern), Error Injection Setup through
// "Err Inj Load" on More Features, which opens it only while the unit is attached. Loads to an
// absent unit, which the windows would lose without a word, are refused (-241).
#pragma once

#include "remote/command.h"

namespace korvel::remote {

scpi::Fault load_custom_pattern(CommandCall& call);  // PATTern:CUSTom:LOAD "path"
scpi::Fault load_error_mask(CommandCall& call);      // ERRor:MASK:LOAD "path"
scpi::Fault set_mask_period(CommandCall& call);      // ERRor:MASK:PERiod 1..4294967295
scpi::Fault query_mask_period(CommandCall& call);
scpi::Fault set_mask_width(CommandCall& call);  // ERRor:MASK:WIDTh 1..period
scpi::Fault query_mask_width(CommandCall& call);
scpi::Fault set_mask_count(CommandCall& call);  // ERRor:MASK:COUNt 1..255
scpi::Fault query_mask_count(CommandCall& call);

}  // namespace korvel::remote
