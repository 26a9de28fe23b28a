#include "i2c_target.h"

namespace korvel::sim {

void I2cTarget::start() {
    if (phase_ != Phase::Idle) finish();
    reset_interface();
    phase_ = Phase::Address;
}

void I2cTarget::stop() {
    if (phase_ != Phase::Idle) {
        finish();
        stopped();
    }
    phase_ = Phase::Idle;
    sda_low_ = false;
}

void I2cTarget::reset_interface() {
    phase_ = Phase::Idle;
    clock_high_ = false;
    bit_ = 0;
    shift_ = 0;
    sda_low_ = false;
}

void I2cTarget::scl_rise(bool sda) {
    clock_high_ = true;
    switch (phase_) {
        case Phase::Address:
        case Phase::Writing:
            if (bit_ < 8) shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
            break;
        case Phase::Reading:
            if (bit_ == 8) master_ack_ = !sda;  // the master answers in the ninth clock
            break;
        default:
            break;
    }
}

void I2cTarget::load_read_byte() {
    shift_ = transmit();
    sda_low_ = (shift_ & 0x80) == 0;
}

void I2cTarget::scl_fall() {
    // The fall that follows a START (SCL was already high) ends no clock pulse.
    if (!clock_high_) return;
    clock_high_ = false;
    if (phase_ == Phase::Idle || phase_ == Phase::Ignoring) return;
    ++bit_;
    if (phase_ == Phase::Reading) {
        if (bit_ < 8) {
            sda_low_ = ((shift_ >> (7 - bit_)) & 1) == 0;
        } else if (bit_ == 8) {
            sda_low_ = false;  // release SDA for the master's answer
        } else {
            bit_ = 0;
            if (master_ack_) {
                load_read_byte();
            } else {
                phase_ = Phase::Ignoring;  // NACK: the read is over, wait for STOP or START
                sda_low_ = false;
            }
        }
        return;
    }
    // Address or Writing: eight bits in, then our acknowledge during the ninth clock.
    if (bit_ == 8) {
        if (phase_ == Phase::Address) {
            read_ = (shift_ & 1) != 0;
            if (!claims(static_cast<std::uint8_t>(shift_ >> 1), read_)) {
                phase_ = Phase::Ignoring;
                return;
            }
            sda_low_ = true;
        } else {
            sda_low_ = receive(shift_);
        }
    } else if (bit_ == 9) {
        const bool acked = sda_low_;
        sda_low_ = false;
        bit_ = 0;
        shift_ = 0;
        if (phase_ == Phase::Address) {
            phase_ = read_ ? Phase::Reading : Phase::Writing;
            if (read_) load_read_byte();
        } else if (acked) {
            acknowledged();
        }
    }
}

}  // namespace korvel::sim
