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
extern GeneratorSettings settings;

// ---- panels
// -------------------------------------------------------------------------------------- Handles
// start at 0 and keep their last value after the panel is discarded; the platform never hands out a
// discarded handle again, so a stale handle never names another panel.
extern int main_panel;
extern int more_panel;
extern int debug_panel;
extern int data_panel;
extern int err_panel;
extern int help_panel;
extern int cal_panel;

extern unsigned char more_panel_open;
extern unsigned char debug_panel_open;
extern unsigned char data_panel_open;
extern unsigned char err_panel_open;
extern unsigned char help_panel_open;

// The Debug panel's scramble choice (0 old, 1 new, 2 linear): read when the panel opens and
// whenever its ring is committed.
extern int scramble_mode;

// ---- supervision
// --------------------------------------------------------------------------------- Presence seen
// by the latest tick, and at the tick before (0 again after a failed open, so the next tick
// retries).
extern unsigned char unit_present;
extern int last_unit_present;
// Ticks left until the two levels are stored in the DAC's EEPROM; 0 = nothing pending.
extern int dac_store_countdown;
// 0 = the configuration named in SETUP_LOADED is unchanged; bit 0 set by every change; 2 once
// the indicator has been dimmed (3 = changed again, treated like 2).
extern unsigned char settings_changed;
// Sending the setup again to a unit that a reopen (after a verified write that read back wrong)
// found without it: asked for the next tick (with its levels lost too, or only its expander
// pins), or being sent, when a further reopen asks for nothing.
enum : unsigned char {
    kSetupResendNone,
    kSetupResendAsked,
    kSetupResendWithLevels,
    kSetupResendSending,
};
extern unsigned char setup_resend;
// The unit's serial read as a decimal number (0 until a unit with a numeric serial is found).
extern int unit_serial_number;

// ---- custom pattern and error injection -----------------------------------------------------
// The one text file chosen on either the Custom Test Pattern or the Error Injection Setup panel:
// either panel's load button reads it. Empty until a file is chosen; a cancelled dialog keeps it.
extern char selected_file_path[MAX_PATHNAME_LEN];
// One bits of the error mask, as last counted from a mask file or set with ERRS_PER_256.
extern int errors_per_256;

// Everything above back to the state of a fresh process, with the random generator's draws,
// the settings writer's write call (safe_file.h) back to write(2), the calibration entry
// (calibration.h), the EEPROM record's state (eeprom_record.h) and the expander writes the
// DS4520 driver remembers.
void reset_app_state();

}  // namespace korvel::app
