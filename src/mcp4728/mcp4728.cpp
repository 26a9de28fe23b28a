// MCP4728 transactions: the one-channel write (multi-write command for volatile updates, single
// write with EEPROM for stored ones) and the 24-byte read-back.
#include "mcp4728/mcp4728.h"

#include <algorithm>

#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "mcp4728/mcp4728_readback.h"
#include "base/clock.h"
#include "service_output/service_output.h"

namespace korvel {

namespace {

constexpr std::uint8_t kVolatileMode = 1;
constexpr std::uint8_t kMultiWrite = 0x40;
constexpr std::uint8_t kSingleWriteWithEeprom = 0x58;
// Upper nibble of the second byte: supply as reference, normal power mode, gain bit 1.
constexpr std::uint8_t kConfigNibble = 0x10;
constexpr unsigned kMaxCode = 4095;
constexpr double kEepromSettle = 0.05;

std::uint8_t address_byte(int selector) {
    return static_cast<std::uint8_t>(0xC0 | ((static_cast<unsigned>(selector) & 0x07) << 1));
}

}  // namespace

void mcp4728_dac_write(int selector, int dac_channel, unsigned int code, std::uint8_t mode) {
    // A code wider than 12 bits would spill into the reference, power-down and gain bits.
    code = std::min(code, kMaxCode);
    const std::uint8_t command = mode == kVolatileMode ? kMultiWrite : kSingleWriteWithEeprom;
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, address_byte(selector));
    tx_i2c_byte(usb_handle, command | ((static_cast<unsigned>(dac_channel) & 0x03) << 1));
    tx_i2c_byte(usb_handle, ((code >> 8) | kConfigNibble) & 0xFF);
    tx_i2c_byte(usb_handle, code & 0xFF);
    issue_i2c_stop(usb_handle);
    if (mode != kVolatileMode) Delay(kEepromSettle);
}

void mcp4728_dac_read_into(int selector, std::uint8_t (&bytes)[kMcp4728ReadbackSize]) {
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, address_byte(selector) | 0x01);
    for (int i = 0; i < kMcp4728ReadbackSize; ++i) {
        const bool last = i == kMcp4728ReadbackSize - 1;
        bytes[i] = static_cast<std::uint8_t>(rx_i2c_byte(usb_handle, last ? kI2cNack : kI2cAck));
    }
    issue_i2c_stop(usb_handle);
}

void mcp4728_dac_read(int selector) {
    std::uint8_t discarded[kMcp4728ReadbackSize];
    mcp4728_dac_read_into(selector, discarded);
}

void mcp4728_dac_dump() {
    std::uint8_t both[2][kMcp4728ReadbackSize] = {};
    mcp4728_dac_read_into(0, both[0]);
    mcp4728_dac_read_into(1, both[1]);
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t* b = &both[i / 4][(i % 4) * 6];
        service_printf("DAC R: %d-%02X %02X %02X\n", i, b[0], b[1], b[2]);
        service_printf("DAC E: %d-%02X %02X %02X\n", i, b[3], b[4], b[5]);
    }
    service_printf("\n");
}

}  // namespace korvel
