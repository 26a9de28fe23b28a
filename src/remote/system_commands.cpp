#include "remote/system_commands.h"

#include <cctype>
#include <string>
#include <string_view>

#include "app/shell.h"
#include "app/state.h"
#include "app/supervision.h"
#include "app/unit_controls.h"
#include "platform/user_interface.h"
#include "remote/control_commands.h"
#include "remote/operator_steps.h"
#include "resource/catalogue.h"
#include "resource/main_uir.h"

namespace korvel::remote {
namespace {

constexpr std::string_view kMaker = "MORLIDEX";
constexpr std::string_view kModel = "KORVEL";

// "V 1.4.0" as the version field of *IDN?: "1.4.0".
std::string firmware_version() {
    std::string_view v = app::PROGRAM_VERSION;
    while (!v.empty() && !std::isdigit(static_cast<unsigned char>(v.front()))) v.remove_prefix(1);
    return std::string(v);
}

// The serial as the main panel shows it while the unit is connected, "0" otherwise. Only
// characters that cannot break the reply's comma-separated fields are kept.
std::string serial_field(int main_panel) {
    if (!unit_connected(main_panel)) return "0";
    std::string serial;
    for (char c : control_text(main_panel, PANELMAIN_DEVICE_SN))
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.')
            serial += c;
    return serial.empty() ? "0" : serial;
}

const resource::ControlDef& resource_control(int panel_id, int control) {
    return *resource::find_control(panel_id, control);
}

void reset_main_control(int main_panel, int control) {
    SetCtrlVal(main_panel, control, resource_control(PANELMAIN, control).value);
}

}  // namespace

Identity identity(int main_panel) {
    return {std::string(kMaker), std::string(kModel), serial_field(main_panel), firmware_version()};
}

scpi::Fault identify(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.reply = std::string(kMaker) + "," + std::string(kModel) + "," +
                 serial_field(call.main_panel) + "," + firmware_version();
    return std::nullopt;
}

scpi::Fault reset(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    reset_to_defaults(call.main_panel);
    return std::nullopt;
}

scpi::Fault operation_complete(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.reply = "1";
    return std::nullopt;
}

scpi::Fault clear_status(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.status.clear();
    return std::nullopt;
}

scpi::Fault next_error(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.reply = scpi::error_reply(call.errors.pop());
    return std::nullopt;
}

scpi::Fault query_connected(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    reply_switch(call, unit_connected(call.main_panel));
    return std::nullopt;
}

void reset_to_defaults(int main_panel) {
    for (int c : {PANELMAIN_DUTY_CYCLE, PANELMAIN_MUX_AMP, PANELMAIN_PATTERN_BOX,
                  PANELMAIN_EYE_DIAGRAM_BOX, PANELMAIN_CLOCKOUT1_BUTTON})
        reset_main_control(main_panel, c);
    SetCtrlIndex(main_panel, PANELMAIN_DATA_SELECT,
                 resource_control(PANELMAIN, PANELMAIN_DATA_SELECT).selected_index);

    // More Features: its ratio and polarity come from the settings set when it opens.
    app::settings.DivideBy =
        static_cast<int>(resource_control(PANELMORE, PANELMORE_DIVIDE_RATIO_CONTROL).value);
    app::settings.Polarity =
        static_cast<int>(resource_control(PANELMORE, PANELMORE_INV_DATA_BUTTON).value);
    if (app::more_panel_open) {
        for (int c : {PANELMORE_ERROR_INJ_ON_BUTTON, PANELMORE_INV_DATA_BUTTON})
            SetCtrlVal(app::more_panel, c, resource_control(PANELMORE, c).value);
    }

    // The PRBS7-pattern trigger box is checked by default, so this also leaves manual mode.
    app::send_panel_setup();
    app::CLOCK_OUT_1_BUTTON(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    app::invert_data(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
}

}  // namespace korvel::remote
