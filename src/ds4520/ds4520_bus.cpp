#include "ds4520/ds4520_bus.h"

#include "link/i2c_engine.h"
#include "link/usb_link.h"

namespace korvel::ds4520_bus {

std::uint8_t write_address(int chip) {
    return static_cast<std::uint8_t>(0xA0 | ((static_cast<unsigned>(chip) & 0x07) << 1));
}

std::uint8_t read_address(int chip) {
    return write_address(chip) | 0x01;
}

void write_register(int chip, std::uint8_t reg, std::uint8_t value) {
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, write_address(chip));
    tx_i2c_byte(usb_handle, reg);
    tx_i2c_byte(usb_handle, value);
    issue_i2c_stop(usb_handle);
}

std::uint8_t read_register_after_select(int chip, std::uint8_t reg) {
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, write_address(chip));
    tx_i2c_byte(usb_handle, reg);
    issue_i2c_stop(usb_handle);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, read_address(chip));
    const int value = rx_i2c_byte(usb_handle, kI2cNack);
    issue_i2c_stop(usb_handle);
    return static_cast<std::uint8_t>(value);
}

int read_status_pair(int chip) {
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, write_address(chip));
    return finish_status_read(chip);
}

int finish_status_read(int chip) {
    tx_i2c_byte(usb_handle, kStatus0);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, read_address(chip));
    const int bank0 = rx_i2c_byte(usb_handle, kI2cAck);
    const int bank1 = rx_i2c_byte(usb_handle, kI2cNack);
    issue_i2c_stop(usb_handle);
    return bank0 + 256 * bank1;
}

}  // namespace korvel::ds4520_bus
