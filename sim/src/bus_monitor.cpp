#include "bus_monitor.h"

namespace korvel::sim {

void BusMonitor::add(BusEvent event) {
    if (log_.size() >= 2 * kBusLogKeep)
        log_.erase(log_.begin(),
                   log_.begin() + static_cast<std::ptrdiff_t>(log_.size() - kBusLogKeep));
    log_.push_back(event);
}

void BusMonitor::start() {
    add(BusEvent{in_transaction_ ? BusEvent::Kind::RepeatedStart : BusEvent::Kind::Start});
    reset();
    in_transaction_ = true;
}

void BusMonitor::stop() {
    add(BusEvent{BusEvent::Kind::Stop});
    in_transaction_ = false;
}

void BusMonitor::reset() {
    in_transaction_ = false;
    clock_high_ = false;
    bit_ = 0;
    shift_ = 0;
}

void BusMonitor::scl_rise(bool sda) {
    clock_high_ = true;
    if (!in_transaction_) return;
    if (bit_ < 8) {
        shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
    } else {
        add(BusEvent{BusEvent::Kind::Byte, shift_, !sda});
    }
}

void BusMonitor::scl_fall() {
    // The fall that follows a START (SCL was already high) ends no clock pulse.
    if (!clock_high_) return;
    clock_high_ = false;
    if (!in_transaction_) return;
    if (++bit_ == 9) {
        bit_ = 0;
        shift_ = 0;
    }
}

}  // namespace korvel::sim
