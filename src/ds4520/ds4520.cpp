// DS4520 pin operations. Each write is a read-modify-write of one bank built from the present pin
// levels: select the status register, read it, then write the pull-up and I/O-control registers.
#include "ds4520/ds4520.h"

#include <array>

#include "base/clock.h"
#include "ds4520/ds4520_bus.h"

namespace korvel {

std::uint8_t last_input_pin = 0xFF;

namespace {

using namespace ds4520_bus;

constexpr std::uint8_t kNoPin = 0xFF;
constexpr std::uint8_t kBank1Pin = 8;
constexpr double kRegisterSettle = 0.02;

enum : std::uint8_t { kOpLow = 0, kOpHigh = 1, kOpInput = 3 };

// DS4520_bank0_written's record, by chip selector (the three address bits).
constexpr int kChipSelectors = 8;
std::array<int, kChipSelectors> bank0_written = [] {
    std::array<int, kChipSelectors> a{};
    a.fill(-1);
    return a;
}();

void write_bank0_control(int chip, std::uint8_t control) {
    write_register(chip, kControl0, control);
    if (chip >= 0 && chip < kChipSelectors) bank0_written[static_cast<std::size_t>(chip)] = control;
}

// Bit of a bank-0 pin; numbers above 7 match no bit.
std::uint8_t bank0_bit(std::uint8_t pin) {
    return pin < 8 ? static_cast<std::uint8_t>(1u << pin) : 0;
}

struct BankBytes {
    std::uint8_t pullup;
    std::uint8_t control;
};

BankBytes bank1_bytes(std::uint8_t status, std::uint8_t op) {
    switch (op) {
        case kOpLow:
            return {static_cast<std::uint8_t>(status & 0xFE),
                    static_cast<std::uint8_t>(status & 0xFE)};
        case kOpHigh:
            return {static_cast<std::uint8_t>(status | 0x01),
                    static_cast<std::uint8_t>(status | 0x01)};
        case kOpInput:
            last_input_pin = kBank1Pin;
            return {static_cast<std::uint8_t>(status & 0xFE),
                    static_cast<std::uint8_t>(status | 0x01)};
        default:
            return {0x02, 0x02};
    }
}

BankBytes bank0_bytes(std::uint8_t status, std::uint8_t pin, std::uint8_t op) {
    const std::uint8_t bit = bank0_bit(pin);
    if (op == kOpInput) {
        last_input_pin = pin;
        return {static_cast<std::uint8_t>(status & ~bit), static_cast<std::uint8_t>(status | bit)};
    }
    std::uint8_t pullup = 0x00;
    if (op == kOpLow) pullup = static_cast<std::uint8_t>(status & ~bit);
    if (op == kOpHigh) pullup = static_cast<std::uint8_t>(status | bit);
    // A pin made a plain input stays released whatever it reads.
    std::uint8_t control = pullup;
    if (last_input_pin != kNoPin) control |= bank0_bit(last_input_pin);
    return {pullup, control};
}

void write_pin(int chip, int pin_number, int op_number, bool settle) {
    const auto pin = static_cast<std::uint8_t>(pin_number);
    const auto op = static_cast<std::uint8_t>(op_number);
    const bool bank1 = pin == kBank1Pin;
    const std::uint8_t status = read_register_after_select(chip, bank1 ? kStatus1 : kStatus0);
    const BankBytes bytes = bank1 ? bank1_bytes(status, op) : bank0_bytes(status, pin, op);
    write_register(chip, bank1 ? kPullup1 : kPullup0, bytes.pullup);
    if (settle) Delay(kRegisterSettle);
    if (bank1)
        write_register(chip, kControl1, bytes.control);
    else
        write_bank0_control(chip, bytes.control);
    if (settle) Delay(kRegisterSettle);
}

}  // namespace

void DS4520_IO_write(int chip, int pin, int op) {
    write_pin(chip, pin, op, true);
}

void DS4520_IO_write_fast(int chip, int pin, int op) {
    write_pin(chip, pin, op, false);
}

void DS4520_IOX_wr_multibit(int chip, int mask, int value) {
    const std::uint8_t status = read_register_after_select(chip, kStatus0);
    const auto bits = static_cast<std::uint8_t>((status & ~mask) | value);
    write_register(chip, kPullup0, bits);
    Delay(kRegisterSettle);
    write_bank0_control(chip, bits);
    Delay(kRegisterSettle);
}

int DS4520_IO_read(int chip) {
    return read_status_pair(chip);
}

int DS4520_bank0_written(int chip) {
    return chip >= 0 && chip < kChipSelectors ? bank0_written[static_cast<std::size_t>(chip)] : -1;
}

void reset_ds4520() {
    last_input_pin = kNoPin;
    bank0_written.fill(-1);
}

void DS4520_IO_ee_wr_on(int chip) {
    write_register(chip, kConfig, 0x00);
}

void DS4520_IO_ee_wr_off(int chip) {
    write_register(chip, kConfig, 0xFF);
}

}  // namespace korvel
