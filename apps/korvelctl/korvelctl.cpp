#include "korvelctl.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "commands.h"
#include "exit_codes.h"
#include "settings_parser.h"

namespace korvelctl {

namespace {

constexpr const char* kExamples =
    R"(korvelctl set --help lists the settings (pattern, divide, clock, duty, amplitude).

Examples:
  korvelctl list
  korvelctl set pattern PRBS15 divide 4 clock on
  korvelctl set duty 2.5 amplitude 2.2
  korvelctl status
  korvelctl status --json
  korvelctl --simulate --sim-state unit.json set pattern prbs31
  korvelctl --simulate --sim-state unit.json --trace bus.vcd status

Environment: KORVEL_BACKEND=sim uses the simulated unit (as --simulate does);
KORVEL_SIM_STATE and KORVEL_SIM_TRACE name its state file and bus trace.
Exit status: 0 success, 64 bad arguments (nothing sent), 69 unit not found.)";

constexpr const char* kSetHelp = R"(Settings, applied in the order given:
  pattern NAME|CODE  PRBS7, PRBS9, PRBS11, PRBS15, PRBS17, PRBS20, PRBS23, PRBS29,
                     PRBS31 or Clock (any letter case), or the code 1 to 10
  divide N           sync (trigger) output divide ratio, 1 to 256
  clock on|off       clock output 1
  duty VOLTS         duty-cycle DAC level, 1.8 to 3.3 V (DAC volts, not percent)
  amplitude VOLTS    data-amplitude DAC level, 1.8 to 2.7 V

Example: korvelctl set pattern PRBS15 divide 4 clock on duty 2.5 amplitude 2.2)";

struct Options {
    bool simulate = false;
    std::string sim_state;
    std::string trace;
    bool json = false;
    std::vector<std::string> set_words;
};

// The backend reads these at the first driver call, so they are set before anything else runs.
void select_backend(const Options& o, std::ostream& err) {
    if (o.simulate) setenv("KORVEL_BACKEND", "sim", 1);
    if (!o.sim_state.empty()) setenv("KORVEL_SIM_STATE", o.sim_state.c_str(), 1);
    if (!o.trace.empty()) setenv("KORVEL_SIM_TRACE", o.trace.c_str(), 1);
    const char* backend = std::getenv("KORVEL_BACKEND");
    const bool simulated = backend != nullptr && std::string_view(backend) == "sim";
    if (!simulated && (!o.sim_state.empty() || !o.trace.empty()))
        err << "korvelctl: note: --sim-state and --trace apply to the simulated unit only "
               "(add --simulate)\n";
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    Options o;
    CLI::App app{"korvelctl: set, list and read back a KORVEL PRBS generator.", "korvelctl"};
    app.footer(kExamples);
    app.require_subcommand(1, 1);
    app.fallthrough();
    app.add_flag("--simulate", o.simulate, "Use the simulated unit (KORVEL_BACKEND=sim)");
    app.add_option("--sim-state", o.sim_state,
                   "The simulated unit's state file (KORVEL_SIM_STATE): loaded at start, saved "
                   "on close")
        ->type_name("FILE");
    app.add_option("--trace", o.trace,
                   "Write the simulated unit's pin changes as a Value Change Dump "
                   "(KORVEL_SIM_TRACE)")
        ->type_name("FILE");

    CLI::App* set = app.add_subcommand("set", "Open the unit, apply settings in order, close it");
    set->footer(kSetHelp);
    set->add_option("settings", o.set_words, "Keyword-value pairs, see below")
        ->type_name("SETTING VALUE");
    CLI::App* list = app.add_subcommand("list", "List the attached FTDI devices, marking the unit");
    CLI::App* status = app.add_subcommand(
        "status", "Read the unit back: pattern, divide ratio, clock output, levels");
    status->add_flag("--json", o.json, "Print the status as JSON");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);  // --help
        err << "korvelctl: " << e.what() << "\nRun korvelctl --help for usage.\n";
        return kExitUsage;
    }

    std::vector<Setting> settings;
    if (set->parsed()) {
        auto parsed = parse_settings(o.set_words);
        if (auto* message = std::get_if<std::string>(&parsed)) {
            err << "korvelctl: " << *message << "\n";
            return kExitUsage;
        }
        settings = std::get<std::vector<Setting>>(parsed);
    }

    select_backend(o, err);
    if (set->parsed()) return run_set(settings, out, err);
    if (list->parsed()) return run_list(out, err);
    return run_status(o.json, out, err);
}

}  // namespace korvelctl
