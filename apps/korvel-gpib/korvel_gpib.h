// korvel-gpib: the bench-instrument GPIB routines from the command line.
#pragma once

#include <istream>
#include <ostream>

namespace korvel_gpib {

constexpr int kExitOk = 0;          // no GPIB call failed
constexpr int kExitCallFailed = 1;  // at least one GPIB call failed (its report was printed)
constexpr int kExitUsage = 64;      // EX_USAGE: bad arguments, no GPIB call made

// The whole program. The routines' reports go to `out` and their "Hit return" waits read `in`.
int run(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace korvel_gpib
