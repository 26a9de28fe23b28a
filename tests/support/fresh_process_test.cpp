// fresh_process() puts every layer's state back to where a new process starts: each case dirties
// one layer through the program's own calls.
#include "support/fresh_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "app/state.h"
#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"

namespace korvel::testing {
namespace {

TEST(FreshProcess, PutsEveryLayerBackToItsStart) {
    static const PatternColumns kZeros = {};
    const struct {
        const char* layer;
        std::function<void()> dirty;
        std::function<bool()> at_start;
    } cases[] = {
        {"link and I2C engine", [] { init_usb(), usb_output(0), i2c_dir_image = 0x83; },
         [] {
             return usb_handle == nullptr && device_serial[0] == '\0' && usb_out_count == 0 &&
                    i2c_dir_image == kI2cDirAtStart;
         }},
        {"DS4520 driver", [] { DS4520_IO_write(2, 4, 3); },
         [] { return last_input_pin == 0xFF && DS4520_bank0_written(2) == -1; }},
        {"FPGA", [] { pattern_buffer[31][4095] = 0xA5; },
         [] { return std::memcmp(pattern_buffer, kZeros, sizeof kZeros) == 0; }},
        {"program", [] { app::scramble_mode = 0, app::settings.DivideBy = 12; },
         [] { return app::state == app::AppState{} && app::scramble_mode == 1; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layer);
        fresh_process();
        c.dirty();
        ASSERT_FALSE(c.at_start());
        fresh_process();
        EXPECT_TRUE(c.at_start());
    }
}

}  // namespace
}  // namespace korvel::testing
