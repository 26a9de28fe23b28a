// Bit-banged I2C master on D0 (SCL) and D1 (SDA) of the FTDI chip.
//
// Open drain is emulated with the direction mask: a line is pulled low by making its pin an
// output while the latch holds 0, released (pulled high by the unit's resistors) by making it an
// input. Every line change is one driver call, made when it is due.
#pragma once

#include <cstdint>

#include "ftdi/ftd2xx.h"

namespace korvel {

// Bit 0 set = SCL pulled low, bit 1 set = SDA pulled low; bits 2..7 carried along. Starts
// kI2cDirAtStart.
constexpr std::uint8_t kI2cDirAtStart = 0x80;
extern std::uint8_t i2c_dir_image;
// The latch image: always 0x00.
extern const std::uint8_t i2c_out_image;

int i2c_init(FT_HANDLE handle);
void issue_i2c_start(FT_HANDLE handle);
void issue_i2c_stop(FT_HANDLE handle);
// Sends the low 8 bits MSB first, then clocks the acknowledge (not examined).
void tx_i2c_byte(FT_HANDLE handle, int byte);
// The same, telling whether a device acknowledged (held SDA low on the ninth clock).
bool tx_i2c_byte_acked(FT_HANDLE handle, int byte);
// The acknowledge rx_i2c_byte gives: 1 answers NACK (after the last byte of a read), any other
// value ACK; 2 is the value the drivers use for ACK.
constexpr int kI2cNack = 1;
constexpr int kI2cAck = 2;

int rx_i2c_byte(FT_HANDLE handle, int ack_mode);
// One pin read.
int wait_i2c_scl_high(FT_HANDLE handle);

}  // namespace korvel
