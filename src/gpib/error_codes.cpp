#include "gpib/error_codes.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "gpib/ni488.h"

namespace korvel::gpib {
namespace {

constexpr std::array<ErrorCodeText, 21> kCodes = {{
    {EDVR, "EDVR", "Driver error"},
    {ECIC, "ECIC", "Not Controller-In-Charge"},
    {ENOL, "ENOL", "No Listener"},
    {EADR, "EADR", "Address error"},
    {EARG, "EARG", "Invalid argument"},
    {ESAC, "ESAC", "Not System Controller"},
    {EABO, "EABO", "Operation aborted"},
    {ENEB, "ENEB", "No GPIB board"},
    {EOIP, "EOIP", "Async I/O in progress"},
    {ECAP, "ECAP", "No capability"},
    {EFSO, "EFSO", "File system error"},
    {EBUS, "EBUS", "Command error"},
    {ESTB, "ESTB", "Status byte lost"},
    {ESRQ, "ESRQ", "SRQ stuck on"},
    {ETAB, "ETAB", "Table Overflow"},
    {ELCK, "ELCK", "Lock error"},
    {EARM, "EARM", "Ibnotify rearm error"},
    {EHDL, "EHDL", "Invalid Handle"},
    {EWIP, "EWIP", "Wait already in progress"},
    {ERST, "ERST", "Notification cancelled due to reset"},
    {EPWR, "EPWR", "Power error"},
}};

}  // namespace

const ErrorCodeText* error_code_text(int code) {
    const auto it = std::find_if(kCodes.begin(), kCodes.end(),
                                 [code](const ErrorCodeText& e) { return e.code == code; });
    return it != kCodes.end() ? &*it : nullptr;
}

std::optional<int> error_code_from_name(std::string_view name) {
    for (const ErrorCodeText& e : kCodes) {
        const std::string_view known = e.name;
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(), [](char k, char n) {
                return k == std::toupper(static_cast<unsigned char>(n));
            }))
            return e.code;
    }
    return std::nullopt;
}

}  // namespace korvel::gpib
