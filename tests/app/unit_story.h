// What the simulated unit saw on its I2C bus, told as one line per register access: "E2 read",
// "E2.F0=FE" (expander 2, register 0xF0 written with 0xFE), "DAC2=3475" (logical DAC channel 2,
// volatile) or "DAC3=2978 stored". The status-register selects and reads inside a pin write are
// left out: they carry no decision of the program.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/analog_controls.h"
#include "app/unit_controls.h"
#include "app_fixture.h"
#include "mcp4728/mcp4728.h"
#include "unit/unit_map.h"

namespace korvel::testing {

inline std::string hex2(int v) {
    char b[4];
    std::snprintf(b, sizeof b, "%02X", v & 0xFF);
    return b;
}

inline std::vector<std::string> unit_story() {
    using Kind = sim::BusEvent::Kind;
    std::vector<std::vector<int>> transactions;
    for (const sim::BusEvent& e : sim::usb().board().bus_log()) {
        if (e.kind == Kind::Start) transactions.emplace_back();
        if (transactions.empty()) continue;
        if (e.kind == Kind::RepeatedStart) transactions.back().push_back(-1);
        if (e.kind == Kind::Byte) transactions.back().push_back(e.value);
    }
    std::vector<std::string> story;
    for (const auto& t : transactions) {
        if (t.empty()) continue;
        const int address = t[0];
        if ((address & 0xF1) == 0xA0) {  // expander, write address
            const std::string chip = "E" + std::to_string((address >> 1) & 7);
            if (t.size() == 6 && t[1] == 0xF8 && t[2] == -1) {
                story.push_back(chip + " read");
            } else if (t.size() == 3) {
                story.push_back(chip + "." + hex2(t[1]) + "=" + hex2(t[2]));
            } else if (t.size() != 2) {
                story.push_back(chip + " ?");
            }
        } else if ((address & 0xFD) == 0xC0 && t.size() == 4) {  // DAC write
            const int channel = ((address >> 1) & 1) * 4 + ((t[1] >> 1) & 3);
            const int code = ((t[2] & 0x0F) << 8) | t[3];
            const bool stored = (t[1] & 0xF8) == 0x58;
            story.push_back("DAC" + std::to_string(channel) + "=" + std::to_string(code) +
                            (stored ? " stored" : ""));
        } else if ((address & 0xF1) != 0xA1) {  // expander reads of a pin write's status
            story.push_back("? " + hex2(address));
        }
    }
    return story;
}

// The state of the unit a test compares against what the controls show.
inline int expander_pins(int chip) {
    return sim::usb().board().expander(chip).pins();
}
inline int dac_code(int logical_channel) {
    return sim::usb().board().dac(logical_channel / 4).channels[logical_channel % 4].code;
}
inline int dac_stored_code(int logical_channel) {
    return sim::usb().board().dac(logical_channel / 4).channels[logical_channel % 4].eeprom_code;
}

// What the main panel (and More Features while open) show, as the unit must hold it once it is
// present: pattern code, divide-ratio byte, both levels, the FPGA reset and calibration lines low
// and the error-injection switch.
inline void expect_unit_shows_controls() {
    using namespace korvel::app;
    int data_select = -1, pattern_box = 0, eye = 0, injection = 0;
    double duty = 0, amplitude = 0;
    GetCtrlVal(main_panel, PANELMAIN_DATA_SELECT, &data_select);
    GetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, &pattern_box);
    GetCtrlVal(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, &eye);
    GetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, &duty);
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &amplitude);
    if (more_panel_open) GetCtrlVal(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, &injection);
    const std::uint8_t ratio = pattern_box ? unit::kDividePrbs7Pattern
                               : eye       ? unit::kDivideEyeDiagram
                                     : divide_ratio_byte(settings.DivideBy, alternate_variant());

    EXPECT_EQ(expander_pins(unit::kPatternChip) & unit::kPatternCodeMask, data_select);
    EXPECT_EQ(expander_pins(unit::kDividerChip) & 0xFF, ratio);
    EXPECT_EQ(dac_code(unit::kDutyCycleChannel),
              static_cast<int>(dac_code_for(static_cast<float>(duty_volts_from_percent(duty)))));
    EXPECT_EQ(
        dac_code(unit::kAmplitudeChannel),
        static_cast<int>(dac_code_for(static_cast<float>(amplitude_volts_from_mv(amplitude)))));
    EXPECT_EQ(expander_pins(unit::kFpgaResetChip) >> unit::kFpgaResetPin & 1, 0);
    EXPECT_EQ(expander_pins(unit::kPatternChip) >> unit::kCalibrationModePin & 1, 0);
    EXPECT_EQ(expander_pins(unit::kSwitchChip) >> unit::kErrorInjectionPin & 1, injection);
}

}  // namespace korvel::testing
