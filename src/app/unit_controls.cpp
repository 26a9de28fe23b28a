#include "app/unit_controls.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

#include "app/analog_controls.h"
#include "app/pattern_panels.h"
#include "app/state.h"
#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "link/usb_link.h"
#include "mcp4728/mcp4728.h"
#include "mcp4728/mcp4728_readback.h"
#include "platform/user_interface.h"
#include "resource/catalogue.h"
#include "resource/main_uir.h"
#include "unit/unit_map.h"

namespace korvel::app {

namespace {

constexpr const char* kResource = "main.uir";
constexpr int kLightPink = 0xFFCCCC;
constexpr std::uint32_t kContinuousMask = 0xFFFFFFFF;

// The Pattern Select ring lists the unit's codes in the unit map's order, with the same labels.
consteval bool ring_matches_pattern_codes() {
    const auto& items = resource::data::kDataSelectItems;
    if (std::size(items) != unit::kPatternCodes.size()) return false;
    for (std::size_t i = 0; i < unit::kPatternCodes.size(); ++i)
        if (items[i].label != unit::kPatternCodes[i].name ||
            items[i].value != unit::kPatternCodes[i].code)
            return false;
    return true;
}
static_assert(ring_matches_pattern_codes());

std::uint8_t reverse_bits(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1u << i)) r |= static_cast<std::uint8_t>(0x80u >> i);
    return r;
}

// After a reopen: whether the unit's expanders hold something other than what the program last
// wrote to them, as they do when the unit powered up afresh without the setup. The chip being
// written may hold what it held before (`before`, -1 when unknown) or its new byte.
bool expanders_lost_setup(int chip, int before, std::uint8_t byte) {
    for (int c : unit::kExpanderChips) {
        const int expected = c == chip ? before : DS4520_bank0_written(c);
        if (expected < 0) continue;
        const int pins = DS4520_IO_read(c) & 0xFF;
        if (pins != expected && !(c == chip && pins == byte)) return true;
    }
    return false;
}

// After a reopen: whether the DAC outputs of the two levels hold other codes than the settings
// set's levels give (a unit that powered up with its EEPROM copies).
bool levels_lost() {
    const std::pair<int, float> levels[] = {
        {unit::kDutyCycleChannel, settings.DutyCycleControl},
        {unit::kAmplitudeChannel, settings.DataAmplitudeControl},
    };
    for (const auto& [channel, volts] : levels) {
        const DacChannelRef dac = dac_channel_map[channel];
        std::uint8_t bytes[kMcp4728ReadbackSize];
        mcp4728_dac_read_into(dac.selector, bytes);
        const std::uint8_t* input = &bytes[dac.dac_channel * 6];  // the output's input register
        if ((((input[1] & 0x0Fu) << 8) | input[2]) != dac_code_for(volts)) return true;
    }
    return false;
}

// The expander writes that must take effect are checked: read the pins and skip the write when
// the bits that matter already hold the byte; otherwise write the whole bank, read it back, and
// on a mismatch reopen the USB link once and write again (its outcome is not checked further).
void verified_expander_write(int chip, std::uint8_t byte, int skip_compare_mask) {
    if ((DS4520_IO_read(chip) & skip_compare_mask) == (byte & skip_compare_mask)) return;
    const int written_before = DS4520_bank0_written(chip);
    DS4520_IOX_wr_multibit(chip, unit::kWholeBank0, byte);
    if ((DS4520_IO_read(chip) & 0xFF) == byte) return;
    korvel::close();
    // A reopened unit that was unplugged and back (a power cycle) since the last tick holds its
    // power-up state instead of the setup: the next tick sends it the setup once more. A unit
    // whose expanders and levels still hold what was sent has kept it and gets nothing more; a
    // reopen while that setup is being sent asks for nothing, so a read-back that never agrees
    // costs one more sending, not one every tick.
    if (init_usb() == 1 && setup_resend == kSetupResendNone) {
        if (levels_lost())
            setup_resend = kSetupResendWithLevels;
        else if (expanders_lost_setup(chip, written_before, byte))
            setup_resend = kSetupResendAsked;
    }
    DS4520_IOX_wr_multibit(chip, unit::kWholeBank0, byte);
}

