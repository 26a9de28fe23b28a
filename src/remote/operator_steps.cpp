#include "remote/operator_steps.h"

#include "app/state.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/catalogue.h"
#include "resource/main_uir.h"

namespace korvel::remote {
namespace {

using resource::ControlKind;
using resource::DataType;

scpi::Fault refused(int result) {
    if (result >= 0) return std::nullopt;
    if (result == UIEControlDimmed)
        return scpi::Error{scpi::kSettingsConflict, "the control is dimmed on the panel"};
    return scpi::Error{scpi::kExecutionError, "the panel refused the input"};
}

bool whole_type(DataType t) {
    return t == DataType::Int || t == DataType::UnsignedInt;
}

scpi::NumberRange range_of(const resource::ControlDef& def, std::string_view name) {
    scpi::NumberRange r;
    r.min = def.min;
    r.max = def.max;
    r.def = def.value;
    r.whole = whole_type(def.type);
    r.name = name;
    return r;
}

}  // namespace

scpi::Fault type_value(int panel, int control, double value) {
    const resource::ControlDef* def = platform::control_def(panel, control);
    if (def != nullptr && def->kind == ControlKind::NumericSlide) {
        if (auto f = refused(platform::operate_ctrl(panel, control, value, EVENT_VAL_CHANGED)))
            return f;
        // The callback may have closed the panel.
        if (!platform::panel_loaded(panel)) return std::nullopt;
    }
    return refused(platform::operate_ctrl(panel, control, value, EVENT_COMMIT));
}

scpi::Fault choose_item(int panel, int control, int index) {
    return refused(platform::operate_ring_index(panel, control, index, EVENT_COMMIT));
}

scpi::Fault press(int panel, int control) {
    return refused(platform::operate_ctrl(panel, control, EVENT_COMMIT));
}

scpi::NumberRange control_range(int panel, int control, std::string_view name) {
    const resource::ControlDef* def = platform::control_def(panel, control);
    if (def == nullptr) return scpi::NumberRange{};
    scpi::NumberRange r = range_of(*def, name);
    GetCtrlAttribute(panel, control, ATTR_MIN_VALUE, &r.min);
    GetCtrlAttribute(panel, control, ATTR_MAX_VALUE, &r.max);
    return r;
}

scpi::NumberRange resource_range(int panel_id, int control, std::string_view name) {
    const resource::ControlDef* def = resource::find_control(panel_id, control);
    return def != nullptr ? range_of(*def, name) : scpi::NumberRange{};
}

bool whole_numbers(int panel, int control) {
    const resource::ControlDef* def = platform::control_def(panel, control);
    return def != nullptr && whole_type(def->type);
}

double control_value(int panel, int control, double fallback) {
    double v = fallback;
    GetCtrlVal(panel, control, &v);
    return v;
}

std::string control_text(int panel, int control) {
    std::string text;
    GetCtrlVal(panel, control, &text);
    return text;
}

bool open_more_features(int main_panel) {
    if (!app::more_panel_open) platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES);
    return app::more_panel_open != 0;
}

bool open_error_injection_setup(int main_panel) {
    if (!open_more_features(main_panel)) return false;
    if (!app::err_panel_open) press(app::more_panel, PANELMORE_ERROR_INJECTION);
    return app::err_panel_open != 0;
}

bool unit_connected(int main_panel) {
    return control_text(main_panel, PANELMAIN_NOTIFY_USER) == "USB CONNECTED";
}

}  // namespace korvel::remote
