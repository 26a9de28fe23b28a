// DS4520 nine-bit I2C I/O expander driver (chips 2, 3 and 7 on the unit).
#pragma once

#include <cstdint>

namespace korvel {

// Pin last made a plain input (operation 3), or 0xFF for none.
extern std::uint8_t last_input_pin;
extern const int ds4520_dump_chips[3];

// op: 0 = low, 1 = high (pull-up on, released), 3 = plain input. Two 20 ms pauses.
void DS4520_IO_write(int chip, int pin, int op);
void DS4520_IO_write_fast(int chip, int pin, int op);
// Bank 0 becomes (present levels AND NOT mask) OR value. Two 20 ms pauses.
void DS4520_IOX_wr_multibit(int chip, int mask, int value);
// Bits 0..7 = pins 0..7, bits 8..15 = the bank-1 status byte (bit 8 = pin 8).
int DS4520_IO_read(int chip);
// Bank 0's I/O-control byte as this program last wrote it to `chip` (bit n = IO n released), or
// -1 while it has written none there since the start or reset_ds4520().
int DS4520_bank0_written(int chip);
// Back to the state of a fresh process: no pin made a plain input, no write remembered.
void reset_ds4520();
void DS4520_IO_ee_wr_on(int chip);
void DS4520_IO_ee_wr_off(int chip);
void DS4520_IO_dump();
void ledTest();

}  // namespace korvel
