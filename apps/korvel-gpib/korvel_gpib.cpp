#include "korvel_gpib.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "gpib/backend_select.h"
#include "gpib/console.h"
#include "gpib/instrument_routines.h"
#include "gpib/sim_bench.h"
#include "platform/clock.h"
#include "sim_fail_option.h"

namespace korvel_gpib {
namespace {

namespace gpib = korvel::gpib;

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
Exit status: 0 no GPIB call failed, 1 a call failed, 64 bad arguments.)";

struct Options {
    bool simulate = false;
    std::vector<std::string> faults;
    std::string instrument;
    std::vector<std::string> words;
};

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

struct Routines {
    std::function<void()> open;
    std::function<void()> close;
};

Routines routines_for(const std::string& instrument) {
    if (instrument == "siggen") return {gpib::GPIB_Init_SigGen, gpib::GPIB_Dismiss_SigGen};
    if (instrument == "scope") return {gpib::GPIB_Init_Scope, gpib::GPIB_Dismiss_Scope};
    return {gpib::GPIB_Init_ErrorDetector, gpib::GPIB_Dismiss_ErrorDetector};
}

void print_reply(std::ostream& out) {
    const std::string reply = gpib::gpib_reply;
    out << reply;
    if (reply.empty() || reply.back() != '\n') out << '\n';
}

// The process-wide state the routines use, set up for one run and put back afterwards.
class RunScope {
  public:
    RunScope(std::istream& in, std::ostream& out) {
        gpib::set_console(
            {[&out](std::string_view text) { out.write(text.data(), text.size()).flush(); },
             [&in] { return in.get(); }});
        gpib::reset_instrument_routines();
        gpib::reset_failed_call_count();
    }
    ~RunScope() {
        if (&korvel::platform::clock() == &clock_) korvel::platform::set_clock(nullptr);
        gpib::set_console({});
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    void select(gpib::BackendKind kind) {
        // The simulated bench runs on virtual time: its time-outs and the report's pause are
        // counted, not waited.
        if (kind == gpib::BackendKind::Sim) korvel::platform::set_clock(&clock_);
        gpib::select_backend(kind);
    }

  private:
    korvel::platform::VirtualClock clock_;
};

}  // namespace

int run(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err) {
    Options o;
    CLI::App app{
        "korvel-gpib: drive the four GPIB bench instruments (Samp, SigGen, Scope, "
        "ErrorDetector).",
        "korvel-gpib"};
    app.require_subcommand(1, 1);
    app.fallthrough();
    app.add_flag("--simulate", o.simulate, "Use the simulated bench instead of libgpib.so.0");
    app.add_option("--sim-fail", o.faults,
                   "Make every matching call on the simulated bench fail, e.g. ibwrt:2:scope "
                   "(no listener on the scope); may be given more than once")
        ->type_name("CALL:ERRCODE[:INSTRUMENT]");

    CLI::App* init = app.add_subcommand("init", "Open and clear all four instruments (GPIB_Init)");
    CLI::App* dismiss =
        app.add_subcommand("dismiss", "Open all four, then take them offline (GPIB_Dismiss)");
    CLI::App* idn = app.add_subcommand("idn", "Print Samp's identity (ID_Instrument_Samp)");
    CLI::App* write = app.add_subcommand("write", "Send a command to siggen or scope");
    write->add_option("instrument", o.instrument, "siggen or scope")
        ->required()
        ->check(CLI::IsMember({"siggen", "scope"}));
    write->add_option("text", o.words, "The command; several words are joined with blanks")
        ->required();
    CLI::App* query =
        app.add_subcommand("query", "Send a query to scope or errdet, print the reply");
    query->add_option("instrument", o.instrument, "scope or errdet")
        ->required()
        ->check(CLI::IsMember({"scope", "errdet"}));
    query->add_option("text", o.words, "The query; several words are joined with blanks")
        ->required();

    app.footer(kFooter);  // after the subcommands, which would take it over

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);  // --help
        err << "korvel-gpib: " << e.what() << "\nRun korvel-gpib --help for usage.\n";
        return kExitUsage;
    }

    std::vector<gpib::SimFault> faults;
    for (const std::string& option : o.faults) {
        auto parsed = parse_sim_fail(option);
        if (auto* message = std::get_if<std::string>(&parsed)) {
            err << "korvel-gpib: " << *message << "\n";
            return kExitUsage;
        }
        faults.push_back(std::get<gpib::SimFault>(parsed));
    }

    RunScope scope(in, out);
    const gpib::BackendKind kind =
        o.simulate ? gpib::BackendKind::Sim : gpib::backend_kind_from_environment();
    if (!faults.empty() && kind != gpib::BackendKind::Sim) {
        err << "korvel-gpib: --sim-fail applies to the simulated bench only (add --simulate)\n";
        return kExitUsage;
    }
    scope.select(kind);
    for (const gpib::SimFault& f : faults) gpib::sim_bench()->inject(f);

    const std::string text = joined(o.words);
    if (init->parsed()) {
        gpib::GPIB_Init();
    } else if (dismiss->parsed()) {
        gpib::GPIB_Init();
        gpib::GPIB_Dismiss();
    } else if (idn->parsed()) {
        gpib::GPIB_Init_Samp();
        gpib::ID_Instrument_Samp();
        gpib::GPIB_Dismiss_Samp();
    } else {
        const Routines r = routines_for(o.instrument);
        r.open();
        if (write->parsed()) {
            (o.instrument == "siggen" ? gpib::writeSigGen : gpib::writeScope)(text.c_str());
        } else {
            (o.instrument == "scope" ? gpib::queryScope : gpib::queryErrorDetector)(text.c_str());
            print_reply(out);
        }
        r.close();
    }
    return gpib::failed_call_count() > 0 ? kExitCallFailed : kExitOk;
}

}  // namespace korvel_gpib
