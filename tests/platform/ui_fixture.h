// Each test starts from an empty user interface on a virtual clock and leaves nothing behind.
#pragma once

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "base/clock.h"
#include "platform/callback_registry.h"
#include "platform/headless_host.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::platform::testing {

// One delivered control event.
struct Event {
    int panel, control, event, data1;
    bool operator==(const Event&) const = default;
};

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_user_interface();
        set_clock(&clock_);
    }
    void TearDown() override {
        reset_user_interface();
        set_clock(nullptr);
    }

    // Registers `name` to record every event it receives and return `result`.
    void record(const char* name, int result = 0) {
        register_callback(name, [this, result](int p, int c, int e, void*, int d1, int) {
            events.push_back({p, c, e, d1});
            return result;
        });
    }

    int load(int panel_id) { return LoadPanel(0, "main.uir", panel_id); }
    HeadlessHost& host() { return default_headless_host(); }

    VirtualClock clock_;
    std::vector<Event> events;
};

}  // namespace korvel::platform::testing
