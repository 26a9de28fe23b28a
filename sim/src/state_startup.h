// How the process's simulated unit comes up from its state file (KORVEL_SIM_STATE).
#pragma once

#include <cstdio>
#include <string>

#include "korvel/sim/usb.h"

namespace korvel::sim {

// A missing file gives the default unit, saved to `path` from then on. A file that cannot be used
// never stops the program: `messages` says why, the file is moved aside to "<path>.bad" for the
// user to look at, and the unit starts from its defaults (saved to `path` from then on). If the
// file cannot be moved aside, the default unit is not saved, so the file is never overwritten.
void start_from_state_file(Usb& usb, const std::string& path, std::FILE* messages);

}  // namespace korvel::sim
