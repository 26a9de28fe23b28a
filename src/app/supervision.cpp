#include "app/supervision.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <string>

#include "app/analog_controls.h"
#include "app/state.h"
#include "app/unit_controls.h"
#include "ds4520/ds4520.h"
#include "link/usb_link.h"
#include "mcp4728/mcp4728.h"
#include "platform/user_interface.h"
#include "resource/catalogue.h"
#include "resource/main_uir.h"
#include "unit/unit_map.h"

namespace korvel::app {

namespace {

void show_connection(bool connected) {
    SetCtrlVal(main_panel, PANELMAIN_NOTIFY_USER,
               connected ? "USB CONNECTED" : "USB NOT CONNECTED");
    SetCtrlAttribute(main_panel, PANELMAIN_NOTIFY_USER, ATTR_TEXT_COLOR,
                     connected ? VAL_DK_GREEN : VAL_DK_RED);
    // A unit that is plugged in but may not be opened by this user says how to fix that, in
    // place of the resource's tooltip.
    const std::string hint = connected ? std::string() : usb_permission_hint();
    const std::string tooltip =
        hint.empty()
            ? std::string(resource::find_control(PANELMAIN, PANELMAIN_NOTIFY_USER)->tooltip)
            : hint;
    SetCtrlAttribute(main_panel, PANELMAIN_NOTIFY_USER, ATTR_TOOLTIP_TEXT, tooltip.c_str());
}

// The serial as text (the link's field need not be terminated) and as a decimal number read the
// way "%d" reads it: leading blanks, a sign, digits. A serial that does not begin with a number,
// or one beyond an int, leaves the number as it was.
std::string serial_text() {
    return std::string(device_serial, strnlen(device_serial, sizeof device_serial));
}

void read_serial_number(const std::string& serial) {
    std::size_t i = 0;
    while (i < serial.size() && std::isspace(static_cast<unsigned char>(serial[i]))) ++i;
    if (i < serial.size() && serial[i] == '+') ++i;
    int value = 0;
    const char* begin = serial.data() + i;
    const auto [end, ec] = std::from_chars(begin, serial.data() + serial.size(), value);
    if (ec == std::errc() && end != begin) unit_serial_number = value;
}

// A freshly opened unit gets the operator's setup, read from the main panel's controls.
void send_setup_after_reconnect() {
    show_connection(true);
    send_panel_setup();
    const std::string serial = serial_text();
    SetCtrlVal(main_panel, PANELMAIN_DEVICE_SN, serial);
    read_serial_number(serial);
}

// A unit that a reopen found without its setup gets it once more as the operator left it: the
// configuration does not count as changed, and the levels' EEPROM store is armed again only for
// a unit that lost its levels (one that kept them keeps its countdown as it was).
void resend_setup() {
    const bool levels_lost = setup_resend == kSetupResendWithLevels;
    const int countdown = dac_store_countdown;
    const unsigned char changed = settings_changed;
    send_panel_setup();
    if (!levels_lost) dac_store_countdown = countdown;
    settings_changed = changed;
}

void check_presence() {
    unit_present = static_cast<unsigned char>(usb_aliveQ());
    // A unit unplugged and plugged back between two ticks is listed at both, but its handle died
    // with it and the unit powered up without the setup. Only a request on the handle tells, so
    // one pin read per tick asks; a dead handle is then noted and the unit opened afresh below.
    if (unit_present && last_unit_present && usb_handle_usable()) usb_input();
    // A unit that is listed while the link has lost it (unplugged and back between two ticks, or
    // a reopen that failed) is treated as one that has just appeared: it is opened afresh.
    const bool lost_while_listed = unit_present && last_unit_present && !usb_handle_usable();
    if (unit_present == last_unit_present && !lost_while_listed) {
        if (!unit_present)
            show_connection(false);
        else if (setup_resend == kSetupResendAsked || setup_resend == kSetupResendWithLevels)
            resend_setup();
        return;
    }
    last_unit_present = unit_present;
    if (!unit_present) {
        // The handle stays as it is; a returning unit is opened afresh.
        show_connection(false);
    } else if (init_usb() != 1) {
        last_unit_present = 0;  // the next tick tries again
        show_connection(false);
    } else {
        send_setup_after_reconnect();
    }
}

// Ten ticks after the last level change both levels are written once more in stored mode, so
// the unit powers up with them. An absent unit misses the store; it is not repeated.
void deferred_dac_store() {
    if (dac_store_countdown == 0) return;
    if (--dac_store_countdown != 0) return;
    dac_write(unit::kAmplitudeChannel, settings.DataAmplitudeControl, unit::kStoredWrite);
    dac_write(unit::kDutyCycleChannel, settings.DutyCycleControl, unit::kStoredWrite);
}

void dim_setup_indicator_after_change() {
    if (settings_changed != 1) return;
    SetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 1);
    settings_changed = 2;
}

}  // namespace

int CVICALLBACK CBTimer(int /*panel*/, int /*control*/, int /*event*/, void* /*callbackData*/,
                        int /*eventData1*/, int /*eventData2*/) {
    check_presence();
    deferred_dac_store();
    dim_setup_indicator_after_change();
    return 0;
}

void send_panel_setup() {
    setup_resend = kSetupResendSending;
    CB_DAC(main_panel, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, nullptr, 0, 0);
    apply_amplitude_from_slide();  // arms the deferred store and marks the settings changed

    int pattern = 0, eye = 0;
    GetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, &pattern);
    if (pattern == 1) divider(main_panel, PANELMAIN_PATTERN_BOX, EVENT_COMMIT, nullptr, 0, 0);
    GetCtrlVal(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, &eye);
    if (eye == 1) divider(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, EVENT_COMMIT, nullptr, 0, 0);
    // In manual mode the unit gets the manual ratio the More Features panel shows.
    if (settings.Manual == 1) send_manual_divide_ratio();

    FPGA(main_panel, PANELMAIN_DATA_SELECT, EVENT_COMMIT, nullptr, 0, 0);
    // Normal running: FPGA reset line and calibration mode low.
    DS4520_IO_write(unit::kFpgaResetChip, unit::kFpgaResetPin, 0);
    DS4520_IO_write(unit::kPatternChip, unit::kCalibrationModePin, 0);
    general_purpose_IO(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    // Clock output 1 as its button shows it: a change made while the unit was away never reached
    // it, and a unit that comes back from its EEPROM copy may hold an older state.
    general_purpose_IO(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    setup_resend = kSetupResendNone;
}

}  // namespace korvel::app
