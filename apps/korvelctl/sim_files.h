// The simulated unit's two files. They are checked before a command runs, so a path the unit
// cannot use is refused like any bad argument before anything is sent; and after it, because a
// command whose result the unit could not keep (a full disk, say) has failed.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace korvelctl {

// Why the state file (KORVEL_SIM_STATE) or the trace (KORVEL_SIM_TRACE) cannot be used, or
// nothing when both can (or are not set). `state_option` and `trace_option` say whether the
// paths came from --sim-state and --trace, for the message.
std::optional<std::string> sim_file_problem(bool state_option, bool trace_option);

// Has the simulated unit save its state if it changed and close its trace. Returns `status`, or
// kExitIoError with the reason on `err` when anything did not reach its file.
int finish_sim_files(int status, std::ostream& err);

}  // namespace korvelctl
