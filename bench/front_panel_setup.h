// The program as it stands after start-up, for the benchmarks: a fresh model with every callback
// bound, a fresh simulated unit, the main panel loaded.
#pragma once

#include "app/callback_table.h"
#include "app/state.h"
#include "ftdi/backend_select.h"
#include "link/usb_link.h"
#include "platform/model_query.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::bench {

inline void fresh_front_panel() {
    platform::reset_user_interface();
    ftdi::use_fresh_simulated_unit();
    usb_link_reset();
    app::reset_app_state();
    app::register_callbacks();
    app::main_panel = LoadPanel(0, "main.uir", PANELMAIN);
}

}  // namespace korvel::bench
