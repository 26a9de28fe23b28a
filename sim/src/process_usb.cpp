// The process's one simulated USB, made at first use from the environment:
//   KORVEL_SIM_STATE  the state file the unit is loaded from and saved to (see state_startup.h);
//   KORVEL_SIM_TRACE  the Value Change Dump of the pins.
// It is destroyed at process exit, which saves the state file and closes the trace.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "korvel/sim/usb.h"
#include "state_startup.h"

namespace korvel::sim {

namespace {
std::unique_ptr<Usb>& instance() {
    static std::unique_ptr<Usb> usb;
    return usb;
}
}  // namespace

Usb& usb() {
    auto& u = instance();
    if (!u) {
        u = std::make_unique<Usb>();
        if (const char* state = std::getenv("KORVEL_SIM_STATE"); state && *state)
            start_from_state_file(*u, state, stderr);
        if (const char* trace = std::getenv("KORVEL_SIM_TRACE"); trace && *trace) {
            if (!u->open_trace(trace))
                std::fprintf(stderr, "korvel simulated unit: cannot write the trace %s: %s\n",
                             trace, std::strerror(errno));
        }
    }
    return *u;
}

void reset_usb() {
    auto& u = instance();
    u.reset();
    u = std::make_unique<Usb>();
}

}  // namespace korvel::sim
