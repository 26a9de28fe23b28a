// Engineering routines for the expanders: the register test with printout and the LED walk.

#include "base/clock.h"
#include "ds4520/ds4520.h"
#include "ds4520/ds4520_bus.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "service_output/service_output.h"

namespace korvel {

const int ds4520_dump_chips[3] = {2, 3, 7};

namespace {

using namespace ds4520_bus;

constexpr std::uint8_t kTestPattern[6] = {0x55, 0xAA, 0x33, 0xCC, 0x0F, 0xF0};

void dump_chip(int chip) {
    const std::uint8_t w = write_address(chip);
    for (int i = 0; i < 6; ++i) {
        write_register(chip, static_cast<std::uint8_t>(kSramFirst + i), kTestPattern[i]);
    }
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, w);
    for (int reg = kSramFirst; reg <= kSramLast; ++reg) {
        tx_i2c_byte(usb_handle, reg);
        issue_i2c_start(usb_handle);
        tx_i2c_byte(usb_handle, read_address(chip));
        const int value = rx_i2c_byte(usb_handle, kI2cNack);
        issue_i2c_stop(usb_handle);
        service_printf("4520 RAM byte, chip@%02X: addr %02X: %02X\n", w, reg, value);
        issue_i2c_start(usb_handle);
        tx_i2c_byte(usb_handle, w);
    }
    const int status = finish_status_read(chip);
    service_printf("4520 status, i2c_slave_addr %02X: %02X%02X\n", w, status >> 8, status & 0xFF);
}

}  // namespace

void DS4520_IO_dump() {
    for (int chip : ds4520_dump_chips) dump_chip(chip);
}

void ledTest() {
    constexpr int kSteps = 18;
    for (int op : {1, 0}) {
        for (int i = 0; i < kSteps; ++i) {
            if (i < 8) {
                DS4520_IO_write(2, i, op);
            } else {
                DS4520_IO_write(7, i - 8, op);
            }
            Delay(0.1);
        }
    }
}

}  // namespace korvel
