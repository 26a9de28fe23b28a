// The three kinds of driver call the I2C engine makes, each skipped when the link's handle is
// not open (traffic to a closed or absent unit is lost silently, and a failed read sees the bus
// released).
#pragma once

#include <cstdint>

#include "ftdi/ftd2xx.h"

namespace korvel::i2c_pins {

// Sets bits 0 and 1 of i2c_dir_image to `lines` (bit 0 SCL low, bit 1 SDA low) and sends the
// whole image as the direction mask.
void mask_change(FT_HANDLE handle, std::uint8_t lines);
// Sends `mask` as the direction mask without touching i2c_dir_image.
void set_mask(FT_HANDLE handle, std::uint8_t mask);
// One single-byte FT_Write.
void latch_write(FT_HANDLE handle, std::uint8_t latch);
// Present level of the pins; 0xFF (both lines high) when the read is skipped or fails.
std::uint8_t pin_read(FT_HANDLE handle);
// The same request when nobody looks at the answer (it holds SCL for one more driver call):
// FT_QueuePinRead, which real hardware sends without waiting.
void unexamined_pin_read(FT_HANDLE handle);

}  // namespace korvel::i2c_pins
