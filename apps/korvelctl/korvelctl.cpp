#include "korvelctl.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "commands.h"
#include "exit_codes.h"
#include "settings_parser.h"
#include "sim_files.h"

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

constexpr const char* kListHelp =
    R"(One line per FTDI device: index, USB description, serial number; the unit is the
device described as ZEVA_KORVEL or ZEVA~KORVEL. On Linux the descriptions come from
sysfs and need no permission; elsewhere a device the user may not open shows an empty
description. A device showing the FT232R's default strings ("FT232R USB UART") may be
a unit whose EEPROM was damaged: README.md, "Recovering a unit", says how to repair it.

Example: korvelctl --simulate list)";

constexpr const char* kStatusHelp =
    R"(Reads the expander pins and the DAC registers over the unit's bus and prints the
pattern, the divide-ratio byte, clock output 1, the error injection / polarity pin, the
duty-cycle and amplitude levels, the phase fields, the FPGA reset line and calibration
mode. --json prints the same as one JSON object, with the raw bytes under "raw".

Examples:
  korvelctl status
  korvelctl --simulate --sim-state unit.json status --json > status.json)";

struct Options {
    bool simulate = false;
    std::string sim_state;
    std::string trace;
    bool json = false;
    std::vector<std::string> set_words;
};

// The backend reads these at the first driver call, so they are set before anything else runs.
// Returns whether the simulated unit is in use.
bool select_backend(const Options& o, std::ostream& err) {
    if (o.simulate) setenv("KORVEL_BACKEND", "sim", 1);
    if (!o.sim_state.empty()) setenv("KORVEL_SIM_STATE", o.sim_state.c_str(), 1);
    if (!o.trace.empty()) setenv("KORVEL_SIM_TRACE", o.trace.c_str(), 1);
    const char* backend = std::getenv("KORVEL_BACKEND");
    const bool simulated = backend != nullptr && std::string_view(backend) == "sim";
    if (!simulated && (!o.sim_state.empty() || !o.trace.empty()))
        err << "korvelctl: note: --sim-state and --trace apply to the simulated unit only "
               "(add --simulate)\n";
    return simulated;
}

// A word where the command belongs that is none of the commands (a typing error such as "lisst").
std::optional<std::string> unknown_command(const CLI::App& app) {
    if (!app.get_subcommands().empty()) return std::nullopt;
    for (const auto& word : app.remaining())
        if (!word.empty() && word[0] != '-') return word;
    return std::nullopt;
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
    list->footer(kListHelp);
    CLI::App* status = app.add_subcommand(
        "status", "Read the unit back: pattern, divide ratio, clock output, levels");
    status->footer(kStatusHelp);
    status->add_flag("--json", o.json, "Print the status as JSON");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);  // --help
        if (auto word = unknown_command(app))
            err << "korvelctl: unknown command '" << *word
                << "', the commands are set, list and status";
        else
            err << "korvelctl: " << e.what();
        err << "\nRun korvelctl --help for usage.\n";
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

    if (select_backend(o, err)) {
        if (auto problem = sim_file_problem(!o.sim_state.empty(), !o.trace.empty())) {
            err << "korvelctl: " << *problem << "\n";
            return kExitUsage;
        }
    }
    if (set->parsed()) return run_set(settings, out, err);
    if (list->parsed()) return run_list(out, err);
    return run_status(o.json, out, err);
}

}  // namespace korvelctl
