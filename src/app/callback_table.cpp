#include "app/callback_table.h"

#include "app/analog_controls.h"
#include "app/calibration_window.h"
#include "app/debug_panel.h"
#include "app/eeprom_record.h"
#include "app/error_panel.h"
#include "app/openers.h"
#include "app/pattern_panels.h"
#include "app/settings_files.h"
#include "app/shell.h"
#include "app/supervision.h"
#include "app/unit_controls.h"
#include "platform/callback_registry.h"

namespace korvel::app {

namespace {

constexpr NamedControlCallback kControlCallbacks[] = {
    // start-up, supervision and the exits
    {"CBTimer", CBTimer},
    {"QuitAll", QuitAll},
    {"quit_panel", quit_panel},
    // the window openers
    {"Debug", Debug},
    {"LoadErrInjPanel", LoadErrInjPanel},
    // the unit's digital settings
    {"divider", divider},
    {"FPGA", FPGA},
    {"general_purpose_IO", general_purpose_IO},
    {"CLOCK_OUT_1_BUTTON", CLOCK_OUT_1_BUTTON},
    {"ResetFpga", ResetFpga},
    {"invert_data", invert_data},
    // the analog levels
    {"CB_DAC", CB_DAC},
    // the custom pattern and error injection panels
    {"fpga_custom_data", fpga_custom_data},
    {"bitTweak", bitTweak},
    {"fpga_error_injection", fpga_error_injection},
    // the Debug panel and the calibration window
    {"CB_Debug", CB_Debug},
    {"CBdebugTimer", CBdebugTimer},
    {"start_calibration", start_calibration},
};

constexpr NamedMenuCallback kMenuCallbacks[] = {
    // the exits
    {"file_exit", file_exit},
    {"file_quit", file_quit},
    // the settings and configuration files
    {"FileOpen", FileOpen},
    {"FileSaveAs", FileSaveAs},
    // the window openers
    {"MoreFeatures", MoreFeatures},
    {"Help", Help},
    {"writeUserEEPROM", writeUserEEPROM},
    {"readUserEEPROM", readUserEEPROM},
};

}  // namespace

std::span<const NamedControlCallback> control_callbacks() {
    return kControlCallbacks;
}

std::span<const NamedMenuCallback> menu_callbacks() {
    return kMenuCallbacks;
}

void register_callbacks() {
    for (const auto& c : kControlCallbacks) RegisterCallback(c.name, c.function);
    for (const auto& m : kMenuCallbacks) RegisterMenuCallback(m.name, m.function);
}

}  // namespace korvel::app
