#include "status_report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace korvelctl {

namespace {

using korvel::api::UnitReadback;
using korvel::api::UnitStatus;

std::string format(const char* fmt, auto... args) {
    char line[160];
    std::snprintf(line, sizeof line, fmt, args...);
    return line;
}

// The expander pins korvelctl set leaves alone sit where the unit powered up with them. Out of
// the factory that is high (released) for all of them; the front-panel program drives them low
// when it connects, and the expanders keep the levels written over a power cycle.
constexpr const char* kPowerUpNote =
    "                    A unit powers up so until the front-panel program first sets it up:\n"
    "                    out of the factory the FPGA reset line, error injection and calibration\n"
    "                    mode all read high. korvelctl set leaves them alone; the program sets\n"
    "                    them low (normal running) when it connects, and the unit keeps that\n"
    "                    over power cycles.\n";

std::string pattern_words(const UnitStatus& s) {
    if (s.pattern_name)
        return format("%s (code %d)", std::string(*s.pattern_name).c_str(), s.pattern_code);
    return format("unknown (code %d)", s.pattern_code);
}

}  // namespace

std::string status_text(const UnitReadback& readback, const std::optional<FpgaMemories>& fpga) {
    const UnitStatus s = korvel::api::interpret(readback);
    std::string out;
    out += "pattern:            " + pattern_words(s) + "\n";
    out += format("divide-ratio byte:  0x%02X (ratio %d)\n", s.divide_byte, s.divide_ratio);
    out += format("clock output 1:     %s\n", s.clock_output1_on ? "on" : "off");
    out += format("error injection:    %s\n",
                  s.error_injection_on ? "on (errors injected, or data inverted)" : "off");
    out += format("duty-cycle level:   %.3f V (DAC code %u)\n", s.duty_volts, s.duty_code);
    out +=
        format("amplitude level:    %.3f V (DAC code %u)\n", s.amplitude_volts, s.amplitude_code);
    out += format("phase fields:       %d and %d\n", s.phase_mph, s.phase_aph);
    out += format("FPGA reset line:    %s\n",
                  s.fpga_reset ? "high (the FPGA is held in reset)" : "low (normal running)");
    out += format("calibration mode:   %s\n", s.calibration_mode ? "on" : "off");
    if (s.fpga_reset) out += kPowerUpNote;
    if (fpga) out += fpga_text(*fpga);
    return out;
}

std::string status_json(const UnitReadback& readback, const std::optional<FpgaMemories>& fpga) {
    const UnitStatus s = korvel::api::interpret(readback);
    nlohmann::json j;
    j["pattern"] = {{"code", s.pattern_code},
                    {"name", s.pattern_name ? nlohmann::json(std::string(*s.pattern_name))
                                            : nlohmann::json(nullptr)}};
    j["divide_ratio"] = {{"byte", s.divide_byte}, {"ratio", s.divide_ratio}};
    j["clock_output1"] = s.clock_output1_on;
    j["error_injection"] = s.error_injection_on;
    j["duty_cycle"] = {{"volts", s.duty_volts}, {"code", s.duty_code}};
    j["amplitude"] = {{"volts", s.amplitude_volts}, {"code", s.amplitude_code}};
    j["phase_fields"] = {s.phase_mph, s.phase_aph};
    j["fpga_reset"] = s.fpga_reset;
    j["calibration_mode"] = s.calibration_mode;
    j["raw"] = {{"expanders",
                 {{"2", readback.expander2}, {"3", readback.expander3}, {"7", readback.expander7}}},
                {"dacs", {{"0", readback.dac0}, {"1", readback.dac1}}}};
    if (fpga) j["fpga"] = fpga_json(*fpga);
    return j.dump(2) + "\n";
}

}  // namespace korvelctl
