#include "remote/main_panel_commands.h"

#include <array>
#include <string_view>

#include "app/state.h"
#include "remote/control_commands.h"
#include "remote/operator_steps.h"
#include "resource/main_uir.h"
#include "scpi/mnemonic.h"
#include "unit/unit_map.h"

namespace korvel::remote {
namespace {

// The Pattern Select ring's items, in its list order, as SCPI words.
constexpr std::array<std::string_view, 12> kPatternWords = {
    "PRBS6",  "PRBS7",  "PRBS9",  "PRBS11", "PRBS15", "PRBS17",
    "PRBS20", "PRBS23", "PRBS29", "PRBS31", "CLOCk",  "CUSTom",
};
static_assert(kPatternWords.size() == unit::kPatternCodes.size());
static_assert(unit::kPatternCodes[10].name == "Clock" &&
              unit::kPatternCodes[11].name == "Custom Data");

// The amplitude is set in millivolts; the duty cycle in percent.
constexpr std::array<scpi::Unit, 3> kAmplitudeUnits = {{{"V", 1000.0}, {"MV", 1.0}, {"UV", 0.001}}};
constexpr std::array<scpi::Unit, 1> kDutyCycleUnits = {{{"PCT", 1.0}}};

}  // namespace

scpi::Fault set_pattern(CommandCall& call) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    std::size_t index = 0;
    if (auto f = scpi::read_choice(call.parameters[0], kPatternWords, &index)) return f;
    return choose_item(app::main_panel, PANELMAIN_DATA_SELECT, static_cast<int>(index));
}

scpi::Fault query_pattern(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    const int code = static_cast<int>(control_value(app::main_panel, PANELMAIN_DATA_SELECT));
    for (std::size_t i = 0; i < unit::kPatternCodes.size(); ++i)
        if (unit::kPatternCodes[i].code == code) call.reply = scpi::short_form(kPatternWords[i]);
    return std::nullopt;
}

scpi::Fault set_duty_cycle(CommandCall& call) {
    return set_control_number(call, app::main_panel, PANELMAIN_DUTY_CYCLE, "SOURce:DCYCle",
                              kDutyCycleUnits);
}

scpi::Fault query_duty_cycle(CommandCall& call) {
    return query_control_number(call, app::main_panel, PANELMAIN_DUTY_CYCLE, "SOURce:DCYCle");
}

scpi::Fault set_amplitude(CommandCall& call) {
    return set_control_number(call, app::main_panel, PANELMAIN_MUX_AMP, "SOURce:AMPLitude",
                              kAmplitudeUnits);
}

scpi::Fault query_amplitude(CommandCall& call) {
    return query_control_number(call, app::main_panel, PANELMAIN_MUX_AMP, "SOURce:AMPLitude");
}

scpi::Fault set_clock_output(CommandCall& call) {
    return set_control_switch(call, app::main_panel, PANELMAIN_CLOCKOUT1_BUTTON);
}

scpi::Fault query_clock_output(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    reply_switch(call, control_value(app::main_panel, PANELMAIN_CLOCKOUT1_BUTTON) != 0.0);
    return std::nullopt;
}

scpi::Fault reset_fpga(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    return press(app::main_panel, PANELMAIN_RST_FPGA);
}

}  // namespace korvel::remote
