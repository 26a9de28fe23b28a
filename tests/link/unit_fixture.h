// A fresh simulated unit under a fresh link for every test, and readers of what the unit saw.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "korvel/sim/usb.h"
#include "platform/clock.h"

namespace korvel::testing {

// Marks a repeated START inside a transaction returned by bus_transactions().
constexpr int kRestart = -1;

class UnitFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    // Opens the unit with init_usb and forgets the calls, bus events and pauses it took.
    void open_unit();
    // Forgets calls, bus events and pauses so far.
    void forget_history();

    static sim::Usb& usb() { return sim::usb(); }
    static sim::Board& board() { return sim::usb().board(); }
    static platform::VirtualClock& clock();
};

// The bytes of every START..STOP transaction on the bus, in order; kRestart marks a repeated
// START.
std::vector<std::vector<int>> bus_transactions();

// The acknowledge bit of every byte on the bus, in order.
std::vector<bool> bus_acks();

}  // namespace korvel::testing
