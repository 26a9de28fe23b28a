// The simulated unit's two files, checked before a command runs: the unit saves its state file
// only when the process ends, so a path it cannot write would lose the command's settings after
// korvelctl had already reported success.
#pragma once

#include <optional>
#include <string>

namespace korvelctl {

// Why the state file (KORVEL_SIM_STATE) or the trace (KORVEL_SIM_TRACE) cannot be written, or
// nothing when both can (or are not set). `state_option` and `trace_option` say whether the
// paths came from --sim-state and --trace, for the message.
std::optional<std::string> sim_file_problem(bool state_option, bool trace_option);

}  // namespace korvelctl
