#include "command_line.h"

#include <CLI/CLI.hpp>

#include "korvel_gpib.h"
#include "sim_fail_option.h"

namespace korvel_gpib {
namespace {

constexpr const char* kFooter =
    R"(Each command opens (ibdev, ibclr) the instruments it needs, runs its routine and
takes them offline again (ibonl); a failed call prints the GPIB error report and waits
for Return (end of input counts as Return), then the command carries on.
Instruments on board 0: samp 8, siggen 19, scope 9, errdet 5.

Examples:
  korvel-gpib --simulate idn
  korvel-gpib --simulate query scope "TIMEBASE?"
  korvel-gpib --simulate write siggen "FREQ 2.5E9"
  korvel-gpib --simulate --sim-fail ibwrt:ENOL:scope query scope "DATA?" < /dev/null
  korvel-gpib idn                      # real instruments, through libgpib.so.0

Environment: KORVEL_GPIB_BACKEND=sim uses the simulated bench (as --simulate does).
Exit status: 0 no GPIB call failed, 1 a call failed or libgpib.so.0 could not be
loaded (then no call is made), 64 bad arguments.)";

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

}  // namespace

std::variant<Request, Answer> parse_command_line(int argc, const char* const* argv) {
    Request r;
    std::vector<std::string> fault_options, words;
    CLI::App app{
        "korvel-gpib: drive the four GPIB bench instruments (Samp, SigGen, Scope, "
        "ErrorDetector).",
        "korvel-gpib"};
    app.require_subcommand(1, 1);
    app.fallthrough();
    app.set_version_flag("--version", "korvel-gpib " KORVEL_VERSION);
    app.add_flag("--simulate", r.simulate, "Use the simulated bench instead of libgpib.so.0");
    app.add_option("--sim-fail", fault_options,
                   "Make every matching call on the simulated bench fail, e.g. ibwrt:2:scope "
                   "(no listener on the scope); may be given more than once")
        ->type_name("CALL:ERRCODE[:INSTRUMENT]");

    CLI::App* init = app.add_subcommand("init", "Open and clear all four instruments (GPIB_Init)");
    CLI::App* dismiss =
        app.add_subcommand("dismiss", "Open all four, then take them offline (GPIB_Dismiss)");
    CLI::App* idn = app.add_subcommand("idn", "Print Samp's identity (ID_Instrument_Samp)");
    CLI::App* write = app.add_subcommand("write", "Send a command to siggen or scope");
    write->add_option("instrument", r.instrument, "siggen or scope")
        ->required()
        ->check(CLI::IsMember({"siggen", "scope"}));
    write->add_option("text", words, "The command; several words are joined with blanks")
        ->required();
    CLI::App* query =
        app.add_subcommand("query", "Send a query to scope or errdet, print the reply");
    query->add_option("instrument", r.instrument, "scope or errdet")
        ->required()
        ->check(CLI::IsMember({"scope", "errdet"}));
    query->add_option("text", words, "The query; several words are joined with blanks")->required();

    app.footer(kFooter);  // after the subcommands, which would take it over

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return korvel::cli::help_answer(app, e);  // --help, --version
        return Answer{
            kExitUsage, "",
            "korvel-gpib: " + std::string(e.what()) + "\nRun korvel-gpib --help for usage.\n"};
    }

    for (const std::string& option : fault_options) {
        auto parsed = parse_sim_fail(option);
        if (auto* message = std::get_if<std::string>(&parsed))
            return Answer{kExitUsage, "", "korvel-gpib: " + *message + "\n"};
        r.faults.push_back(std::get<korvel::gpib::SimFault>(parsed));
    }
    r.text = joined(words);
    if (init->parsed())
        r.command = Command::Init;
    else if (dismiss->parsed())
        r.command = Command::Dismiss;
    else if (idn->parsed())
        r.command = Command::Idn;
    else if (write->parsed())
        r.command = Command::Write;
    else
        r.command = Command::Query;
    return r;
}

}  // namespace korvel_gpib
