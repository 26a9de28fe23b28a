// korvelctl's command line: any argument list is either a request whose every value is in range
// or an answer with a defined exit status and text, and reading it changes nothing outside (no
// environment variable, no driver call: the harness links none of the driver).
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "api/level_limits.h"
#include "argv.h"
#include "command_line.h"
#include "exit_codes.h"

namespace {

using korvelctl::Answer;
using korvelctl::Command;
using korvelctl::Request;
using korvelctl::Setting;

void check(bool ok) {
    if (!ok) std::abort();
}

bool in_range(const Setting& s) {
    namespace api = korvel::api;
    switch (s.kind) {
        case Setting::Kind::Pattern:
            return s.number >= 1 && s.number <= 10;
        case Setting::Kind::Divide:
            return s.number >= 1 && s.number <= 256;
        case Setting::Kind::Clock:
            return s.number == 0 || s.number == 1;
        case Setting::Kind::Duty:
            return s.volts >= static_cast<float>(api::kDutyCycleMinVolts) &&
                   s.volts <= static_cast<float>(api::kDutyCycleMaxVolts);
        case Setting::Kind::Amplitude:
            return s.volts >= static_cast<float>(api::kAmplitudeMinVolts) &&
                   s.volts <= static_cast<float>(api::kAmplitudeMaxVolts);
    }
    return false;
}

bool one_message(std::string_view err) {
    return err.starts_with("korvelctl: ") && err.ends_with("\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const korvel::fuzz::Argv args("korvelctl", {data, size});
    const auto parsed = korvelctl::parse_command_line(args.argc(), args.argv());
    check(std::getenv("KORVEL_BACKEND") == nullptr && std::getenv("KORVEL_SIM_STATE") == nullptr &&
          std::getenv("KORVEL_SIM_TRACE") == nullptr);

    if (const auto* answer = std::get_if<Answer>(&parsed)) {
        if (answer->status == 0)
            check(!answer->out.empty() && answer->err.empty());
        else
            check(answer->status == korvelctl::kExitUsage && answer->out.empty() &&
                  one_message(answer->err));
        return 0;
    }
    const Request& r = std::get<Request>(parsed);
    check(r.command != Command::Set || !r.settings.empty());
    check(r.command == Command::Set || r.settings.empty());
    for (const Setting& s : r.settings) check(in_range(s));
    check((r.command == Command::LoadPattern || r.command == Command::LoadMask) || r.file.empty());
    check(r.command == Command::Status || !r.json);
    return 0;
}
