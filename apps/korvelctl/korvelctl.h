// korvelctl: set, list and read back a KORVEL unit from the command line.
#pragma once

#include <ostream>

namespace korvelctl {

// The whole program; returns the exit status (see exit_codes.h).
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace korvelctl
