#include "readback_check.h"

#include <cstdio>

#include "mcp4728/mcp4728.h"
#include "unit/unit_map.h"

namespace korvelctl {

namespace {

std::string differs(const char* what, long found, long wanted) {
    char line[128];
    std::snprintf(line, sizeof line, "%s reads back as %ld, not %ld", what, found, wanted);
    return line;
}

// The setting's own mismatch, if any.
std::optional<std::string> check(const Setting& s, const korvel::api::UnitStatus& unit) {
    switch (s.kind) {
        case Setting::Kind::Pattern:
            // prbs_select writes the whole byte, so the phase fields beside the code are 0.
            if (unit.pattern_code != s.number || unit.phase_mph != 0 || unit.phase_aph != 0)
                return differs("the pattern byte",
                               unit.pattern_code | unit.phase_mph << korvel::unit::kPhaseMphShift |
                                   unit.phase_aph << korvel::unit::kPhaseAphShift,
                               s.number);
            break;
        case Setting::Kind::Divide:
            if (unit.divide_ratio != s.number)
                return differs("the divide ratio", unit.divide_ratio, s.number);
            break;
        case Setting::Kind::Clock:
            if (unit.clock_output1_on != (s.number == 1))
                return std::string("clock output 1 reads back as ") +
                       (unit.clock_output1_on ? "on" : "off");
            break;
        case Setting::Kind::Duty:
            if (unit.duty_code != korvel::dac_code_for(s.volts))
                return differs("the duty-cycle DAC code", unit.duty_code,
                               korvel::dac_code_for(s.volts));
            break;
        case Setting::Kind::Amplitude:
            if (unit.amplitude_code != korvel::dac_code_for(s.volts))
                return differs("the amplitude DAC code", unit.amplitude_code,
                               korvel::dac_code_for(s.volts));
            break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> readback_mismatch(const std::vector<Setting>& settings,
                                             const korvel::api::UnitStatus& unit) {
    for (std::size_t i = 0; i < settings.size(); ++i) {
        bool overridden = false;
        for (std::size_t later = i + 1; later < settings.size(); ++later)
            overridden = overridden || settings[later].kind == settings[i].kind;
        if (overridden) continue;
        if (auto mismatch = check(settings[i], unit)) return mismatch;
    }
    return std::nullopt;
}

}  // namespace korvelctl
