// The record's panel and unit side: controls <-> mirror, the user-area read-modify-write, the
// re-apply through the control callbacks, and the two EEPROM menu commands.
#include <optional>
#include <vector>

#include "app/analog_controls.h"
#include "app/eeprom_record.h"
#include "app/state.h"
#include "app/unit_controls.h"
#include "link/usb_link.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::app {

namespace {

// The More Features and Debug fields take part only while their panel is open: a closed panel's
// handle is 0 or that of a discarded copy.
// The manual ratio updatePanels' divider has just sent from the More Features panel, if it sent
// one: readUserEEPROM need not send it again.
std::optional<int> manual_ratio_sent;

bool panel_open(RecordPanel p) {
    switch (p) {
        case RecordPanel::More:
            return more_panel_open != 0;
        case RecordPanel::Debug:
            return debug_panel_open != 0;
        default:
            return true;
    }
}

int handle_of(RecordPanel p, int main, int more, int debug) {
    return p == RecordPanel::Main ? main : p == RecordPanel::More ? more : debug;
}

void show_error(const char* message) {
    MessagePopup("Error", message);
}

// The whole user area, read from the unit. Fails (with the failure shown) when the handle is not
// an open unit, the area is smaller than the record, or the read fails or comes back short.
std::optional<std::vector<UCHAR>> read_user_area(FT_HANDLE handle) {
    DWORD size = 0;
    // A closed handle is never passed to the driver.
    const bool open = handle == korvel::usb_handle && korvel::usb_handle_usable();
    ft_status = open ? FT_EE_UASize(handle, &size) : FT_INVALID_HANDLE;
    if (ft_status != FT_OK || !user_area_holds_record(size)) {
        show_error("Cannot read EEPROM!");
        return std::nullopt;
    }
    std::vector<UCHAR> area(size);
    DWORD read = 0;
    ft_status = FT_EE_UARead(handle, area.data(), size, &read);
    if (ft_status != FT_OK || read != size) {
        show_error("FT_EE_UARead FAILED!");
        return std::nullopt;
    }
    return area;
}

}  // namespace

void panels2Variables(int mainPanel, int morePanel, int debugPanel) {
    for (const auto& f : record_fields()) {
        if (!panel_open(f.panel)) continue;
        const int panel = handle_of(f.panel, mainPanel, morePanel, debugPanel);
        if (f.real != nullptr)
            GetCtrlVal(panel, f.control, &(eeprom_mirror.*f.real));
        else
            GetCtrlVal(panel, f.control, &(eeprom_mirror.*f.integer));
    }
}

void variables2Panels(int mainPanel, int morePanel, int debugPanel) {
    for (const auto& f : record_fields()) {
        if (!panel_open(f.panel)) continue;
        const int panel = handle_of(f.panel, mainPanel, morePanel, debugPanel);
        if (f.real != nullptr)
            SetCtrlVal(panel, f.control, eeprom_mirror.*f.real);
        else
            SetCtrlVal(panel, f.control, eeprom_mirror.*f.integer);
    }
}

void updatePanels(int mainPanel, int morePanel) {
    manual_ratio_sent.reset();
    FPGA(mainPanel, PANELMAIN_DATA_SELECT, EVENT_COMMIT, nullptr, 0, 0);
    // One divide-ratio mode: the eye diagram wins over manual, manual over the PRBS7 trigger.
    if (eeprom_mirror.eye_diagram_box != 0) {
        divider(mainPanel, PANELMAIN_EYE_DIAGRAM_BOX, EVENT_COMMIT, nullptr, 0, 0);
    } else if (eeprom_mirror.manual_ctrl_box != 0 && more_panel_open) {
        divider(morePanel, PANELMORE_MANUAL_CTRL_BOX, EVENT_COMMIT, nullptr, 0, 0);
        manual_ratio_sent = settings.DivideBy;
    } else if (eeprom_mirror.manual_ctrl_box == 0 || eeprom_mirror.pattern_box != 0) {
        // The manual ratio lives on More Features; with it closed the main panel's boxes, as
        // the record has just set them, decide (a record may hold both marks).
        divider(mainPanel, PANELMAIN_PATTERN_BOX, EVENT_COMMIT, nullptr, 0, 0);
    }
    CB_DAC(mainPanel, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, nullptr, 0, 0);
    CB_DAC(mainPanel, PANELMAIN_MUX_AMP, EVENT_VAL_CHANGED, nullptr, 0, 0);
    // Clock output 1 as the record's button now shows it, and in the settings set that is saved
    // at exit: a button left showing a state the unit does not have would mislead the operator.
    general_purpose_IO(mainPanel, PANELMAIN_CLOCKOUT1_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    // divider showed the settings set on More Features; show the record there again.
    if (more_panel_open) SetCtrlVal(morePanel, PANELMORE_INV_DATA_BUTTON, record_polarity);
    invert_data(morePanel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    if (more_panel_open) {
        SetCtrlVal(morePanel, PANELMORE_MANUAL_CTRL_BOX, eeprom_mirror.manual_ctrl_box);
        SetCtrlVal(morePanel, PANELMORE_DIVIDE_RATIO_CONTROL, record_divide_ratio);
    }
}

void saveUserEEPROM(int mainPanel, int morePanel, int debugPanel, FT_HANDLE handle) {
    auto area = read_user_area(handle);
    if (!area) return;
    panels2Variables(mainPanel, morePanel, debugPanel);
    convertVariables2Bytes(area->data());
    // The backends change only the user area and the EEPROM's checksum, never the strings the
    // unit is found by.
    ft_status = FT_EE_UAWrite(handle, area->data(), static_cast<DWORD>(area->size()));
    if (ft_status != FT_OK) show_error("FT_EE_UAWrite FAILED!");
}

int getUserEEPROM(int mainPanel, int morePanel, int debugPanel, FT_HANDLE handle) {
    const auto area = read_user_area(handle);
    if (!area) return 0;
    convertBytes2Variables(area->data());
    variables2Panels(mainPanel, morePanel, debugPanel);
    updatePanels(mainPanel, morePanel);
    return 1;
}

void CVICALLBACK writeUserEEPROM(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/,
                                 int /*panel*/) {
    saveUserEEPROM(main_panel, more_panel, debug_panel, korvel::usb_handle);
}

void CVICALLBACK readUserEEPROM(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/,
                                int /*panel*/) {
    if (!getUserEEPROM(main_panel, more_panel, debug_panel, korvel::usb_handle)) return;
    settings.Polarity = record_polarity;
    if (more_panel_open) SetCtrlVal(more_panel, PANELMORE_INV_DATA_BUTTON, record_polarity);
    invert_data(more_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    settings.DivideBy = record_divide_ratio;
    if (more_panel_open)
        SetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, record_divide_ratio);
    // In manual mode the record's ratio is now the one in force: the unit runs at it too. The
    // divider call above has sent it already when it came from the More Features panel, unless
    // that panel's range made it another ratio.
    const bool sent = manual_ratio_sent && divide_ratio_byte(*manual_ratio_sent, false) ==
                                               divide_ratio_byte(record_divide_ratio, false);
    if (settings.Manual == 1 && !sent) send_manual_divide_ratio();
}

}  // namespace korvel::app