// Steps of divider after the panels are updated: only with the unit attached.
void send_divide_ratio(int value) {
    if (!usb_aliveQ()) return;
    const bool alternate = alternate_variant();
    const std::uint8_t byte = divide_ratio_byte(value, alternate);
    if (debug_panel_open)
        SetCtrlAttribute(debug_panel, PANELDEBUG_TEXTMSG_2, ATTR_VISIBLE, alternate ? 1 : 0);
    // The check boxes show their new state before the bus work starts.
    ProcessDrawEvents();
    verified_expander_write(unit::kDividerChip, byte, 0xFF);
}

int swap_two_bits(int v) {
    return ((v & 1) << 1) | ((v >> 1) & 1);
}

void debug_pin(int control, int value) {
    switch (control) {
        case PANELDEBUG_GP_9:
            DS4520_IO_write(unit::kFpgaResetChip, unit::kFpgaResetPin, value);
            break;
        case PANELDEBUG_GP_8:
            DS4520_IO_write(unit::kPatternChip, unit::kCalibrationModePin, value);
            break;
        case PANELDEBUG_GP_3:
            DS4520_IO_write(unit::kPatternChip, 3, value);
            break;
        case PANELDEBUG_GP_2:
            DS4520_IO_write(unit::kPatternChip, 2, value);
            break;
        case PANELDEBUG_GP_1:
            DS4520_IO_write(unit::kPatternChip, 1, value);
            break;
        case PANELDEBUG_GP_0:
            DS4520_IO_write(unit::kPatternChip, 0, value);
            break;
        case PANELDEBUG_RINGSLIDE_GP_APH:
        case PANELDEBUG_RINGSLIDE_GP_MPH: {
            // The phase fields are wired bit-swapped on the newer scramble variants.
            const int v = scramble_mode != 0 ? swap_two_bits(value & 3) : value & 3;
            const bool aph = control == PANELDEBUG_RINGSLIDE_GP_APH;
            DS4520_IOX_wr_multibit(unit::kPatternChip,
                                   aph ? unit::kPhaseAphMask : unit::kPhaseMphMask,
                                   v << (aph ? unit::kPhaseAphShift : unit::kPhaseMphShift));
            SetActiveCtrl(debug_panel, PANELDEBUG_CAL_RESULTS);
            break;
        }
        default:
            break;
    }
}

// The error-injection switch: counts as off while More Features is not open.
void error_injection_switch() {
    int on = 0;
    if (more_panel_open) {
        GetCtrlVal(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, &on);
        SetCtrlAttribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR,
                         on ? kLightPink : VAL_WHITE);
        SetCtrlAttribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, on ? 1 : 0);
    }
    DS4520_IO_write(unit::kSwitchChip, unit::kErrorInjectionPin, on);
}

void clock_output_from_button() {
    int on = 0;
    GetCtrlVal(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, &on);
    settings.ClockOutput1 = static_cast<std::uint8_t>(on);
    // Active-low enable: the pin is low while the clock output is on.
    DS4520_IO_write(unit::kSwitchChip, unit::kClockOutput1Pin, on ^ 1);
}

}  // namespace

bool alternate_variant() {
    return alternate_variant_noted();
}

std::uint8_t divide_ratio_byte(int value, bool alternate) {
    if (value > 255 || value <= 0) return 0x00;
    const auto byte = static_cast<std::uint8_t>(value);
    return alternate ? reverse_bits(byte) : byte;
}

int manual_ratio_in_force(int value) {
    const std::uint8_t byte = divide_ratio_byte(value, false);
    return byte == 0 ? unit::kManualRatioMax : byte;
}

