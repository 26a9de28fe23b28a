#include "app/state.h"

#include "app/calibration.h"
#include "app/eeprom_record.h"
#include "app/random.h"
#include "app/safe_file.h"

namespace korvel::app {

AppState state;

void reset_app_state() {
    state = AppState{};
    reset_safe_file();
    reset_random();
    cal_entry_buffer = blank_cal_entry();
    reset_eeprom_record();
}

}  // namespace korvel::app
