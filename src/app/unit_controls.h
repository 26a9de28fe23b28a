// The unit's digital settings and the callbacks that set them: sync-output divide ratio,
// pattern select, clock output 1, error-injection enable, data polarity, the FPGA reset, and the
// Debug panel's raw pin controls; plus set_freq, which pushes the whole settings set into the
// main panel and the unit, and updateMore, which shows it on the More Features panel.
#pragma once

#include <cstdint>

#include "platform/ui_constants.h"

namespace korvel::app {

// PATTERN_BOX, EYE_DIAGRAM_BOX, SET_DIVIDE_RATIO (main panel), MANUAL_CTRL_BOX and
// DIVIDE_RATIO_CONTROL (More Features): the sync-output trigger mode and divide ratio.
int CVICALLBACK divider(int panel, int control, int event, void* callbackData, int eventData1,
                        int eventData2);
// DATA_SELECT: the pattern-select code; Custom Data also opens the Custom Test Pattern panel.
int CVICALLBACK FPGA(int panel, int control, int event, void* callbackData, int eventData1,
                     int eventData2);
// Single pins: CLOCKOUT1_BUTTON (main), ERROR_INJ_ON_BUTTON (More Features), and the Debug
// panel's GP_0..GP_3, GP_8, GP_9 and the two phase ring slides.
int CVICALLBACK general_purpose_IO(int panel, int control, int event, void* callbackData,
                                   int eventData1, int eventData2);
// CLOCKOUT1_BUTTON's own callback: clock output 1 from the main panel's button.
int CVICALLBACK CLOCK_OUT_1_BUTTON(int panel, int control, int event, void* callbackData,
                                   int eventData1, int eventData2);
// RESET: pulses the FPGA state-machine reset line.
int CVICALLBACK ResetFpga(int panel, int control, int event, void* callbackData, int eventData1,
                          int eventData2);
// INV_DATA_BUTTON: data polarity. Inverted data is error injection with an all-ones mask.
int CVICALLBACK invert_data(int panel, int control, int event, void* callbackData, int eventData1,
                            int eventData2);
// Applies the stored settings set to the main panel and the unit.
int CVICALLBACK set_freq(int panel, int control, int event, void* callbackData, int eventData1,
                         int eventData2);
int edit_freq();
// Shows Manual, DivideBy and Polarity on the More Features panel while it is open.
void updateMore();

// Sends the stored manual ratio (DivideBy) the way divider sends a ratio: the reconnect and a
// restore use it while manual mode is in force.
void send_manual_divide_ratio();

// The divide-ratio byte as it goes on the wire: 256 (and 0) as 0x00, bit-reversed on the
// alternate unit variant.
std::uint8_t divide_ratio_byte(int value, bool alternate_variant);
// Whether the link has noted the alternate unit variant (alternate_variant_noted()).
bool alternate_variant();
// The manual ratio the unit runs at when sent `value`: 1 to 255 as they are; every other value
// (256, and 0, negative or larger ones a settings file may hold) goes out as 0x00, which the unit
// counts as 256.
int manual_ratio_in_force(int value);

}  // namespace korvel::app