int CVICALLBACK divider(int panel, int control, int event, void* /*callbackData*/,
                        int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT && event != EVENT_VAL_CHANGED) return 0;
    int value = unit::kDivideFallback;
    if (panel == main_panel) {
        if (control == PANELMAIN_PATTERN_BOX) {
            // The two main-panel boxes act as radio buttons: a click never unchecks one.
            value = unit::kDividePrbs7Pattern;
            SetCtrlVal(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 0);
            SetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, 1);
            SetCtrlAttribute(main_panel, PANELMAIN_SET_DIVIDE_RATIO, ATTR_DIMMED, 1);
            settings.Pattern = 1;
            settings.Eye = 0;
            settings.Manual = 0;
        } else if (control == PANELMAIN_EYE_DIAGRAM_BOX) {
            value = unit::kDivideEyeDiagram;
            SetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, 0);
            SetCtrlVal(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1);
            settings.Pattern = 0;
            settings.Eye = 1;
            settings.Manual = 0;
        }
    }
    if (panel == more_panel && more_panel_open) {
        if (control == PANELMORE_MANUAL_CTRL_BOX) {
            // Manual mode is left only through the main panel's boxes: unchecking the manual box
            // keeps it in force (updateMore checks it again).
            SetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, 0);
            SetCtrlVal(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 0);
            settings.Pattern = 0;
            settings.Eye = 0;
            settings.Manual = 1;
        }
        if (control == PANELMORE_MANUAL_CTRL_BOX || control == PANELMORE_DIVIDE_RATIO_CONTROL) {
            GetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, &settings.DivideBy);
            value = settings.DivideBy;
            SetActiveCtrl(more_panel, PANELMORE_MANUAL_CTRL_BOX);
        }
    }
    updateMore();
    settings_changed |= 1;
    send_divide_ratio(value);
    return 0;
}

void send_manual_divide_ratio() {
    send_divide_ratio(settings.DivideBy);
}

int CVICALLBACK FPGA(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/,
                     int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    if (!usb_aliveQ()) return 0;
    unsigned code = settings.DataSelect;
    GetCtrlVal(panel, control, &code);
    settings.DataSelect = static_cast<std::uint8_t>(code);
    // Only IO0-IO3 decide whether the code is already selected; a write sets the whole byte, so
    // it also returns the two phase fields in IO4-IO7 to 0.
    verified_expander_write(unit::kPatternChip, static_cast<std::uint8_t>(code),
                            unit::kPatternCodeMask);
    if (code == static_cast<unsigned>(unit::kCustomDataCode) && !data_panel_open) {
        data_panel = LoadPanel(0, kResource, PANELDATA);
        DisplayPanel(data_panel);
        data_panel_open = 1;
        bitTweak(data_panel, PANELDATA_REPEAT_LENGTH, EVENT_COMMIT, nullptr, 0, 0);
    }
    return 0;
}

int CVICALLBACK general_purpose_IO(int panel, int control, int event, void* /*callbackData*/,
                                   int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    // The More Features switch is sent also while that panel is closed (as off): the reconnect
    // and the panel's closing do that, with a handle that may be stale or 0. It is told apart
    // first, as the other panels' control ids overlap its own.
    if (panel == more_panel && control == PANELMORE_ERROR_INJ_ON_BUTTON) {
        error_injection_switch();
        return 0;
    }
    if (panel == main_panel) {
        if (control == PANELMAIN_CLOCKOUT1_BUTTON) clock_output_from_button();
        return 0;
    }
    if (panel == debug_panel && debug_panel_open) {
        int value = 0;
        if (GetCtrlVal(debug_panel, control, &value) == 0) debug_pin(control, value);
    }
    return 0;
}

int CVICALLBACK CLOCK_OUT_1_BUTTON(int /*panel*/, int /*control*/, int event,
                                   void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    clock_output_from_button();
    settings_changed |= 1;
    return 0;
}

