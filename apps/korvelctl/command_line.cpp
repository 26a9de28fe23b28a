#include "command_line.h"

#include <CLI/CLI.hpp>

#include "exit_codes.h"
#include "parse_messages.h"

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
  korvelctl load-pattern pattern.txt
  korvelctl load-mask mask.txt
  korvelctl --simulate --sim-state unit.json set pattern prbs31
  korvelctl --simulate --sim-state unit.json --trace bus.vcd status

Environment: KORVEL_BACKEND=sim uses the simulated unit (as --simulate does);
KORVEL_SIM_STATE and KORVEL_SIM_TRACE name its state file and bus trace.

set reads the expander pins and DAC codes back after applying the settings, and status checks
that the unit is still there after reading it: a unit unplugged meanwhile is reported, never
taken for success.

The simulated unit's state file must be a regular file that may be written (a symbolic link
to one is followed and the link kept; the file keeps its permissions), or not exist yet, in a
folder where a new file can be made. The trace may also be a FIFO; it cannot be the state file.
While a command has the simulated unit open it holds the state file, so another program
finds the unit in use, as one real unit can be open in one program only.

Exit status:
  0   done (after set: every setting read back from the unit)
  64  bad arguments, a pattern or mask file that cannot be used, or a state file or
      trace path that cannot be used; nothing was sent
  69  unit not found, in use by another program, or disconnected during the command
  74  the simulated unit could not save its state file or write its trace)";

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
mode. --json prints the same as one JSON object, with the raw bytes under "raw". On the
simulated unit it also tells what the FPGA memories hold: the pattern words last loaded, and
the error mask's errors per 256 bits, period and width ("fpga" in JSON).

Examples:
  korvelctl status
  korvelctl --simulate --sim-state unit.json status --json > status.json)";

constexpr const char* kLoadPatternHelp =
    R"(The file is text: every '0' and '1' is one pattern bit, everything else (blanks, line
ends, other digits, letters) is skipped. Bits fill 256-bit words in order, at most 4096 words
(the rest of the file is not read). Only complete words are loaded; a file without one, or
larger than 64 MiB, is refused. The unit plays the pattern while its pattern select is Custom Data (code 11, set
from the program's Pattern Select; the exported functions and korvelctl set stop at code 10).

Example: korvelctl --simulate --sim-state unit.json load-pattern pattern.txt)";

constexpr const char* kLoadMaskHelp =
    R"(The file is text: the pulse period, then the pulse width, as decimal integers (0 to
4294967295, counted in 256-bit blocks), then 256 mask bits as '0' (no error) and '1' (error),
everything else skipped. During `width` blocks of every `period` blocks the mask is XORed into
the data while error injection is on. A period or width of 0 is taken as 1, a width above the
period as the period. A file that does not begin with the two numbers, has fewer than 256
mask bits, or is larger than 64 MiB, is refused.

Example: korvelctl --simulate --sim-state unit.json load-mask mask.txt)";

}  // namespace

std::variant<Request, Answer> parse_command_line(int argc, const char* const* argv) {
    Request r;
    std::vector<std::string> set_words;
    CLI::App app{
        "korvelctl: set, list and read back a KORVEL PRBS generator, and load its custom "
        "pattern and error mask.",
        "korvelctl"};
    app.footer(kExamples);
    app.require_subcommand(1, 1);
    app.fallthrough();
    app.set_version_flag("--version", "korvelctl " KORVEL_VERSION);
    app.add_flag("--simulate", r.simulate, "Use the simulated unit (KORVEL_BACKEND=sim)");
    app.add_option("--sim-state", r.sim_state,
                   "The simulated unit's state file (KORVEL_SIM_STATE): read when the unit is "
                   "opened, saved when it is closed if it changed")
        ->type_name("FILE");
    app.add_option("--trace", r.trace,
                   "Write the simulated unit's pin changes as a Value Change Dump "
                   "(KORVEL_SIM_TRACE)")
        ->type_name("FILE");

    CLI::App* set = app.add_subcommand("set", "Open the unit, apply settings in order, close it");
    set->footer(kSetHelp);
    set->add_option("settings", set_words, "Keyword-value pairs, see below")
        ->type_name("SETTING VALUE");
    CLI::App* list = app.add_subcommand("list", "List the attached FTDI devices, marking the unit");
    list->footer(kListHelp);
    CLI::App* status = app.add_subcommand(
        "status", "Read the unit back: pattern, divide ratio, clock output, levels");
    status->footer(kStatusHelp);
    status->add_flag("--json", r.json, "Print the status as JSON");
    CLI::App* load_pattern = app.add_subcommand(
        "load-pattern", "Load a custom test pattern from a text file into the unit's FPGA");
    load_pattern->footer(kLoadPatternHelp);
    load_pattern->add_option("file", r.file, "Pattern text file")->required()->type_name("FILE");
    CLI::App* load_mask = app.add_subcommand(
        "load-mask", "Load an error-injection mask, period and width from a text file");
    load_mask->footer(kLoadMaskHelp);
    load_mask->add_option("file", r.file, "Error-mask text file")->required()->type_name("FILE");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return korvel::cli::help_answer(app, e);  // --help, --version
        const std::string words =
            refused_words_message(std::vector<std::string>(argv + 1, argv + argc), app.remaining(),
                                  !app.get_subcommands().empty(), set->parsed());
        return Answer{kExitUsage, "",
                      "korvelctl: " + (words.empty() ? std::string(e.what()) : words) +
                          "\nRun korvelctl --help for usage.\n"};
    }

    if (set->parsed()) {
        auto parsed = parse_settings(set_words);
        if (auto* message = std::get_if<std::string>(&parsed))
            return Answer{kExitUsage, "", "korvelctl: " + *message + "\n"};
        r.command = Command::Set;
        r.settings = std::move(std::get<std::vector<Setting>>(parsed));
    } else if (list->parsed()) {
        r.command = Command::List;
    } else if (load_pattern->parsed()) {
        r.command = Command::LoadPattern;
    } else if (load_mask->parsed()) {
        r.command = Command::LoadMask;
    } else {
        r.command = Command::Status;
    }
    return r;
}

}  // namespace korvelctl
