// A fresh program state for every test: empty UI model with the headless host, the shell's
// callbacks registered, panel handles and flags at 0, no hooks, and a fresh simulated unit
// behind the driver (attached, on the virtual clock).
#pragma once

#include <gtest/gtest.h>

#include "app/hooks.h"
#include "app/panels.h"
#include "app/shell.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "platform/callback_registry.h"
#include "platform/headless_host.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        korvel::platform::reset_user_interface();
        korvel::ftdi::use_fresh_simulated_unit();
        korvel::app::reset_panel_state();
        korvel::app::hooks::save_settings = nullptr;
        korvel::app::hooks::update_more = nullptr;
        korvel::app::hooks::after_main_panel_shown = nullptr;
        host().popups.clear();
        korvel::app::register_shell_callbacks();
    }
    void TearDown() override {
        korvel::app::hooks::save_settings = nullptr;
        korvel::app::hooks::update_more = nullptr;
        korvel::app::hooks::after_main_panel_shown = nullptr;
        korvel::platform::reset_user_interface();
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

    // Number of loaded copies of resource panel `id`.
    static int copies(int id) {
        int n = 0;
        for (int p : korvel::platform::loaded_panels())
            if (korvel::platform::panel_resource_id(p) == id) ++n;
        return n;
    }
};
