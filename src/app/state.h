// The program's process-wide state: the generator settings set, the panel handles and open
// flags, and the supervision's marks. One owner (this file), plain values, and one reset that
// puts all of it back to the state of a fresh process (tests use that, never field by field).
#pragma once

#include <cstdint>

#include "platform/ui_constants.h"

namespace korvel::app {

// ---- the generator settings set -----------------------------------------------------------------
// Twelve values named by their keys in the settings and configuration files, in file order. All
// start at 0. Byte-wide values keep the low 8 bits of whatever integer is stored into them.
struct GeneratorSettings {
    std::uint8_t Setting8010;      // "8010": no function here; read, kept and written back
    std::uint8_t Pattern;          // sync output timed for the PRBS7 pattern (0/1)
    std::uint8_t Eye;              // sync output timed for an eye diagram (0/1)
    std::uint8_t Manual;           // manual divide ratio in force (0/1)
    std::int32_t DivideBy;         // the manual divide ratio, 1..256
    float DutyCycleControl;        // duty-cycle DAC level, volts (logical channel 2)
    float DataAmplitudeControl;    // data-amplitude DAC level, volts (logical channel 3)
    float SyncSkewControl;         // no control here: kept and written back
    float InternalPeakingControl;  // no control here: kept and written back
    std::uint8_t ClockOutput1;     // clock output 1 on (1) / off (0)
    std::uint8_t DataSelect;       // pattern-select code last applied
    std::int32_t Polarity;         // data inverted (1) or positive (0)

    bool operator==(const GeneratorSettings&) const = default;
};

// The values of AppState::setup_resend.
enum : unsigned char {
    kSetupResendNone,
    kSetupResendAsked,
    kSetupResendWithLevels,
    kSetupResendSending,
};

// The state itself, each starting value written once, at its member.
struct AppState {
    GeneratorSettings settings{};

    // ---- panels ---------------------------------------------------------------------------------
    // Handles start at 0 and keep their last value after the panel is discarded; the platform
    // never hands out a discarded handle again, so a stale handle never names another panel.
    int main_panel = 0;
    int more_panel = 0;
    int debug_panel = 0;
    int data_panel = 0;
    int err_panel = 0;
    int help_panel = 0;
    int cal_panel = 0;

    unsigned char more_panel_open = 0;
    unsigned char debug_panel_open = 0;
    unsigned char data_panel_open = 0;
    unsigned char err_panel_open = 0;
    unsigned char help_panel_open = 0;

    // The Debug panel's scramble choice (0 old, 1 new, 2 linear): read when the panel opens and
    // whenever its ring is committed. The resource selects "New Scramble" (1) until the Debug
    // panel is first opened.
    int scramble_mode = 1;

    // ---- supervision ----------------------------------------------------------------------------
    // Presence seen by the latest tick, and at the tick before (0 again after a failed open, so
    // the next tick retries).
    unsigned char unit_present = 0;
    int last_unit_present = 0;
    // Ticks left until the two levels are stored in the DAC's EEPROM; 0 = nothing pending.
    int dac_store_countdown = 0;
    // 0 = the configuration named in SETUP_LOADED is unchanged; bit 0 set by every change; 2
    // once the indicator has been dimmed (3 = changed again, treated like 2).
    unsigned char settings_changed = 0;
    // Sending the setup again to a unit that a reopen (after a verified write that read back
    // wrong) found without it: asked for the next tick (with its levels lost too, or only its
    // expander pins), or being sent, when a further reopen asks for nothing.
    unsigned char setup_resend = kSetupResendNone;
    // The unit's serial read as a decimal number (0 until a unit with a numeric serial is found).
    int unit_serial_number = 0;

    // ---- custom pattern and error injection -----------------------------------------------------
    // The one text file chosen on either the Custom Test Pattern or the Error Injection Setup
    // panel: either panel's load button reads it. Empty until a file is chosen; a cancelled
    // dialog keeps it.
    char selected_file_path[MAX_PATHNAME_LEN] = {};
    // One bits of the error mask, as last counted from a mask file or set with ERRS_PER_256.
    int errors_per_256 = 0;

    bool operator==(const AppState&) const = default;
};
extern AppState state;

// The members by their own names, as the callbacks use them.
inline GeneratorSettings& settings = state.settings;
inline int& main_panel = state.main_panel;
inline int& more_panel = state.more_panel;
inline int& debug_panel = state.debug_panel;
inline int& data_panel = state.data_panel;
inline int& err_panel = state.err_panel;
inline int& help_panel = state.help_panel;
inline int& cal_panel = state.cal_panel;
inline unsigned char& more_panel_open = state.more_panel_open;
inline unsigned char& debug_panel_open = state.debug_panel_open;
inline unsigned char& data_panel_open = state.data_panel_open;
inline unsigned char& err_panel_open = state.err_panel_open;
inline unsigned char& help_panel_open = state.help_panel_open;
inline int& scramble_mode = state.scramble_mode;
inline unsigned char& unit_present = state.unit_present;
inline int& last_unit_present = state.last_unit_present;
inline int& dac_store_countdown = state.dac_store_countdown;
inline unsigned char& settings_changed = state.settings_changed;
inline unsigned char& setup_resend = state.setup_resend;
inline int& unit_serial_number = state.unit_serial_number;
inline char (&selected_file_path)[MAX_PATHNAME_LEN] = state.selected_file_path;
inline int& errors_per_256 = state.errors_per_256;

// The application layer back to the state of a fresh process: `state = AppState{}`, with the
// random generator's draws, the settings writer's write call (safe_file.h) back to write(2), the
// calibration entry (calibration.h) and the EEPROM record's state (eeprom_record.h). The layers
// below have their own resets (reset_link, reset_ds4520, reset_fpga).
void reset_app_state();

}  // namespace korvel::app
