// How the process's simulated unit comes up from its state file (KORVEL_SIM_STATE).
#pragma once

#include <cstdio>
#include <string>

#include "korvel/sim/usb.h"

namespace korvel::sim {

// A missing file gives the default unit, saved to `path` from then on. A path that cannot be a
// state file at all (a folder, device, FIFO or socket, a read-only file, a folder where no file
// can be made: see state_file_problem) is left alone, neither opened nor moved, and the unit
// cannot be opened; `messages` says why. A file whose content cannot be used is moved aside (see
// set_aside_bad_state) and the unit starts from its defaults, saved to `path` from then on; if it
// cannot be moved aside, the unit cannot be opened, so the file is never overwritten.
void start_from_state_file(Usb& usb, const std::string& path, std::FILE* messages);

// Moves the unusable state file at `path` (the file a link there leads to) aside to
// "<path>.bad", or the first free "<path>.bad.N", and tells `messages` why (`why`) and what
// happens now (`then`). False, also told, when it cannot be moved.
bool set_aside_bad_state(const std::string& path, const std::string& why, const char* then,
                         std::FILE* messages);

}  // namespace korvel::sim
