// A fresh program state for every test: empty UI model with the headless host, every callback
// bound to its resource name, the program's state as in a fresh process, a fresh simulated unit
// behind the driver (attached, on the virtual clock), and an empty working directory of its own
// (where the program keeps settings.cfg).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "../support/working_directory.h"
#include "app/callback_table.h"
#include "app/shell.h"
#include "app/state.h"
#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "platform/callback_registry.h"
#include "platform/headless_host.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"
#include "service_output/service_output.h"
#include "support/fresh_process.h"

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        korvel::testing::fresh_process();
        work_dir.enter();
        host().popups.clear();
        host().file_requests.clear();
        host().wait_cursor.clear();
        korvel::app::register_callbacks();
    }
    void TearDown() override {
        korvel::platform::reset_user_interface();
        korvel::app::reset_app_state();
        work_dir.leave();
    }

    static korvel::platform::HeadlessHost& host() {
        return korvel::platform::default_headless_host();
    }
    static korvel::sim::Board& board() { return korvel::sim::usb().board(); }

    // Loads and shows the main panel as start-up does.
    static int load_main() {
        korvel::app::main_panel = LoadPanel(0, "main.uir", PANELMAIN);
        DisplayPanel(korvel::app::main_panel);
        return korvel::app::main_panel;
    }

    korvel::testing::FreshWorkingDirectory work_dir;

    // Number of loaded copies of resource panel `id`.
    static int copies(int id) {
        int n = 0;
        for (int p : korvel::platform::loaded_panels())
            if (korvel::platform::panel_resource_id(p) == id) ++n;
        return n;
    }
};
