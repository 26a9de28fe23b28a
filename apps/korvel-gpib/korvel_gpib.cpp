#include "korvel_gpib.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "command_line.h"
#include "gpib/backend_select.h"
#include "gpib/console.h"
#include "gpib/instrument_routines.h"
#include "gpib/linux_gpib/linux_gpib_backend.h"
#include "gpib/sim/sim_bench.h"
#include "base/clock.h"

namespace korvel_gpib {
namespace {

namespace gpib = korvel::gpib;

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

    // Makes `kind` the backend; the reason when it cannot be had ("" when it can).
    std::string select(gpib::BackendKind kind, const std::string& library) {
        if (kind == gpib::BackendKind::Sim) {
            // The simulated bench runs on virtual time: its time-outs and the report's pause are
            // counted, not waited.
            korvel::platform::set_clock(&clock_);
            gpib::select_backend(kind);
            return "";
        }
        // Without its library every call of the real bench would fail, each with its report and
        // a second's pause: rather make no call at all.
        auto real = std::make_unique<gpib::LinuxGpibBackend>(library);
        if (!real->loaded()) return real->load_problem();
        gpib::select_backend(std::move(real));
        return "";
    }

  private:
    korvel::platform::VirtualClock clock_;
};

}  // namespace

int run(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
        const std::string& gpib_library) {
    auto parsed = parse_command_line(argc, argv);
    if (const auto* answer = std::get_if<Answer>(&parsed))
        return korvel::cli::give(*answer, out, err);
    const Request& r = std::get<Request>(parsed);

    RunScope scope(in, out);
    const gpib::BackendKind kind =
        r.simulate ? gpib::BackendKind::Sim : gpib::backend_kind_from_environment();
    if (!r.faults.empty() && kind != gpib::BackendKind::Sim) {
        err << "korvel-gpib: --sim-fail applies to the simulated bench only (add --simulate)\n";
        return kExitUsage;
    }
    if (const std::string problem = scope.select(kind, gpib_library); !problem.empty()) {
        err << "korvel-gpib: " << problem << " No GPIB call was made.\n";
        return kExitCallFailed;
    }
    for (const gpib::SimFault& f : r.faults) gpib::sim_bench()->inject(f);

    switch (r.command) {
        case Command::Init:
            gpib::GPIB_Init();
            gpib::GPIB_Dismiss();
            break;
        case Command::Dismiss:
            gpib::GPIB_Init();
            gpib::GPIB_Dismiss();
            break;
        case Command::Idn:
            gpib::GPIB_Init_Samp();
            gpib::ID_Instrument_Samp();
            gpib::GPIB_Dismiss_Samp();
            break;
        case Command::Write:
        case Command::Query: {
            const Routines routines = routines_for(r.instrument);
            routines.open();
            if (r.command == Command::Write) {
                (r.instrument == "siggen" ? gpib::writeSigGen : gpib::writeScope)(r.text.c_str());
            } else {
                (r.instrument == "scope" ? gpib::queryScope
                                         : gpib::queryErrorDetector)(r.text.c_str());
                print_reply(out);
            }
            routines.close();
            break;
        }
    }
    return gpib::failed_call_count() > 0 ? kExitCallFailed : kExitOk;
}

}  // namespace korvel_gpib
