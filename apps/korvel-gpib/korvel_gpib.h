// korvel-gpib: the bench-instrument GPIB routines from the command line.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "gpib/linux_gpib/linux_gpib_backend.h"

namespace korvel_gpib {

constexpr int kExitOk = 0;          // no GPIB call failed
constexpr int kExitCallFailed = 1;  // a GPIB call failed (its report was printed), or the GPIB
                                    // library is missing (then no call is made)
constexpr int kExitUsage = 64;      // EX_USAGE: bad arguments, no GPIB call made

// The whole program. The routines' reports go to `out` and their "Hit return" waits read `in`.
// The real bench is reached through `gpib_library`.
int run(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
        const std::string& gpib_library = korvel::gpib::kLinuxGpibLibrary);

}  // namespace korvel_gpib
