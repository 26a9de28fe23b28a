#include "korvelctl.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "command_line.h"
#include "commands.h"
#include "exit_codes.h"
#include "fpga_commands.h"
#include "sim_files.h"

namespace korvelctl {

namespace {

// The backend reads these at the first driver call, so they are set before anything else runs.
// Returns whether the simulated unit is in use.
bool select_backend(const Request& r, std::ostream& err) {
    if (r.simulate) setenv("KORVEL_BACKEND", "sim", 1);
    if (!r.sim_state.empty()) setenv("KORVEL_SIM_STATE", r.sim_state.c_str(), 1);
    if (!r.trace.empty()) setenv("KORVEL_SIM_TRACE", r.trace.c_str(), 1);
    const char* backend = std::getenv("KORVEL_BACKEND");
    const bool simulated = backend != nullptr && std::string_view(backend) == "sim";
    if (!simulated && (!r.sim_state.empty() || !r.trace.empty()))
        err << "korvelctl: note: --sim-state and --trace apply to the simulated unit only "
               "(add --simulate)\n";
    return simulated;
}

int run_command(const Request& r, std::ostream& out, std::ostream& err) {
    switch (r.command) {
        case Command::Set:
            return run_set(r.settings, out, err);
        case Command::List:
            return run_list(out, err);
        case Command::LoadPattern:
            return run_load_pattern(r.file, out, err);
        case Command::LoadMask:
            return run_load_mask(r.file, out, err);
        case Command::Status:
            break;
    }
    return run_status(r.json, out, err);
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    auto parsed = parse_command_line(argc, argv);
    if (const auto* answer = std::get_if<Answer>(&parsed))
        return korvel::cli::give(*answer, out, err);
    const Request& r = std::get<Request>(parsed);
    const bool simulated = select_backend(r, err);
    if (simulated) {
        if (auto problem = sim_file_problem(!r.sim_state.empty(), !r.trace.empty())) {
            err << "korvelctl: " << *problem << "\n";
            return kExitUsage;
        }
    }
    const int result = run_command(r, out, err);
    return simulated ? finish_sim_files(result, err) : result;
}

}  // namespace korvelctl
