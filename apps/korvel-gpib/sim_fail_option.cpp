#include "sim_fail_option.h"

#include <charconv>
#include <vector>

#include "gpib/error_codes.h"
#include "gpib/instrument_routines.h"

namespace korvel_gpib {

using korvel::gpib::SimFault;

int instrument_address(std::string_view name) {
    if (name == "samp") return korvel::gpib::kSampAddress;
    if (name == "siggen") return korvel::gpib::kSigGenAddress;
    if (name == "scope") return korvel::gpib::kScopeAddress;
    if (name == "errdet") return korvel::gpib::kErrorDetectorAddress;
    return -1;
}

namespace {

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = s.find(separator);
        parts.push_back(s.substr(0, at));
        if (at == std::string_view::npos) return parts;
        s.remove_prefix(at + 1);
    }
}

bool parse_error_code(std::string_view text, int& code) {
    if (auto named = korvel::gpib::error_code_from_name(text)) {
        code = *named;
        return true;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, code);
    return ec == std::errc() && ptr == end && code >= 0 && code <= 99;
}

}  // namespace

std::variant<SimFault, std::string> parse_sim_fail(std::string_view option) {
    const std::string shown = "--sim-fail " + std::string(option);
    const auto parts = split(option, ':');
    if (parts.size() < 2 || parts.size() > 3)
        return shown + ": expected CALL:ERRCODE or CALL:ERRCODE:INSTRUMENT";
    SimFault fault;
    const auto call = korvel::gpib::parse_call_name(parts[0]);
    if (!call)
        return shown + ": unknown call \"" + std::string(parts[0]) +
               "\" (ibdev, ibclr, ibonl, ibwrt or ibrd)";
    fault.call = *call;
    if (!parse_error_code(parts[1], fault.error))
        return shown + ": bad error code \"" + std::string(parts[1]) +
               "\" (0 to 99, or a name such as ENOL)";
    if (parts.size() == 3) {
        const int address = instrument_address(parts[2]);
        if (address < 0)
            return shown + ": unknown instrument \"" + std::string(parts[2]) +
                   "\" (samp, siggen, scope or errdet)";
        fault.address = address;
    }
    return fault;
}

}  // namespace korvel_gpib