int CVICALLBACK ResetFpga(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                          int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    DS4520_IO_write(unit::kFpgaResetChip, unit::kFpgaResetPin, 1);
    DS4520_IO_write(unit::kFpgaResetChip, unit::kFpgaResetPin, 0);
    return 0;
}

int CVICALLBACK invert_data(int /*panel*/, int control, int event, void* /*callbackData*/,
                            int /*eventData1*/, int /*eventData2*/) {
    if (control != PANELMORE_INV_DATA_BUTTON || event != EVENT_COMMIT) return 0;
    // With More Features closed the stored polarity stands.
    if (more_panel_open) GetCtrlVal(more_panel, PANELMORE_INV_DATA_BUTTON, &settings.Polarity);
    // The pin takes only 0 or 1: a stored value from elsewhere (a file) counts as inverted
    // whenever it is not 0.
    settings.Polarity = settings.Polarity != 0 ? 1 : 0;
    if (settings.Polarity == 1) {
        SetCtrlAttribute(main_panel, PANELMAIN_INVERTED_DATA_ALERT, ATTR_VISIBLE, 1);
        // Inverted data is error injection with an all-ones mask that applies continuously.
        for (auto& row : pattern_buffer) row[0] = 0xFF;
        bit_load_FPGA_ErrInj(0, 0, kContinuousMask, kContinuousMask);
    } else {
        SetCtrlAttribute(main_panel, PANELMAIN_INVERTED_DATA_ALERT, ATTR_VISIBLE, 0);
    }
    DS4520_IO_write(unit::kSwitchChip, unit::kErrorInjectionPin, settings.Polarity);
    return 0;
}

int CVICALLBACK set_freq(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                         int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT && event != EVENT_VAL_CHANGED) return 0;
    // The mode boxes take only 0 or 1: a stored mark from elsewhere (a file) counts as set
    // whenever it is not 0, so that the box shown checked is also the mode sent below.
    settings.Pattern = settings.Pattern != 0 ? 1 : 0;
    settings.Eye = settings.Eye != 0 ? 1 : 0;
    settings.Manual = settings.Manual != 0 ? 1 : 0;
    SetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, settings.Pattern);
    SetCtrlVal(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, settings.Eye);
    SetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, duty_percent_shown(settings.DutyCycleControl));
    SetCtrlVal(main_panel, PANELMAIN_MUX_AMP, amplitude_mv_shown(settings.DataAmplitudeControl));
    SetCtrlVal(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, settings.ClockOutput1);
    SetCtrlVal(main_panel, PANELMAIN_DATA_SELECT, settings.DataSelect);

    CB_DAC(main_panel, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, nullptr, 0, 0);
    apply_amplitude_from_slide();
    FPGA(main_panel, PANELMAIN_DATA_SELECT, EVENT_COMMIT, nullptr, 0, 0);
    clock_output_from_button();
    if (settings.Pattern == 1)
        divider(main_panel, PANELMAIN_PATTERN_BOX, EVENT_COMMIT, nullptr, 0, 0);
    if (settings.Eye == 1)
        divider(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, EVENT_COMMIT, nullptr, 0, 0);
    // A stored manual ratio goes to the unit too, so that the unit runs at the ratio the
    // settings set holds.
    if (settings.Manual == 1) send_manual_divide_ratio();
    updateMore();
    return 0;
}

int edit_freq() {
    set_freq(main_panel, 0, EVENT_COMMIT, nullptr, 0, 0);
    return 0;
}

void updateMore() {
    if (!more_panel_open) return;
    SetCtrlVal(more_panel, PANELMORE_MANUAL_CTRL_BOX, settings.Manual);
    SetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, settings.DivideBy);
    SetCtrlAttribute(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, ATTR_DIMMED,
                     settings.Manual == 0 ? 1 : 0);
    SetCtrlVal(more_panel, PANELMORE_INV_DATA_BUTTON, settings.Polarity);
}

}  // namespace korvel::app
