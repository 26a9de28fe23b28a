// fresh_process() puts every layer back to where a new process starts, whatever the test before
// left behind: each case dirties one layer through the program's own calls.
#include "support/fresh_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/state.h"
#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "platform/model_query.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::testing {
namespace {

struct Layer {
    const char* name;
    std::function<void()> dirty;
    std::function<bool()> at_start;
};

bool all_zero(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
}

TEST(FreshProcess, PutsEveryLayerBackToItsStart) {
    const Layer layers[] = {
        {"unit variant", [] { setenv(kChipFlagVariable, "1", 1); },
         [] { return std::getenv(kChipFlagVariable) == nullptr; }},
        {"user interface", [] { LoadPanel(0, "main.uir", PANELMAIN); },
         [] { return platform::loaded_panels().empty(); }},
        {"link and I2C engine",
         [] {
             init_usb();
             fpga_pin_image = 0x74;
             usb_output(0);
             i2c_dir_image = 0x83;
         },
         [] {
             return usb_handle == nullptr && all_zero(device_info_list, sizeof device_info_list) &&
                    device_serial[0] == '\0' && fpga_pin_image == 0 && usb_out_count == 0 &&
                    i2c_dir_image == kI2cDirAtStart;
         }},
        {"DS4520 driver", [] { DS4520_IO_write(2, 4, 3); },
         [] { return last_input_pin == 0xFF && DS4520_bank0_written(2) == -1; }},
        {"FPGA pattern buffer", [] { pattern_buffer[31][4095] = 0xA5; },
         [] { return all_zero(pattern_buffer, sizeof pattern_buffer); }},
        {"program state",
         [] {
             app::scramble_mode = 0;
             app::settings.DivideBy = 12;
             std::strcpy(app::selected_file_path, "p.txt");
         },
         [] { return app::state == app::AppState{} && app::scramble_mode == 1; }},
    };
    for (const Layer& layer : layers) {
        SCOPED_TRACE(layer.name);
        fresh_process();
        layer.dirty();
        ASSERT_FALSE(layer.at_start());
        fresh_process();
        EXPECT_TRUE(layer.at_start());
    }
}

}  // namespace
}  // namespace korvel::testing
