// korvel-gpib's command line: any argument list is either a request naming an instrument its
// command can reach and faults the simulated bench knows, or an answer with a defined exit status
// and text. Reading it makes no GPIB call and loads no library: the harness links neither, and
// the two calls the simulated bench's file needs from them abort here if they are ever made.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "argv.h"
#include "command_line.h"
#include "korvel_gpib.h"
#include "sim_fail_option.h"

void Delay(double) {
    std::abort();
}
namespace korvel::gpib {
double timeout_seconds(int) {
    std::abort();
}
}  // namespace korvel::gpib

namespace {

using korvel_gpib::Answer;
using korvel_gpib::Command;
using korvel_gpib::Request;

void check(bool ok) {
    if (!ok) std::abort();
}

bool instrument_fits(const Request& r) {
    switch (r.command) {
        case Command::Write:
            return r.instrument == "siggen" || r.instrument == "scope";
        case Command::Query:
            return r.instrument == "scope" || r.instrument == "errdet";
        case Command::Init:
        case Command::Dismiss:
        case Command::Idn:
            return r.instrument.empty() && r.text.empty();
    }
    return false;
}

bool known_address(int address) {
    for (const char* name : {"samp", "siggen", "scope", "errdet"})
        if (korvel_gpib::instrument_address(name) == address) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const korvel::fuzz::Argv args("korvel-gpib", {data, size});
    const auto parsed = korvel_gpib::parse_command_line(args.argc(), args.argv());
    if (const auto* answer = std::get_if<Answer>(&parsed)) {
        if (answer->status == korvel_gpib::kExitOk)
            check(!answer->out.empty() && answer->err.empty());
        else
            check(answer->status == korvel_gpib::kExitUsage && answer->out.empty() &&
                  std::string_view(answer->err).starts_with("korvel-gpib: ") &&
                  answer->err.ends_with("\n"));
        return 0;
    }
    const Request& r = std::get<Request>(parsed);
    check(instrument_fits(r));
    for (const auto& f : r.faults) {
        check(f.error >= 0 && f.error <= 99);
        check(!f.address || known_address(*f.address));
        check(f.times == -1);
    }
    return 0;
}
