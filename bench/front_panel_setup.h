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
#include "support/fresh_process.h"

namespace korvel::bench {

inline void fresh_front_panel() {
    testing::fresh_process();
    app::register_callbacks();
    app::main_panel = LoadPanel(0, "main.uir", PANELMAIN);
}

}  // namespace korvel::bench
