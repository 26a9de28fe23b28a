// A fresh simulated unit under a fresh link for every test, and the board's view of what the
// exported functions did.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "ds4520/ds4520.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "support/fresh_process.h"

class SimulatedUnitTest : public ::testing::Test {
  protected:
    void SetUp() override { korvel::testing::fresh_process(); }
    void TearDown() override { unsetenv("ZEVA_CHIP_FLAG"); }

    static korvel::sim::Board& board() { return korvel::sim::usb().board(); }
    // IO0-IO7 of an expander as the board drives them.
    static int expander_byte(int chip) { return board().expander(chip).pins() & 0xFF; }
    // Input-register code of a logical DAC channel (0-3 DAC 0, 4-7 DAC 1).
    static int dac_code(int logical) { return board().dac(logical / 4).channels[logical % 4].code; }
};
