// A fresh simulated unit under a fresh link for every test, and the bus as the unit decoded it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ds4520/ds4520.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "support/fresh_process.h"

namespace korvel::testing {

constexpr int kRestart = -1;  // a repeated START inside a transaction
using Transactions = std::vector<std::vector<int>>;

class UnitFixture : public ::testing::Test {
  protected:
    void SetUp() override { fresh_process(); }
    void open_unit() {
        ASSERT_EQ(init_usb(), 1);
        forget_history();
    }
    static void forget_history() {
        usb().reset_counters();
        board().clear_bus_log();
        clock().reset_counters();
    }
    static sim::Usb& usb() { return sim::usb(); }
    static sim::Board& board() { return sim::usb().board(); }
    static platform::VirtualClock& clock() { return ftdi::sim_clock(); }

    // The bytes of each START..STOP transaction the unit decoded, in order.
    static Transactions transactions() {
        using Kind = sim::BusEvent::Kind;
        Transactions out;
        for (const sim::BusEvent& e : board().bus_log()) {
            if (e.kind == Kind::Start) out.emplace_back();
            if (out.empty()) continue;
            if (e.kind == Kind::RepeatedStart) out.back().push_back(kRestart);
            if (e.kind == Kind::Byte) out.back().push_back(e.value);
        }
        return out;
    }
    static std::vector<bool> acks() {
        std::vector<bool> out;
        for (const sim::BusEvent& e : board().bus_log()) {
            if (e.kind == sim::BusEvent::Kind::Byte) out.push_back(e.acked);
        }
        return out;
    }
};

}  // namespace korvel::testing
