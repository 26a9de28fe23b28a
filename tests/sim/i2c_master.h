// A bit-banging I2C master for the tests, on the simulated driver calls only: open-drain lines
// emulated with the direction mask (latch 0: output = pulled low, input = released), one call per
// line change, SDA read with get_bit_mode while SCL is high.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "korvel/sim/usb.h"

namespace korvel::sim::testing {

// A fresh simulated USB, with the board as it comes, for every test of the chips.
class ChipTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_usb(); }
    static Board& board() { return usb().board(); }
};

class I2cMaster {
  public:
    explicit I2cMaster(Usb& usb) : usb_(usb) {
        EXPECT_EQ(usb_.open(0, handle_), kOk);
        EXPECT_EQ(usb_.set_bit_mode(handle_, 0xFF, 1), kOk);
        lines(0);
    }
    ~I2cMaster() { usb_.close(handle_); }
    Handle handle() const { return handle_; }

    // Bit 0: SCL pulled low, bit 1: SDA pulled low.
    void lines(std::uint8_t low) {
        dir_ = static_cast<std::uint8_t>((dir_ & ~3) | low);
        usb_.set_bit_mode(handle_, dir_, 1);
    }
    void latch(std::uint8_t value) {
        std::uint32_t written = 0;
        usb_.write(handle_, &value, 1, written);
    }
    bool sda() {
        std::uint8_t pins = 0;
        usb_.get_bit_mode(handle_, pins);
        return (pins & 2) != 0;
    }
    // One clock pulse with SDA released (`one`) or held low; returns SDA while SCL is high.
    bool clock(bool one) {
        latch(one ? 2 : 0);
        lines(one ? 1 : 3);
        lines(one ? 0 : 2);
        const bool level = sda();
        latch(one ? 2 : 0);
        lines(one ? 1 : 3);
        return level;
    }

    // A clock pulse with both lines released, as for an acknowledge or a received bit.
    bool released_clock() {
        lines(0);
        const bool level = sda();
        latch(2);
        lines(1);
        return level;
    }

    void start() {
        lines(0);
        latch(1);
        lines(2);  // SDA falls while SCL is high
        latch(0);
        lines(3);
    }
    void stop() {
        latch(0);
        lines(3);
        lines(2);
        lines(0);  // SDA rises while SCL is high
    }
    void tx_bits(std::uint8_t byte) {
        for (int b = 7; b >= 0; --b) clock((byte >> b) & 1);
    }
    // True when the target acknowledged.
    bool tx(std::uint8_t byte) {
        tx_bits(byte);
        return !released_clock();
    }
    std::uint8_t rx(bool ack) {
        std::uint8_t value = 0;
        for (int b = 0; b < 8; ++b)
            value = static_cast<std::uint8_t>((value << 1) | released_clock());
        clock(!ack);
        lines(1);
        return value;
    }

    bool write(std::uint8_t address, const std::vector<std::uint8_t>& bytes) {
        start();
        bool ok = tx(address);
        for (auto b : bytes) ok = tx(b) && ok;
        stop();
        return ok;
    }
    // A read, after selecting `reg` with a repeated START when one is given.
    std::vector<std::uint8_t> read(std::uint8_t address, std::size_t n, int reg = -1) {
        std::vector<std::uint8_t> out;
        start();
        if (reg >= 0) {
            tx(address);
            tx(static_cast<std::uint8_t>(reg));
            start();
        }
        tx(static_cast<std::uint8_t>(address | 1));
        for (std::size_t i = 0; i < n; ++i) out.push_back(rx(i + 1 < n));
        stop();
        return out;
    }

  private:
    Usb& usb_;
    Handle handle_ = 0;
    std::uint8_t dir_ = 0x80;
};

}  // namespace korvel::sim::testing
