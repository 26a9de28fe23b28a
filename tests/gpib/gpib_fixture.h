// Each test starts on a fresh simulated bench, on a virtual clock, with the routines' output
// captured and their input read from a string (end of input once it is used up).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gpib/backend_select.h"
#include "gpib/console.h"
#include "gpib/instrument_routines.h"
#include "gpib/ni488.h"
#include "gpib/sim/sim_bench.h"
#include "base/clock.h"

namespace korvel::gpib::testing {

inline constexpr const char* kPrompt = "An HPIB error has occured.  Hit return to continue...";

class GpibTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::set_clock(&clock_);
        set_console({[this](std::string_view text) { output.append(text); },
                     [this] { return next_input(); }});
        select_backend(BackendKind::Sim);
        reset_instrument_routines();
        reset_failed_call_count();
        ibsta = iberr = ibcnt = 0;
    }
    void TearDown() override {
        set_console({});
        platform::set_clock(nullptr);
    }

    SimBench& bench() { return *sim_bench(); }
    std::vector<std::string> take_log() {
        auto log = bench().log();
        bench().clear_log();
        return log;
    }

    platform::VirtualClock clock_;
    std::string output;
    std::string input;
    int input_reads = 0;

  private:
    int next_input() {
        ++input_reads;
        if (input.empty()) return EOF;
        const unsigned char c = static_cast<unsigned char>(input.front());
        input.erase(0, 1);
        return c;
    }
};

}  // namespace korvel::gpib::testing
