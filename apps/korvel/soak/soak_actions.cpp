#include "soak/soak_actions.h"

#include <cmath>
#include <vector>

#include "app/calibration_window.h"
#include "app/state.h"
#include "korvel/sim/usb.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/catalogue.h"
#include "resource/main_uir.h"

namespace korvel::soak {
namespace {

using resource::ControlDef;
using resource::ControlKind;
using resource::DataType;

// Copies of the calibration window open at once; it has no open flag and would pile up.
constexpr int kMostCalibrationWindows = 2;
constexpr double kOutOfRangeShare = 0.1;

std::string name_of(int panel, const ControlDef& def) {
    const resource::PanelDef* p = resource::find_panel(platform::panel_resource_id(panel));
    return std::string(p != nullptr ? p->constant : "?") + "_" + std::string(def.constant);
}

bool is(int panel, int handle, int control, int id) {
    return panel == handle && control == id;
}

bool operable(int panel, const ControlDef& def) {
    switch (def.kind) {
        case ControlKind::Led:
        case ControlKind::TextMessage:
        case ControlKind::Decoration:
        case ControlKind::Timer:
            return false;
        default:
            break;
    }
    if (def.callback.empty() && def.kind != ControlKind::CheckBox) return false;
    if (is(panel, app::main_panel, def.id, PANELMAIN_CMDQUIT)) return false;
    if (platform::panel_resource_id(panel) == PANELDEBUG && def.id == PANELDEBUG_CHECKBOX_DAC_Sweep)
        return false;
    int visible = 1;
    GetCtrlAttribute(panel, def.id, ATTR_VISIBLE, &visible);
    return visible != 0;
}

// A number for a numeric control: mostly inside its present range, sometimes beyond either end.
double number_for(int panel, const ControlDef& def, SoakRandom& random) {
    double lo = def.has_range ? def.min : -1000.0, hi = def.has_range ? def.max : 100000.0;
    GetCtrlAttribute(panel, def.id, ATTR_MIN_VALUE, &lo);
    GetCtrlAttribute(panel, def.id, ATTR_MAX_VALUE, &hi);
    const double span = hi - lo;
    double v = random.chance(kOutOfRangeShare) ? random.between(lo - span, hi + span)
                                               : random.between(lo, hi);
    if (def.type != DataType::Float && def.type != DataType::Double) v = std::round(v);
    return v;
}

std::string text_for(int panel, const ControlDef& def, SoakRandom& random) {
    static constexpr char kCalMarks[] = "x/.? .x";
    static constexpr char kAny[] = "abc 019.,-+xX/?\t";
    const bool cal =
        platform::panel_resource_id(panel) == PANELDEBUG && def.id == PANELDEBUG_CAL_RESULTS;
    const char* pool = cal ? kCalMarks : kAny;
    const int pool_size = static_cast<int>(cal ? sizeof kCalMarks : sizeof kAny) - 1;
    std::string text(static_cast<std::size_t>(random.below(cal ? 24 : 40)), ' ');
    for (char& c : text) c = pool[random.below(pool_size)];
    return text;
}

// Which unit fields the control takes over from, or gives back to, the main controls.
void note_excusals(int panel, int control, Excusals& excused) {
    using namespace app;
    if (panel == main_panel) {
        if (control == PANELMAIN_SET_DIVIDE_RATIO) excused.divide_byte = true;
        if (control == PANELMAIN_PATTERN_BOX || control == PANELMAIN_EYE_DIAGRAM_BOX)
            excused.divide_byte = false;
        if (control == PANELMAIN_RST_FPGA) excused.reset_pin = false;
        if (control == PANELMAIN_DATA_SELECT) excused.pattern_code = false;
        if (control == PANELMAIN_DUTY_CYCLE) excused.duty_level = false;
    } else if (panel == more_panel && more_panel_open) {
        if (control == PANELMORE_MANUAL_CTRL_BOX || control == PANELMORE_DIVIDE_RATIO_CONTROL)
            excused.divide_byte = false;
    } else if (panel == debug_panel && debug_panel_open) {
        switch (control) {
            case PANELDEBUG_GP_9:
                excused.reset_pin = true;
                break;
            case PANELDEBUG_GP_8:
                excused.calibration_pin = true;
                break;
            case PANELDEBUG_GP_0:
            case PANELDEBUG_GP_1:
            case PANELDEBUG_GP_2:
            case PANELDEBUG_GP_3:
                excused.pattern_code = true;
                break;
            case PANELDEBUG_FREQUENCY_SCANNED:
            case PANELDEBUG_NEXT_FREQ_BUTTON:
                excused.duty_level = true;
                break;
            default:
                break;
        }
    }
}

std::string operate(int panel, const ControlDef& def, SoakRandom& random, Excusals& excused) {
    std::string what = name_of(panel, def);
    int rc = 0;
    switch (def.kind) {
        case ControlKind::CommandButton:
            // The diagnostics would run the half-hour sweep if a stored record ticked its box.
            if (platform::panel_resource_id(panel) == PANELDEBUG && def.id == PANELDEBUG_DIAG_GO) {
                int sweep = 0;
                GetCtrlVal(panel, PANELDEBUG_CHECKBOX_DAC_Sweep, &sweep);
                if (sweep != 0) return what + " left alone (DAC_Sweep ticked)";
            }
            what += " pressed";
            rc = platform::operate_ctrl(panel, def.id);
            break;
        case ControlKind::CheckBox:
        case ControlKind::ToggleButton: {
            const int v = random.below(2);
            what += " set to " + std::to_string(v);
            rc = platform::operate_ctrl(panel, def.id, v, EVENT_COMMIT);
            break;
        }
        case ControlKind::Numeric:
        case ControlKind::NumericSlide: {
            const double v = number_for(panel, def, random);
            what += " set to " + std::to_string(v);
            if (def.kind == ControlKind::NumericSlide) {
                rc = platform::operate_ctrl(panel, def.id, v, EVENT_VAL_CHANGED);
                // The slide may be let go (commit) or the panel may be gone by now.
                if (rc >= 0 && random.chance(0.6) && platform::panel_loaded(panel))
                    rc = platform::operate_ctrl(panel, def.id, v, EVENT_COMMIT);
            } else {
                rc = platform::operate_ctrl(panel, def.id, v, EVENT_COMMIT);
            }
            break;
        }
        case ControlKind::Ring:
        case ControlKind::RingSlide: {
            const int index = random.below(static_cast<int>(def.items.size()));
            what += " item " + std::to_string(index);
            if (def.kind == ControlKind::RingSlide)
                rc = platform::operate_ring_index(panel, def.id, index, EVENT_VAL_CHANGED);
            if (rc >= 0 && platform::panel_loaded(panel))
                rc = platform::operate_ring_index(panel, def.id, index, EVENT_COMMIT);
            break;
        }
        default: {
            const std::string text = text_for(panel, def, random);
            what += " typed \"" + text + "\"";
            rc = platform::operate_ctrl_text(panel, def.id, text, EVENT_COMMIT);
            break;
        }
    }
    if (rc < 0) return what + " (refused " + std::to_string(rc) + ")";
    note_excusals(panel, def.id, excused);
    return what;
}

ActionResult operate_some_control(SoakRandom& random, Excusals& excused) {
    std::vector<int> panels;
    for (int p : platform::loaded_panels())
        if (platform::panel_displayed(p)) panels.push_back(p);
    if (panels.empty()) return {"no window open"};
    const int panel =
        panels[static_cast<std::size_t>(random.below(static_cast<int>(panels.size())))];
    const resource::PanelDef* def = resource::find_panel(platform::panel_resource_id(panel));
    std::vector<const ControlDef*> controls;
    for (const ControlDef& c : def->controls)
        if (operable(panel, c)) controls.push_back(&c);
    if (controls.empty()) return {"nothing to operate on " + std::string(def->constant)};
    const ControlDef& c =
        *controls[static_cast<std::size_t>(random.below(static_cast<int>(controls.size())))];
    return {operate(panel, c, random, excused)};
}

ActionResult choose_menu(SoakRandom& random, Excusals& /*excused*/) {
    static constexpr int kItems[] = {MENUBAR_MENU1_FILEOPEN,     MENUBAR_MENU1_SAVECONFIG,
                                     MENUBAR_MOREFEATURES,       MENUBAR_HELP,
                                     MENUBAR_EEPROM_WriteEEPROM, MENUBAR_EEPROM_ReadEEPROM};
    const int item = kItems[random.below(static_cast<int>(std::size(kItems)))];
    const auto* entry = resource::find_menu_item(item);
    const std::string label(entry != nullptr ? entry->label : resource::find_menu(item)->label);
    platform::choose_menu_item(app::main_panel, item);
    return {"menu " + label};
}

ActionResult press_some_key(SoakRandom& random, Excusals& excused) {
    using namespace app;
    if (!debug_panel_open || random.chance(0.3)) {
        platform::press_key(main_panel, VAL_F9_VKEY);
        return {"F9 on the main window"};
    }
    static constexpr int kKeys[] = {
        'x', '/',         '.', '?', 'X', VAL_INSERT_VKEY, VAL_UP_ARROW_VKEY, VAL_BACKSPACE_VKEY,
        'a', VAL_F12_VKEY};
    const int key = kKeys[random.below(static_cast<int>(std::size(kKeys)))];
    SetActiveCtrl(debug_panel, PANELDEBUG_CAL_RESULTS);
    platform::press_key(debug_panel, key);
    // F12 is "Next", which sets the duty cycle from the frequency table.
    if (key == VAL_F12_VKEY) note_excusals(debug_panel, PANELDEBUG_NEXT_FREQ_BUTTON, excused);
    return {"key " + std::to_string(key) + " in Cal Results"};
}

ActionResult wheel_on_slide(SoakRandom& random, Excusals& excused) {
    const int control = random.chance(0.5) ? PANELMAIN_DUTY_CYCLE : PANELMAIN_MUX_AMP;
    const int kind = random.below(4);
    platform::scroll_wheel(app::main_panel, control, kind);
    if (control == PANELMAIN_DUTY_CYCLE) excused.duty_level = false;
    return {"wheel " + std::to_string(kind) + " on " +
            (control == PANELMAIN_DUTY_CYCLE ? "DUTY_CYCLE" : "MUX_AMP")};
}

// Plugs the unit in or pulls it out; a unit plugged in comes now and then with the other USB
// description the unit may carry.
ActionResult move_cable(SoakRandom& random, Excusals& /*excused*/) {
    sim::Board& board = sim::usb().board();
    if (board.attached()) {
        board.detach();
        return {"unit unplugged", true};
    }
    if (random.chance(0.1))
        board.description = board.description == "ZEVA_KORVEL" ? "ZEVA~KORVEL" : "ZEVA_KORVEL";
    board.attach();
    return {"unit plugged in as " + board.description, true};
}

ActionResult open_calibration_window(SoakRandom& random, Excusals& excused) {
    int copies = 0;
    for (int p : platform::loaded_panels())
        if (platform::panel_resource_id(p) == PANELCAL) ++copies;
    if (copies >= kMostCalibrationWindows) return operate_some_control(random, excused);
    app::calibrate();
    return {"calibration window opened"};
}

}  // namespace

ActionResult perform_random_action(SoakRandom& random, Excusals& excused) {
    const int roll = random.below(100);
    if (roll < 72) return operate_some_control(random, excused);
    if (roll < 82) return choose_menu(random, excused);
    if (roll < 88) return press_some_key(random, excused);
    if (roll < 92) return wheel_on_slide(random, excused);
    if (roll < 97) return move_cable(random, excused);
    return open_calibration_window(random, excused);
}

}  // namespace korvel::soak
