#include "sim_files.h"

#include <cstdlib>

#include "exit_codes.h"
#include "korvel/sim/files.h"
#include "korvel/sim/usb.h"

namespace korvelctl {

namespace {

const char* setting(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value ? value : nullptr;
}

std::string message(const char* name, const char* path, const char* what,
                    const std::string& reason) {
    return std::string(name) + " " + path + ": cannot write the " + what + " there (" + reason +
           ")";
}

}  // namespace

std::optional<std::string> sim_file_problem(bool state_option, bool trace_option) {
    const char* state = setting("KORVEL_SIM_STATE");
    const char* trace = setting("KORVEL_SIM_TRACE");
    if (state) {
        if (auto reason = korvel::sim::state_file_problem(state))
            return message(state_option ? "--sim-state" : "KORVEL_SIM_STATE", state,
                           "simulated unit's state file", *reason);
    }
    if (trace) {
        auto reason = korvel::sim::trace_file_problem(trace);
        if (!reason && state && korvel::sim::same_file(state, trace))
            reason = "it is the simulated unit's state file as well";
        if (reason)
            return message(trace_option ? "--trace" : "KORVEL_SIM_TRACE", trace, "trace", *reason);
    }
    return std::nullopt;
}

int finish_sim_files(int status, std::ostream& err) {
    std::string error;
    if (korvel::sim::usb().finish_files(&error)) return status;
    err << "korvelctl: the simulated unit did not keep the command's result: " << error << "\n";
    return kExitIoError;
}

}  // namespace korvelctl
