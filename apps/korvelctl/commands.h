// The three korvelctl commands. Each returns the exit status.
#pragma once

#include <ostream>
#include <vector>

#include "settings_parser.h"

namespace korvelctl {

// Opens the unit, applies the settings in order through the library's functions, closes it.
int run_set(const std::vector<Setting>& settings, std::ostream& out, std::ostream& err);
int run_list(std::ostream& out, std::ostream& err);
int run_status(bool json, std::ostream& out, std::ostream& err);

}  // namespace korvelctl
