#include "remote/more_features_commands.h"

#include <array>
#include <string_view>

#include "app/state.h"
#include "app/unit_controls.h"
#include "remote/control_commands.h"
#include "remote/operator_steps.h"
#include "resource/main_uir.h"
#include "scpi/mnemonic.h"
#include "unit/unit_map.h"

namespace korvel::remote {
namespace {

constexpr std::string_view kDivideName = "TRIGger:DIVide";
constexpr std::array<std::string_view, 3> kModeWords = {"PATTern", "EYE", "MANual"};
constexpr std::array<std::string_view, 2> kPolarityWords = {"NORMal", "INVerted"};

scpi::Fault more_features(const CommandCall& call) {
    if (open_more_features(call.main_panel)) return std::nullopt;
    return scpi::Error{scpi::kExecutionError, "the More Features window did not open"};
}

// The choice's reply: the short form of its word.
void reply_word(CommandCall& call, std::string_view word) {
    call.reply = scpi::short_form(word);
}

}  // namespace

scpi::Fault set_trigger_mode(CommandCall& call) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    std::size_t mode = 0;
    if (auto f = scpi::read_choice(call.parameters[0], kModeWords, &mode)) return f;
    if (mode == 0) return type_value(call.main_panel, PANELMAIN_PATTERN_BOX, 1.0);
    if (mode == 1) return type_value(call.main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1.0);
    if (auto f = more_features(call)) return f;
    return type_value(app::more_panel, PANELMORE_MANUAL_CTRL_BOX, 1.0);
}

scpi::Fault query_trigger_mode(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    if (control_value(call.main_panel, PANELMAIN_PATTERN_BOX) != 0.0) {
        reply_word(call, kModeWords[0]);
    } else if (control_value(call.main_panel, PANELMAIN_EYE_DIAGRAM_BOX) != 0.0) {
        reply_word(call, kModeWords[1]);
    } else if (app::settings.Manual == 1) {
        reply_word(call, kModeWords[2]);
    } else {
        call.reply = "NONE";  // a configuration that selected no mode at all
    }
    return std::nullopt;
}

scpi::Fault set_divide_ratio(CommandCall& call) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    double ratio = 0.0;
    const scpi::NumberRange range =
        resource_range(PANELMORE, PANELMORE_DIVIDE_RATIO_CONTROL, kDivideName);
    if (auto f = scpi::read_number(call.parameters[0], range, &ratio)) return f;
    // The ratio field is dimmed outside manual mode: the operator chooses the mode first.
    if (app::settings.Manual != 1)
        return scpi::Error{scpi::kSettingsConflict, "TRIGger:DIVide needs TRIGger:MODE MANual"};
    if (auto f = more_features(call)) return f;
    return type_value(app::more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, ratio);
}

scpi::Fault query_divide_ratio(CommandCall& call) {
    const scpi::NumberRange range =
        resource_range(PANELMORE, PANELMORE_DIVIDE_RATIO_CONTROL, kDivideName);
    // The stored ratio is the one last sent (the ratio field hands every change to it); a value
    // out of range that a settings file brought reaches the unit as 256.
    double value = app::manual_ratio_in_force(app::settings.DivideBy);
    if (!call.parameters.empty()) {
        if (auto f = scpi::expect_count(call.parameters, 1)) return f;
        if (auto f = scpi::read_limit(call.parameters[0], range, &value)) return f;
    }
    call.reply = scpi::format_number(value, true);
    return std::nullopt;
}

scpi::Fault set_polarity(CommandCall& call) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    std::size_t inverted = 0;
    if (auto f = scpi::read_choice(call.parameters[0], kPolarityWords, &inverted)) return f;
    if (auto f = more_features(call)) return f;
    return type_value(app::more_panel, PANELMORE_INV_DATA_BUTTON, static_cast<double>(inverted));
}

scpi::Fault query_polarity(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    const double stored = app::settings.Polarity != 0 ? 1.0 : 0.0;
    const bool inverted =
        app::more_panel_open
            ? control_value(app::more_panel, PANELMORE_INV_DATA_BUTTON, stored) != 0.0
            : stored != 0.0;
    reply_word(call, kPolarityWords[inverted ? 1 : 0]);
    return std::nullopt;
}

scpi::Fault set_error_state(CommandCall& call) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    bool on = false;
    if (auto f = scpi::read_boolean(call.parameters[0], &on)) return f;
    if (auto f = more_features(call)) return f;
    return type_value(app::more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, on ? 1.0 : 0.0);
}

scpi::Fault query_error_state(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    reply_switch(call, app::more_panel_open &&
                           control_value(app::more_panel, PANELMORE_ERROR_INJ_ON_BUTTON) != 0.0);
    return std::nullopt;
}

}  // namespace korvel::remote
