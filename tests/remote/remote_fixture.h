// A started program (main panel loaded, the first supervision tick done, so the simulated unit is
// open) and one remote session talking to it.
#pragma once

#include <string>

#include "app/supervision.h"
#include "app_fixture.h"
#include "remote/session.h"
#include "unit_story.h"

class RemoteTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        load_main();
        tick();
        board().clear_bus_log();
        settings_changed_before = korvel::app::settings_changed = 0;
    }

    static void tick() {
        korvel::app::CBTimer(korvel::app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0,
                             0);
    }

    // Sends one line; the reply without its line end ("" for none).
    std::string send(const std::string& line) {
        std::string reply = session.run_line(line);
        if (!reply.empty()) {
            EXPECT_EQ(reply.back(), '\n');
            reply.pop_back();
        }
        return reply;
    }
    // The oldest queued error as SYSTem:ERRor? tells it.
    std::string error() { return send("SYST:ERR?"); }
    int error_code() { return std::stoi(error()); }

    static double value(int panel, int control) {
        double v = -1;
        GetCtrlVal(panel, control, &v);
        return v;
    }

    korvel::remote::Session session;
    unsigned char settings_changed_before = 0;
};
