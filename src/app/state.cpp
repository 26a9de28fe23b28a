#include "app/state.h"

#include "app/calibration.h"
#include "app/eeprom_record.h"
#include "app/random.h"
#include "app/safe_file.h"
#include "ds4520/ds4520.h"

namespace korvel::app {

GeneratorSettings settings{};

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

// The resource selects "New Scramble" (1) until the Debug panel is first opened.
int scramble_mode = 1;

unsigned char unit_present = 0;
int last_unit_present = 0;
int dac_store_countdown = 0;
unsigned char settings_changed = 0;
unsigned char setup_resend = kSetupResendNone;
int unit_serial_number = 0;

char selected_file_path[MAX_PATHNAME_LEN] = {};
int errors_per_256 = 0;

void reset_app_state() {
    settings = GeneratorSettings{};
    main_panel = more_panel = debug_panel = data_panel = err_panel = help_panel = cal_panel = 0;
    more_panel_open = debug_panel_open = data_panel_open = err_panel_open = help_panel_open = 0;
    scramble_mode = 1;
    unit_present = 0;
    last_unit_present = 0;
    dac_store_countdown = 0;
    settings_changed = 0;
    setup_resend = kSetupResendNone;
    forget_ds4520_writes();
    unit_serial_number = 0;
    reset_safe_file();
    selected_file_path[0] = '\0';
    errors_per_256 = 0;
    reset_random();
    cal_entry_buffer = blank_cal_entry();
    reset_eeprom_record();
}

}  // namespace korvel::app
