#include "soak/soak_checks.h"

#include <cstdio>

#include "app/analog_controls.h"
#include "app/safe_file.h"
#include "app/settings_files.h"
#include "app/settings_format.h"
#include "app/state.h"
#include "app/unit_controls.h"
#include "korvel/sim/usb.h"
#include "mcp4728/mcp4728.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"
#include "unit/unit_map.h"

namespace korvel::soak {
namespace {

constexpr std::size_t kSettingsReadLimit = 1u << 20;
constexpr int kSettingsCount = 12;

int main_value(int control) {
    int v = 0;
    GetCtrlVal(app::main_panel, control, &v);
    return v;
}

float main_level(int control) {
    float v = 0.0f;
    GetCtrlVal(app::main_panel, control, &v);
    return v;
}

std::string hex(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%02X", v);
    return b;
}

void compare(std::vector<std::string>& out, const char* what, int unit, int shown) {
    if (unit != shown)
        out.push_back(std::string(what) + ": unit " + hex(unit) + ", controls " + hex(shown));
}

// The divide-ratio value the trigger-mode controls stand for, or -1 when none is chosen (a
// configuration may name none).
int shown_divide_value() {
    if (main_value(PANELMAIN_PATTERN_BOX)) return unit::kDividePrbs7Pattern;
    if (main_value(PANELMAIN_EYE_DIAGRAM_BOX)) return unit::kDivideEyeDiagram;
    if (app::settings.Manual == 1) return app::settings.DivideBy;
    return -1;
}

int dac_code(int logical_channel) {
    return sim::usb().board().dac(logical_channel / 4).channels[logical_channel % 4].code;
}

}  // namespace

std::vector<std::string> unit_differences(const Excusals& excused) {
    std::vector<std::string> out;
    sim::Board& board = sim::usb().board();
    const int divider_pins = board.expander(unit::kDividerChip).pins();
    const int switch_pins = board.expander(unit::kSwitchChip).pins();
    const int pattern_pins = board.expander(unit::kPatternChip).pins();

    const int divide = shown_divide_value();
    if (!excused.divide_byte && divide >= 0)
        compare(out, "divide-ratio byte (expander 2 IO0-IO7)", divider_pins & 0xFF,
                app::divide_ratio_byte(divide, app::alternate_variant()));
    if (!excused.reset_pin)
        compare(out, "FPGA reset (expander 2 IO8)", (divider_pins >> unit::kFpgaResetPin) & 1, 0);
    compare(out, "clock output 1 disable (expander 3 IO0)",
            (switch_pins >> unit::kClockOutput1Pin) & 1,
            main_value(PANELMAIN_CLOCKOUT1_BUTTON) ^ 1);
    if (!excused.pattern_code)
        compare(out, "pattern code (expander 7 IO0-IO3)", pattern_pins & unit::kPatternCodeMask,
                main_value(PANELMAIN_DATA_SELECT) & unit::kPatternCodeMask);
    if (!excused.calibration_pin)
        compare(out, "calibration mode (expander 7 IO8)",
                (pattern_pins >> unit::kCalibrationModePin) & 1, 0);
    if (!excused.duty_level)
        compare(out, "duty-cycle DAC code", dac_code(unit::kDutyCycleChannel),
                static_cast<int>(dac_code_for(static_cast<float>(
                    app::duty_volts_from_percent(main_level(PANELMAIN_DUTY_CYCLE))))));
    compare(out, "amplitude DAC code", dac_code(unit::kAmplitudeChannel),
            static_cast<int>(dac_code_for(
                static_cast<float>(app::amplitude_volts_from_mv(main_level(PANELMAIN_MUX_AMP))))));
    return out;
}

std::vector<std::string> program_faults() {
    std::vector<std::string> out;
    if (const auto n = sim::usb().invalid_handle_calls(); n != 0)
        out.push_back(std::to_string(n) + " driver call(s) with a closed or unknown handle");
    std::string text;
    if (app::read_regular_file(app::kSettingsFile, kSettingsReadLimit, &text)) {
        app::GeneratorSettings s{};
        const int read = app::parse_settings(text, s);
        if (read != kSettingsCount || text.rfind(app::kSettingsHeader, 0) != 0)
            out.push_back("settings.cfg does not parse (" + std::to_string(read) +
                          " of 12 settings read)");
    }
    return out;
}

}  // namespace korvel::soak
