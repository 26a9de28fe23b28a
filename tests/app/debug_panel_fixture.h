// The Debug panel open on an attached simulated unit (in the test's own working directory, where
// the calibration data file goes), with the drivers' service printing routed to the headless host.
#pragma once

#include <string>
#include <vector>

#include "app/debug_panel.h"
#include "app/supervision.h"
#include "app_fixture.h"
#include "ftdi/backend_select.h"

class DebugPanelTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        korvel::app::route_service_output_to_stdio_window();
        load_main();
        // The first supervision tick opens the unit, as at start-up.
        korvel::app::CBTimer(korvel::app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0,
                             0);
        ASSERT_EQ(korvel::app::unit_present, 1);
        korvel::platform::operate_ctrl(korvel::app::main_panel, PANELMAIN_DEBUG);
        debug = korvel::app::debug_panel;
        SetActiveCtrl(debug, PANELDEBUG_CAL_RESULTS);
        forget_history();
    }

    static korvel::platform::VirtualClock& clock() { return korvel::ftdi::sim_clock(); }
    static void forget_history() {
        korvel::sim::usb().reset_counters();
        board().clear_bus_log();
        clock().reset_counters();
        host().stdio_output.clear();
        host().draw_requests = 0;
    }

    int key(int code) { return korvel::platform::press_key(debug, code); }
    int value(int control) const {
        int v = -1;
        GetCtrlVal(debug, control, &v);
        return v;
    }
    std::string field() const {
        std::string text;
        GetCtrlVal(debug, PANELDEBUG_CAL_RESULTS, &text);
        return text;
    }
    // The cursor as an entry position: 4 x row (MPH) + column (APH).
    int cursor() const {
        return 4 * value(PANELDEBUG_RINGSLIDE_GP_MPH) + value(PANELDEBUG_RINGSLIDE_GP_APH);
    }

    // The bytes of each write transaction (START, address, data..., STOP) the unit saw.
    static std::vector<std::vector<int>> writes() {
        using Kind = korvel::sim::BusEvent::Kind;
        std::vector<std::vector<int>> out;
        bool open = false;
        for (const auto& e : board().bus_log()) {
            if (e.kind == Kind::Start) {
                out.emplace_back();
                open = true;
            } else if (e.kind != Kind::Byte) {
                open = false;
            } else if (open) {
                out.back().push_back(e.value);
            }
        }
        std::erase_if(out, [](const auto& t) { return t.empty() || (t[0] & 1) != 0; });
        return out;
    }

    int debug = 0;
};
