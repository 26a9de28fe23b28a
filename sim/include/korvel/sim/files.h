// Which paths the simulated unit can keep its files at. The unit reads these rules for
// KORVEL_SIM_STATE and KORVEL_SIM_TRACE itself; a tool checks its own options with them first so
// that it can refuse a bad path before anything reaches the unit.
#pragma once

#include <optional>
#include <string>

namespace korvel::sim {

// Why `path` cannot be the unit's state file, or nothing when it can. It must be a regular file
// that may be written (a symbolic link to one is followed) or not exist yet, in a folder where a
// new file can be made: the file is replaced whole at every save. A folder, device, FIFO or
// socket is refused without being opened.
std::optional<std::string> state_file_problem(const std::string& path);

// Why `path` cannot take the pin trace, or nothing when it can: a regular file that may be
// written or a new one, or a FIFO (a live viewer reading it). A folder or device is refused.
std::optional<std::string> trace_file_problem(const std::string& path);

// Whether the two paths name the same file (also through links, or before it exists).
bool same_file(const std::string& a, const std::string& b);

}  // namespace korvel::sim
