// The process's one simulated USB, made at first use from the environment:
//   KORVEL_SIM_STATE  the state file the unit is kept in between programs (see state_startup.h);
//   KORVEL_SIM_TRACE  the Value Change Dump of the pins: a file or a FIFO, never the state file.
// It is destroyed at process exit, which saves the state file if the unit changed and closes the
// trace.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "korvel/sim/files.h"
#include "korvel/sim/usb.h"
#include "state_startup.h"

namespace korvel::sim {

namespace {

std::unique_ptr<Usb>& instance() {
    static std::unique_ptr<Usb> usb;
    return usb;
}

const char* variable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

void start_trace(Usb& usb, const std::string& trace, const char* state) {
    std::optional<std::string> problem = trace_file_problem(trace);
    if (!problem && state && same_file(trace, state)) problem = "it is the state file as well";
    if (problem) {
        std::fprintf(stderr,
                     "korvel simulated unit: cannot write the trace %s (%s); no trace is kept.\n",
                     trace.c_str(), problem->c_str());
        return;
    }
    usb.open_trace(trace);  // a failure is told there
}

}  // namespace

Usb& usb() {
    auto& u = instance();
    if (!u) {
        u = std::make_unique<Usb>();
        const char* state = variable("KORVEL_SIM_STATE");
        if (state) start_from_state_file(*u, state, stderr);
        if (const char* trace = variable("KORVEL_SIM_TRACE")) start_trace(*u, trace, state);
    }
    return *u;
}

void reset_usb() {
    auto& u = instance();
    u.reset();
    u = std::make_unique<Usb>();
}

}  // namespace korvel::sim
