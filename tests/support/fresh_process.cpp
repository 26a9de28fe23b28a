#include "support/fresh_process.h"

#include <cstdlib>

#include "app/state.h"
#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "ftdi/backend_select.h"
#include "link/usb_link.h"
#include "platform/model_query.h"
#include "service_output/service_output.h"

namespace korvel::testing {

void fresh_process(UnitBehindDriver unit) {
    unsetenv(kChipFlagVariable);
    platform::reset_user_interface();
    if (unit == UnitBehindDriver::FreshSimulated) ftdi::use_fresh_simulated_unit();
    reset_link();
    reset_ds4520();
    reset_fpga();
    app::reset_app_state();
    set_service_output(nullptr);
}

}  // namespace korvel::testing
